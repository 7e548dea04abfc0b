#include <gtest/gtest.h>

#include "kestrel/ptz_param.h"
#include "request_tracker.h"

namespace kestrel_host {
namespace {

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
    // How a wrong result is reported: the demo checks' test.

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

}  // namespace
}  // namespace kestrel_host
