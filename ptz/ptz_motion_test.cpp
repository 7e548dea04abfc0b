// The motion policy end to end: which moves reach the platform and in which
// order, what the observers hear of the others, the dead-man stop on the
// host's manual clock, and the stops sent when the client leaves.
#include <algorithm>
#include <chrono>
#include <future>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "ptz_fixture.h"
#include "ptz_test_util.h"

namespace Kestrel {
namespace {

using kestrel_test::Answer;
using kestrel_test::IsAnswer;
using kestrel_test::IsRecord;
using kestrel_test::QueueGate;
namespace control = zrsdk::control;

constexpr int kDirection = CPtzParam::PTZ_EVENT_DIRECTION;
constexpr int kCamera = CPtzParam::PTZ_EVENT_CAMERA;
constexpr int kAutoStop = CPtzParam::PTZ_EVENT_AUTO_STOP;

class PtzMotionTest : public kestrel_test::PtzFixture {
protected:
    // Platform calls of the move and positioning functions, in the order the
    // platform received them: (function, channel, start flag or -1).
    using Call = std::tuple<std::string, std::string, int>;
    std::vector<Call> PlatformCalls() {
        std::vector<std::pair<std::chrono::steady_clock::time_point, Call>> calls;
        for (const char* function : {"ZRSDK_PtzOperateDirect", "ZRSDK_PtzOperateCamera", "ZRSDK_PtzSitPosition"}) {
            const std::string name = function;
            for (const auto& call : Calls(function)) {
                const int start = name == "ZRSDK_PtzSitPosition"     ? -1
                                  : name == "ZRSDK_PtzOperateDirect" ? call.input.at(76)
                                                                     : call.input.at(68);
                calls.push_back({call.received, {function, kestrel_test::TextAt(call.input, 0, 64), start}});
            }
        }
        std::stable_sort(calls.begin(), calls.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<Call> ordered;
        for (const auto& call : calls) ordered.push_back(call.second);
        return ordered;
    }
    PtzMotionPolicy Policy(bool supersede, int deadManMs, bool stopOnLeaving, int waitMs = 2000) {
        PtzMotionPolicy policy;
        policy.supersede = supersede;
        policy.deadManMs = deadManMs;
        policy.stopOnLeaving = stopOnLeaving;
        policy.leavingWaitMs = waitMs;
        return policy;
    }
    // A run of moves made while the "PTZ" queue is held, so that none has
    // reached the platform when the next is made; seqs in the order made.
    std::vector<int> HeldRun() {
        QueueGate gate("PTZ");
        std::vector<int> seqs;
        seqs.push_back(Facade().PtzDirection("ch-0001", DIRECTION_LEFT, false, 5, "menu.ptz"));
        seqs.push_back(Facade().PtzDirection("ch-0005", DIRECTION_UP, false, 3, "menu.ptz"));
        seqs.push_back(Facade().PtzDirection("ch-0001", DIRECTION_LEFT, false, 5, "menu.ptz"));
        seqs.push_back(Facade().PtzControl("ch-0001", PTZ_OPERATOR_1, false, 4, "menu.ptz"));
        seqs.push_back(Facade().PtzSite("ch-0001", 10, 20, 1, 0));
        seqs.push_back(Facade().PtzDirection("ch-0001", DIRECTION_RIGHT, false, 5, "menu.ptz"));
        seqs.push_back(Facade().PtzDirection("ch-0001", DIRECTION_RIGHT, true, 5, "menu.ptz"));
        gate.Open();
        WaitIdle();
        return seqs;
    }
};

TEST_F(PtzMotionTest, WithThePolicyOffEveryMoveOfAHeldRunIsSentInOrder) {
    EXPECT_EQ(std::make_tuple(Facade().GetMotionPolicy().supersede, Facade().GetMotionPolicy().deadManMs,
                              Facade().GetMotionPolicy().stopOnLeaving, Facade().GetMotionPolicy().leavingWaitMs),
              std::make_tuple(false, 0, false, PTZ_DEFAULT_LEAVING_WAIT_MS));
    const std::vector<int> seqs = HeldRun();
    const std::vector<Call> expected = {
        {"ZRSDK_PtzOperateDirect", "ch-0001", 1}, {"ZRSDK_PtzOperateDirect", "ch-0005", 1},
        {"ZRSDK_PtzOperateDirect", "ch-0001", 1}, {"ZRSDK_PtzOperateCamera", "ch-0001", 1},
        {"ZRSDK_PtzSitPosition", "ch-0001", -1},  {"ZRSDK_PtzOperateDirect", "ch-0001", 1},
        {"ZRSDK_PtzOperateDirect", "ch-0001", 0}};
    EXPECT_EQ(PlatformCalls(), expected);
    EXPECT_EQ(m_observer.Results(), std::vector<int>(7, 0));
    EXPECT_EQ(m_observer.Seqs<CPtzParam>(kDirection).size() + m_observer.OfType(kCamera).size(), 6u);
}

// Only the newest move of each channel's run goes; the others are answered
// with their own seq and the superseded code; positioning keeps its place.
TEST_F(PtzMotionTest, SupersededMovesAreAnsweredAndOnlyEachChannelsNewestIsSent) {
    Facade().SetMotionPolicy(Policy(true, 0, false));
    const std::vector<int> seqs = HeldRun();
    const std::vector<Call> expected = {{"ZRSDK_PtzOperateDirect", "ch-0005", 1},
                                        {"ZRSDK_PtzSitPosition", "ch-0001", -1},
                                        {"ZRSDK_PtzOperateDirect", "ch-0001", 0}};
    EXPECT_EQ(PlatformCalls(), expected);
    EXPECT_TRUE(IsRecord(Calls("ZRSDK_PtzOperateDirect").at(1).input, 340,
                         {{0, "ch-0001"}, {64, 5}, {68, 5}, {72, DIRECTION_RIGHT}, {336, 30000}}));

    const auto direction = m_observer.OfType(kDirection);
    ASSERT_EQ(direction.size(), 5u);
    const int superseded = PTZ_RESULT_SUPERSEDED;
    const std::vector<Answer> answers = {{superseded, seqs[0], "ch-0001", DIRECTION_LEFT, true},
                                         {0, seqs[1], "ch-0005", DIRECTION_UP, true},
                                         {superseded, seqs[2], "ch-0001", DIRECTION_LEFT, true},
                                         {superseded, seqs[5], "ch-0001", DIRECTION_RIGHT, true},
                                         {0, seqs[6], "ch-0001", DIRECTION_RIGHT, false}};
    for (std::size_t i = 0; i < answers.size(); ++i) {
        EXPECT_TRUE(IsAnswer(direction[i].As<CPtzParam>(), answers[i])) << i;
    }
    EXPECT_TRUE(IsAnswer(m_observer.Only<CPtzParam>(kCamera), {superseded, seqs[3], "ch-0001", 2, true}));
    EXPECT_TRUE(IsAnswer(m_observer.Only<CPtzParam>(CPtzParam::PTZ_EVENT_SITE), {0, seqs[4], "ch-0001"}));

    // A move made once the queue has moved on is sent again.
    const int next = Facade().PtzDirection("ch-0001", DIRECTION_UP, false, 1, "");
    EXPECT_TRUE(IsAnswer(WaitResult(kDirection, 6), {0, next, "ch-0001", DIRECTION_UP, true}));
}

TEST_F(PtzMotionTest, DeadManStopsAMoveNobodyRenewsAndNothingElse) {
    UseManualClock();
    PtzMotionPolicy bad = Policy(false, -5, false, -1);
    Facade().SetMotionPolicy(bad);
    EXPECT_EQ(std::make_pair(Facade().GetMotionPolicy().deadManMs, Facade().GetMotionPolicy().leavingWaitMs),
              std::make_pair(0, 0));
    Facade().SetMotionPolicy(Policy(false, 1000, false));
    const auto advance = [&](int ms) {
        vkl::Host::AdvanceClock(ms);
        WaitIdle();
        return m_observer.OfType(kAutoStop).size();
    };

    // A start on its own: stopped at 1000 ms, not before.
    Facade().PtzDirection("ch-0001", DIRECTION_LEFT, false, 5, "menu.ptz");
    EXPECT_EQ(advance(999), 0u);
    EXPECT_EQ(advance(1), 1u);
    const auto stop = m_observer.Only<CPtzParam>(kAutoStop);
    EXPECT_TRUE(IsAnswer(stop, {0, stop->GetSeq(), "ch-0001", DIRECTION_LEFT, false}));
    EXPECT_NE(stop->GetSeq(), m_observer.Only<CPtzParam>(kDirection)->GetSeq());
    const auto sent = Calls("ZRSDK_PtzOperateDirect");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_TRUE(IsRecord(sent[1].input, 340, {{0, "ch-0001"}, {64, 5}, {68, 5}, {72, DIRECTION_LEFT}, {336, 30000}}));
    EXPECT_EQ(sent[1].operateInfo, sent[0].operateInfo);
    EXPECT_EQ(advance(5000), 1u) << "one stop per move";

    // Renewed by a lens start, the lens operation is what gets stopped: not
    // before 1000 ms after the renewal, and within one tick (100 ms) of it.
    Facade().PtzDirection("ch-0001", DIRECTION_UP, false, 2, "");
    EXPECT_EQ(advance(600), 1u);
    Facade().PtzControl("ch-0001", PTZ_OPERATOR_4, false, 7, "menu.ptz");
    EXPECT_EQ(advance(999), 1u);
    EXPECT_EQ(advance(101), 2u);
    EXPECT_TRUE(IsAnswer(m_observer.Wait<CPtzParam>(kAutoStop, 2),
                         {0, m_observer.OfType(kAutoStop)[1].As<CPtzParam>()->GetSeq(), "ch-0001", 2, false}));
    EXPECT_TRUE(IsRecord(Calls("ZRSDK_PtzOperateCamera").back().input, 352,
                         {{0, "ch-0001"}, {64, 1}, {72, 7}, {76, 2}, {344, 30000}}));

    // A stop, a positioning or a preset goto ends the wait.
    std::string name = "p";
    Facade().PtzDirection("ch-0001", DIRECTION_UP, false, 2, "");
    Facade().PtzDirection("ch-0001", DIRECTION_UP, true, 2, "");
    Facade().PtzControl("ch-0005", PTZ_OPERATOR_0, false, 2, "");
    Facade().PtzSite("ch-0005", 1, 2, 1, 0);
    Facade().PtzDirection("ch-0003", DIRECTION_DOWN, false, 2, "");
    Facade().OperatorPrePoint(PREPOINT_GOTO, "ch-0003", 1, name, "menu.ptz");
    EXPECT_EQ(advance(3000), 2u);

    // Many channels at once: one stop each; turning the dead-man off disarms.
    for (int i = 0; i < 20; ++i) Facade().PtzDirection("ch-1" + std::to_string(i), DIRECTION_LEFT, false, 1, "");
    Facade().PtzDirection("ch-0009", DIRECTION_LEFT, false, 1, "");
    EXPECT_EQ(advance(1000), 23u);  // 20 more, and ch-0009's too
    std::multiset<std::string> codes;
    for (const auto& r : m_observer.OfType(kAutoStop)) codes.insert(r.As<CPtzParam>()->GetCode());
    EXPECT_EQ(codes.count("ch-0009"), 1u);
    EXPECT_EQ(codes.count("ch-13"), 1u);
    Facade().PtzDirection("ch-0001", DIRECTION_LEFT, false, 1, "");
    Facade().SetMotionPolicy(Policy(false, 0, false));
    EXPECT_EQ(advance(5000), 23u);
}

// A dead-man stop queued behind a newer move of its channel is superseded
// like any move, and answered as the dead-man's.
TEST_F(PtzMotionTest, ADeadManStopIsSupersededByANewerMove) {
    UseManualClock();
    Facade().SetMotionPolicy(Policy(true, 500, false));
    Facade().PtzDirection("ch-0001", DIRECTION_LEFT, false, 5, "");
    WaitIdle();
    {
        QueueGate gate("PTZ");
        vkl::Host::AdvanceClock(500);
        const int renewed = Facade().PtzDirection("ch-0001", DIRECTION_RIGHT, false, 5, "");
        gate.Open();
        EXPECT_TRUE(IsAnswer(WaitResult(kDirection, 2), {0, renewed, "ch-0001", DIRECTION_RIGHT, true}));
    }
    WaitIdle();
    const auto stop = m_observer.Only<CPtzParam>(kAutoStop);
    EXPECT_TRUE(IsAnswer(stop, {PTZ_RESULT_SUPERSEDED, stop->GetSeq(), "ch-0001", DIRECTION_LEFT, false}));
    EXPECT_EQ(control::CallCount("ZRSDK_PtzOperateDirect"), 2u);
}

TEST_F(PtzMotionTest, UnInitStopsExactlyTheMovingChannelsAndReportsNothing) {
    Facade().SetMotionPolicy(Policy(false, 0, true));
    Facade().PtzDirection("ch-0001", DIRECTION_LEFT, false, 5, "menu.ptz");
    Facade().PtzDirection("ch-0005", DIRECTION_UP, false, 3, "");
    Facade().PtzDirection("ch-0005", DIRECTION_UP, true, 3, "");
    Facade().PtzControl("ch-0003", PTZ_OPERATOR_2, false, 6, "menu.ptz");
    Facade().PtzDirection("ch-0002", DIRECTION_LEFT, false, 5, "");
    Facade().PtzSite("ch-0002", 1, 1, 1, 0);
    WaitIdle();
    const std::size_t heard = m_observer.Count();
    control::ClearCaptures();

    m_delegate->UnInit();
    std::vector<Call> stops = PlatformCalls();
    std::sort(stops.begin(), stops.end());
    EXPECT_EQ(stops, (std::vector<Call>{{"ZRSDK_PtzOperateCamera", "ch-0003", 0}, {"ZRSDK_PtzOperateDirect", "ch-0001", 0}}));
    EXPECT_TRUE(IsRecord(Calls("ZRSDK_PtzOperateCamera").at(0).input, 352,
                         {{0, "ch-0003"}, {64, 1}, {72, 6}, {76, 3}, {344, 30000}}));
    EXPECT_EQ(Calls("ZRSDK_PtzOperateDirect").at(0).sessionId, m_env->SessionId());
    WaitIdle();
    EXPECT_EQ(m_observer.Count(), heard);
}

// A platform that cannot take the stops in time: UnInit returns at its
// bound, moves still queued are not sent, and the late stops find no session.
TEST_F(PtzMotionTest, UnInitWaitsNoLongerThanItsBoundAndSendsNoQueuedMove) {
    Facade().SetMotionPolicy(Policy(false, 0, true, 100));
    Facade().PtzDirection("ch-0001", DIRECTION_LEFT, false, 5, "");
    WaitIdle();
    control::ClearCaptures();
    QueueGate gate("PTZ");
    const int queued = Facade().PtzDirection("ch-0005", DIRECTION_LEFT, false, 5, "");
    auto uninit = std::async(std::launch::async, [&] { m_delegate->UnInit(); });
    ASSERT_EQ(uninit.wait_for(std::chrono::seconds(20)), std::future_status::ready) << "UnInit did not return";
    gate.Open();
    WaitIdle();
    EXPECT_EQ(control::CallCount("ZRSDK_PtzOperateDirect"), 0u);
    EXPECT_TRUE(IsAnswer(WaitResult(kDirection, 2), {-1, queued, "ch-0005", DIRECTION_LEFT, true}));
}

}  // namespace
}  // namespace Kestrel
