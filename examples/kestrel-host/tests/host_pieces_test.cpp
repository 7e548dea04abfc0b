// The pieces between the observers and the screen that the demo and the
// scripts do not take through every path: the event decoder and text line,
// the request tracker, the waits' time-outs, the demo's failure reports, and
// the --server URL.
#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include <boost/json/serialize.hpp>

#include "demo_checks.h"
#include "event_decoder.h"
#include "event_format.h"
#include "event_hub.h"
#include "event_names.h"
#include "host_session.h"
#include "kestrel/ptz_param.h"
#include "output.h"
#include "request_tracker.h"

namespace kestrel_host {
namespace {

using Kestrel::CPtzParam;

// A lock result as Kestrel posts it.
std::shared_ptr<CPtzParam> LockAnswer(int seq, int result) {
    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_LOCK, result);
    param->SetCode("ch-0003");
    param->SetSeq(seq);
    param->SetParam(1);
    param->SetMsg("supervisor");
    return param;
}

// A PTZ event as the hub records it, arriving now.
EventRecord Ptz(int type, int result, boost::json::object fields) {
    return {Facade::Ptz, 0, type, EventName(Facade::Ptz, type), result, std::move(fields), ThreadKind::Other,
            std::chrono::steady_clock::now()};
}

AnswerMatch BySeq(int type) { return {Facade::Ptz, {type}, true, nullptr}; }

// Only the fields that belong to an event's kind are kept: none for an
// object of another business or no object at all.
TEST(EventDecoderTest, KeepsOnlyTheFieldsOfTheEventsKind) {
    auto lock = LockAnswer(12, -501);
    lock->SetX(77);  // not part of a lock result
    EXPECT_EQ(boost::json::serialize(DecodeEvent(Facade::Ptz, lock, ThreadKind::UI).fields),
              R"({"code":"ch-0003","seq":12,"param":1,"msg":"supervisor"})");

    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_SITE, 3);
    param->SetCode("ch-0001");
    const EventRecord e = DecodeEvent(Facade::Device, param, ThreadKind::UI);
    EXPECT_EQ(e.name, "DEVICE_EVENT_14");  // a value the façade does not name is numbered
    EXPECT_EQ(e.result, 3);
    EXPECT_TRUE(e.fields.empty());
    EXPECT_TRUE(DecodeEvent(Facade::Ptz, nullptr, ThreadKind::UI).fields.empty());
    EXPECT_EQ(EventName(Facade::Ptz, 99), "PTZ_EVENT_99");
}

TEST(EventFormatTest, TextLineQuotesOnlyWhatNeedsIt) {
    EventRecord e = Ptz(CPtzParam::PTZ_EVENT_LOCK, -501, {{"code", "ch-0003"}, {"msg", "two words"}, {"info", ""},
                                                          {"list", boost::json::array{1, "a"}}, {"score", 0.93}});
    e.thread = ThreadKind::Pool;
    EXPECT_EQ(FormatEventText(e, std::nullopt),
              "PTZ_EVENT_LOCK result=-501 code=ch-0003 msg=\"two words\" info=\"\" list=[1,\"a\"] score=0.93 thread=pool");
    const std::string line = FormatEventText(e, Answer{"SetLock", 0.4149, false, 0});
    EXPECT_NE(line.find("thread=pool  <- SetLock 0.41 ms  (expected result 0)"), std::string::npos) << line;
    EXPECT_EQ(TextValue(boost::json::value("a=b")), "\"a=b\"");
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
    EXPECT_EQ(stats[0].results, (std::map<int, std::size_t>{{-501, 1}, {10009, 1}}));
}

