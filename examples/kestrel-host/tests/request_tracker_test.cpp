#include <gtest/gtest.h>

#include <thread>

#include "kestrel/device_function_param.h"
#include "kestrel/ptz_param.h"
#include "request_tracker.h"
#include "stats_table.h"

namespace kestrel_host {
namespace {

using Kestrel::CDeviceFunctionParam;
using Kestrel::CPtzParam;

EventRecord Ptz(int type, int result, boost::json::object fields) {
    EventRecord e;
    e.facade = Facade::Ptz;
    e.type = type;
    e.name = "ptz event " + std::to_string(type);
    e.result = result;
    e.fields = std::move(fields);
    e.arrived = std::chrono::steady_clock::now();
    return e;
}

AnswerMatch BySeq(int type) {
    AnswerMatch m;
    m.facade = Facade::Ptz;
    m.eventTypes = {type};
    m.bySeq = true;
    return m;
}

TEST(RequestTrackerTest, SequenceNumbersMatchAnswersInAnyOrder) {
    RequestTracker t;
    t.Send("SetLock", "ch-0001", BySeq(CPtzParam::PTZ_EVENT_LOCK), 0, [] { return 11; });
    t.Send("SetLock", "ch-0003", BySeq(CPtzParam::PTZ_EVENT_LOCK), -501, [] { return 12; });
    EXPECT_EQ(t.PendingCount(), 2u);

    // Another type with the right seq answers nothing.
    EXPECT_FALSE(t.OnEvent(Ptz(CPtzParam::PTZ_EVENT_DIRECTION, 0, {{"seq", 12}})));
    auto second = t.OnEvent(Ptz(CPtzParam::PTZ_EVENT_LOCK, -501, {{"seq", 12}}));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->operation, "SetLock");
    EXPECT_TRUE(second->resultAsExpected);
    auto first = t.OnEvent(Ptz(CPtzParam::PTZ_EVENT_LOCK, 10009, {{"seq", 11}}));
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->resultAsExpected);
    EXPECT_EQ(t.PendingCount(), 0u);

    const auto mismatches = t.Mismatches();
    ASSERT_EQ(mismatches.size(), 1u);
    EXPECT_EQ(mismatches[0].subject, "ch-0001");
    EXPECT_EQ(mismatches[0].expected, 0);
    EXPECT_EQ(mismatches[0].got, 10009);

    const auto stats = t.Stats();
    ASSERT_GE(stats.size(), 1u);
    EXPECT_EQ(stats[0].operation, "SetLock");
    EXPECT_EQ(stats[0].sent, 2u);
    EXPECT_EQ(stats[0].answered, 2u);
    EXPECT_EQ(stats[0].results.at(-501), 1u);
    EXPECT_EQ(stats[0].results.at(10009), 1u);
}

TEST(RequestTrackerTest, AnswersWithoutSeqGoInSendingOrderAndHonourTheCondition) {
    RequestTracker t;
    auto forCode = [](const std::string& code) {
        AnswerMatch m;
        m.facade = Facade::Ptz;
        m.eventTypes = {CPtzParam::PTZ_EVENT_RAIN_WIPER};
        m.accept = [code](const EventRecord& e) { return e.Text("code") == code; };
        return m;
    };
    t.Send("RainWiper", "ch-0001", forCode("ch-0001"), std::nullopt, [] { return 0; });
    t.Send("RainWiper", "ch-0003", forCode("ch-0003"), std::nullopt, [] { return 0; });
    t.Send("RainWiper", "ch-0001", forCode("ch-0001"), std::nullopt, [] { return 0; });
    ASSERT_TRUE(t.OnEvent(Ptz(CPtzParam::PTZ_EVENT_RAIN_WIPER, 0, {{"code", "ch-0003"}})));
    ASSERT_TRUE(t.OnEvent(Ptz(CPtzParam::PTZ_EVENT_RAIN_WIPER, 0, {{"code", "ch-0001"}})));
    const auto left = t.Outstanding();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].subject, "ch-0001");
    // Nothing is waiting for ch-0005: the event answered nobody.
    EXPECT_FALSE(t.OnEvent(Ptz(CPtzParam::PTZ_EVENT_RAIN_WIPER, 0, {{"code", "ch-0005"}})));
    const auto stats = t.Stats();
    EXPECT_EQ(stats.back().operation, "(unsolicited) ptz event 42");
    EXPECT_EQ(stats.back().answered, 1u);
}

