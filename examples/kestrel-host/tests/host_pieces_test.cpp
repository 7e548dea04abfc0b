// The pieces between the observers and the screen that the demo and the
// scripts do not take through every path: the waits' time-outs, the demo's
// failure reports, and the --server URL.
#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "demo_checks.h"
#include "event_hub.h"
#include "event_names.h"
#include "host_session.h"
#include "kestrel/device_function_param.h"
#include "kestrel/ptz_param.h"
#include "output.h"
#include "request_tracker.h"

namespace kestrel_host {
namespace {

using Kestrel::CPtzParam;

std::shared_ptr<CPtzParam> LockAnswer(int seq, int result) {
    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_LOCK, result);
    param->SetCode("ch-0003");
    param->SetSeq(seq);
    param->SetParam(1);
    param->SetMsg("supervisor");
    return param;
}

AnswerMatch LockBySeq() {
    AnswerMatch match;
    match.facade = Facade::Ptz;
    match.eventTypes = {CPtzParam::PTZ_EVENT_LOCK};
    match.bySeq = true;
    return match;
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
    tracker.Send("SetLock", "ch-0003", LockBySeq(), 0, [] { return 1; });
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
    tracker.Send("SetLock", "ch-0003", LockBySeq(), -501, [] { return 4; });
    tracker.Send("SetLock", "ch-0001", LockBySeq(), 0, [] { return 5; });
    EventRecord answer;
    answer.facade = Facade::Ptz;
    answer.type = CPtzParam::PTZ_EVENT_LOCK;
    answer.name = "PTZ_EVENT_LOCK";
    answer.result = 0;
    answer.fields = {{"seq", 4}};
    tracker.OnEvent(answer);

    // Every kind seen except one of each façade.
    std::map<std::string, std::size_t> seen;
    for (const EventKind& kind : AllEventKinds()) seen[kind.name] = 1;
    seen.erase("PTZ_EVENT_SITE");
    seen.erase("DEVICE_EVENT_STOP_APP_RECORD");  // never expected

    std::vector<std::string> failures = checks.Failures(tracker, seen);
    const std::vector<std::string> expected = {
        "missing event: the lock on ch-0005 runs out",
        "check failed: the platform saw the I-frame request",
        "wrong result: SetLock ch-0003 answered PTZ_EVENT_LOCK result 0, expected -501",
        "no answer: SetLock ch-0001 (seq 5)",
        "never seen: PTZ_EVENT_SITE",
    };
    EXPECT_EQ(failures, expected);

    EventRecord expired;
    expired.name = "PTZ_EVENT_LOCK_EXPIRED";
    checks.OnEvent(expired);
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
    EXPECT_FALSE(ParseServerUrl("https://127.0.0.1:8443", host, port, error));
    EXPECT_FALSE(ParseServerUrl("127.0.0.1:8090", host, port, error));
    EXPECT_FALSE(ParseServerUrl("http://:8090", host, port, error));
    EXPECT_FALSE(ParseServerUrl("http://127.0.0.1:0", host, port, error));
    EXPECT_FALSE(ParseServerUrl("not a url", host, port, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace kestrel_host