TEST(RequestTrackerTest, AnswersWithoutSeqGoInSendingOrderAndHonourTheCondition) {
    RequestTracker t;
    auto forCode = [](const std::string& code) {
        return AnswerMatch{Facade::Ptz, {CPtzParam::PTZ_EVENT_RAIN_WIPER}, false,
                           [code](const EventRecord& e) { return e.Text("code") == code; }};
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
    EXPECT_EQ(stats.back().operation, "(unsolicited) PTZ_EVENT_RAIN_WIPER");
    EXPECT_EQ(stats.back().answered, 1u);
}

// The waits for answers and for events give up at their time-outs, and
// what they wait for, delivered while they are under way, ends them early:
// a poll as long as the time-out leaves only the event to wake the hub's.
TEST(WaitTest, AnswersAndEventsEndTheWaitsEarlyElseTheyTimeOut) {
    std::ostringstream out, err;
    Output output(out, err, false);
    RequestTracker tracker;
    EventHub hub(output, tracker);
    EXPECT_TRUE(tracker.WaitAnswered(std::chrono::milliseconds(0)));
    tracker.Send("SetLock", "ch-0003", BySeq(CPtzParam::PTZ_EVENT_LOCK), 0, [] { return 1; });
    EXPECT_FALSE(tracker.WaitAnswered(std::chrono::milliseconds(10)));
    EXPECT_FALSE(hub.WaitUntil([&] { return hub.EventCount() > 0; }, std::chrono::milliseconds(20)));
    std::thread ui([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        hub.Deliver(Facade::Ptz, LockAnswer(1, 0));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        hub.Deliver(Facade::Ptz, LockAnswer(2, 0));
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(tracker.WaitAnswered(std::chrono::seconds(30)));
    EXPECT_TRUE(
        hub.WaitUntil([&] { return hub.EventCount() > 1; }, std::chrono::seconds(30), std::chrono::seconds(30)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    ui.join();
}

// In JSON mode standard output carries JSON objects only, replies included;
// notes, sections and errors go to standard error.
TEST(OutputTest, JsonModeKeepsStandardOutputForJsonObjects) {
    std::ostringstream out, err;
    Output output(out, err, true);
    output.Note("start: something");
    output.Section("a section");
    output.Reply("PtzDirection", {{"seq", 3}});
    output.Error("error: a mistake");
    EXPECT_EQ(out.str(), "{\"reply\":\"PtzDirection\",\"seq\":3}\n");
    EXPECT_EQ(err.str(), "start: something\n== a section\nerror: a mistake\n");
}

TEST(DemoChecksTest, FailuresNameWhatIsMissingOrWrong) {
    DemoChecks checks;
    checks.ExpectEvent("the lock on ch-0005 runs out",
                       [](const EventRecord& e) { return e.name == "PTZ_EVENT_LOCK_EXPIRED"; });
    checks.Check(true, "holds");
    checks.Check(false, "the platform saw the I-frame request");
    EXPECT_EQ(checks.ChecksMade(), 2u);
    EXPECT_FALSE(checks.AllExpectedEventsSeen());

    RequestTracker tracker;
    tracker.Send("SetLock", "ch-0003", BySeq(CPtzParam::PTZ_EVENT_LOCK), -501, [] { return 4; });
    tracker.Send("SetLock", "ch-0001", BySeq(CPtzParam::PTZ_EVENT_LOCK), 0, [] { return 5; });
    tracker.OnEvent(Ptz(CPtzParam::PTZ_EVENT_LOCK, 0, {{"seq", 4}}));

    // Every kind seen except one of each façade.
    std::map<std::string, std::size_t> seen;
    for (const EventKind& kind : AllEventKinds()) seen[kind.name] = 1;
    seen.erase("PTZ_EVENT_SITE");
    seen.erase("DEVICE_EVENT_STOP_APP_RECORD");  // never expected

    const std::vector<std::string> expected = {
        "missing event: the lock on ch-0005 runs out", "check failed: the platform saw the I-frame request",
        "wrong result: SetLock ch-0003 answered PTZ_EVENT_LOCK result 0, expected -501",
        "no answer: SetLock ch-0001 (seq 5)", "never seen: PTZ_EVENT_SITE"};
    EXPECT_EQ(checks.Failures(tracker, seen), expected);

    checks.OnEvent(Ptz(CPtzParam::PTZ_EVENT_LOCK_EXPIRED, 0, {}));
    EXPECT_TRUE(checks.AllExpectedEventsSeen());
}

TEST(ServerUrlTest, HttpHostAndPortOnly) {
    std::string host, error;
    unsigned short port = 0;
    ASSERT_TRUE(ParseServerUrl("http://127.0.0.1:8090", host, port, error)) << error;
    EXPECT_EQ(host, "127.0.0.1");
    EXPECT_EQ(port, 8090);
    ASSERT_TRUE(ParseServerUrl("http://localhost/", host, port, error)) << error;
    EXPECT_EQ(port, 80);
    for (const char* url : {"https://127.0.0.1:8443", "127.0.0.1:8090", "http://:8090", "http://127.0.0.1:0",
                            "not a url"}) {
        error.clear();
        EXPECT_FALSE(ParseServerUrl(url, host, port, error)) << url;
        EXPECT_FALSE(error.empty()) << url;
    }
}

}  // namespace
}  // namespace kestrel_host