TEST(RequestTrackerTest, ACallThatSentNothingAwaitsNoAnswer) {
    RequestTracker t;
    EXPECT_EQ(t.Send("PtzControl", "ch-0001", BySeq(CPtzParam::PTZ_EVENT_CAMERA), std::nullopt, [] { return -1; },
                     [](int v) { return v != -1; }),
              -1);
    EXPECT_EQ(t.PendingCount(), 0u);
    t.NoteLocal("IsLock", 1);
    t.NoteEffect("SetIFrame");
    const auto stats = t.Stats();
    ASSERT_EQ(stats.size(), 3u);
    EXPECT_EQ(stats[0].returns.at(-1), 1u);
    EXPECT_EQ(ResultsText(stats[0]), "returned -1");
    EXPECT_EQ(ResultsText(stats[1]), "returned 1");
    EXPECT_EQ(ResultsText(stats[2]), "(not reported)");
}

TEST(RequestTrackerTest, ALockExpiryAnnouncesTheAutomaticRelease) {
    RequestTracker t;
    EXPECT_FALSE(t.OnEvent(Ptz(CPtzParam::PTZ_EVENT_LOCK_EXPIRED, 0, {{"code", "ch-0005"}, {"seq", 40}})));
    EXPECT_EQ(t.PendingCount(), 1u);
    auto release = t.OnEvent(Ptz(CPtzParam::PTZ_EVENT_LOCK, 0, {{"code", "ch-0005"}, {"seq", 40}, {"param", 2}}));
    ASSERT_TRUE(release);
    EXPECT_EQ(release->operation, "(automatic release)");
    EXPECT_EQ(t.PendingCount(), 0u);
}

TEST(RequestTrackerTest, WaitingEndsWithTheLastAnswerOrTheTimeOut) {
    RequestTracker t;
    EXPECT_TRUE(t.WaitAnswered(std::chrono::milliseconds(0)));
    AnswerMatch m;
    m.facade = Facade::Device;
    m.eventTypes = {CDeviceFunctionParam::DEVICE_EVENT_START_RECORD};
    t.Send("StartRecord", "ch-0001", m, 0, [] { return 0; });
    EXPECT_FALSE(t.WaitAnswered(std::chrono::milliseconds(10)));
    std::thread ui([&] {
        EventRecord e;
        e.facade = Facade::Device;
        e.type = CDeviceFunctionParam::DEVICE_EVENT_START_RECORD;
        e.arrived = std::chrono::steady_clock::now();
        t.OnEvent(e);
    });
    EXPECT_TRUE(t.WaitAnswered(std::chrono::seconds(10)));
    ui.join();
}

TEST(OperationStatsTest, MedianAndWorst) {
    OperationStats s;
    EXPECT_EQ(s.MedianMs(), 0);
    s.latenciesMs = {3, 1, 2};
    EXPECT_EQ(s.MedianMs(), 2);
    EXPECT_EQ(s.WorstMs(), 3);
    s.latenciesMs = {4, 1, 3, 2};
    EXPECT_EQ(s.MedianMs(), 2.5);
    EXPECT_EQ(s.WorstMs(), 4);
}

TEST(StatsTableTest, OneAlignedRowPerOperation) {
    OperationStats lock;
    lock.operation = "SetLock";
    lock.sent = 3;
    lock.answered = 3;
    lock.results = {{0, 2}, {-501, 1}};
    lock.latenciesMs = {0.5, 1.25, 0.75};
    OperationStats unsolicited;
    unsolicited.operation = "(unsolicited) PTZ_EVENT_LOCK_EXPIRED";
    unsolicited.answered = 1;
    const std::string table = StatsTableText({lock, unsolicited});
    EXPECT_NE(table.find("SetLock                                  3         3  -501, 0 x2       0.75      1.25\n"),
              std::string::npos)
        << table;
    EXPECT_NE(table.find("(unsolicited) PTZ_EVENT_LOCK_EXPIRED     -         1                      -         -\n"), std::string::npos) << table;
    const auto json = StatsTableJson({lock});
    EXPECT_EQ(json[0].at("median_us").as_int64(), 750);
    EXPECT_EQ(json[0].at("results").at("-501").as_uint64(), 1u);
}

}  // namespace
}  // namespace kestrel_host
