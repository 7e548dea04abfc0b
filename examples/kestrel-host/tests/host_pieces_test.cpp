// The pieces between the observers and the screen: the hub, the output in
// both forms, the demo's checks, and the --server URL.
#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include <boost/json/parse.hpp>

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

TEST(EventHubTest, ADeliveryIsMatchedHandedToTheListenerPrintedAndCounted) {
    std::ostringstream out, err;
    Output output(out, err, false);
    RequestTracker tracker;
    EventHub hub(output, tracker);
    std::vector<std::string> heard;
    hub.SetListener([&](const EventRecord& e) { heard.push_back(e.name); });

    tracker.Send("SetLock", "ch-0003", LockBySeq(), -501, [] { return 5; });
    hub.Observer(Facade::Ptz)->OnNotify(LockAnswer(5, -501));
    hub.Observer(Facade::Ptz)->OnNotify(LockAnswer(6, 0));  // answers nothing

    EXPECT_EQ(heard, (std::vector<std::string>{"PTZ_EVENT_LOCK", "PTZ_EVENT_LOCK"}));
    EXPECT_EQ(hub.EventCount(), 2u);
    EXPECT_EQ(hub.SeenByName().at("PTZ_EVENT_LOCK"), 2u);
    const std::string text = out.str();
    EXPECT_NE(text.find("PTZ_EVENT_LOCK result=-501 code=ch-0003 seq=5 param=1 msg=supervisor thread=other  <- SetLock "),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("seq=6 param=1 msg=supervisor thread=other\n"), std::string::npos) << text;
    EXPECT_TRUE(err.str().empty());
    EXPECT_EQ(tracker.PendingCount(), 0u);
}

TEST(EventHubTest, WaitUntilWakesOnAnEventAndGivesUpAtItsTimeOut) {
    std::ostringstream out, err;
    Output output(out, err, false);
    RequestTracker tracker;
    EventHub hub(output, tracker);
    EXPECT_FALSE(hub.WaitUntil([&] { return hub.EventCount() > 0; }, std::chrono::milliseconds(20)));
    std::thread ui([&] { hub.Deliver(Facade::Ptz, LockAnswer(1, 0)); });
    EXPECT_TRUE(hub.WaitUntil([&] { return hub.EventCount() > 0; }, std::chrono::seconds(10)));
    ui.join();
}

TEST(OutputTest, JsonModeKeepsStandardOutputForJsonObjects) {
    std::ostringstream out, err;
    Output output(out, err, true);
    output.Note("start: something");
    output.Section("a section");
    output.Reply("PtzDirection", {{"seq", 3}});
    output.Error("error: a mistake");
    RequestTracker tracker;
    EventHub hub(output, tracker);
    hub.Deliver(Facade::Ptz, LockAnswer(9, 0));

    std::istringstream lines(out.str());
    std::string line;
    int objects = 0;
    while (std::getline(lines, line)) {
        EXPECT_TRUE(boost::json::parse(line).is_object()) << line;
        ++objects;
    }
    EXPECT_EQ(objects, 2);
    EXPECT_NE(out.str().find(R"({"reply":"PtzDirection","seq":3})"), std::string::npos);
    EXPECT_EQ(err.str(), "start: something\n== a section\nerror: a mistake\n");
}

TEST(OutputTest, MutedEventsAreNotPrinted) {
    std::ostringstream out, err;
    Output output(out, err, false);
    output.SetEventsShown(false);
    RequestTracker tracker;
    EventHub hub(output, tracker);
    hub.Deliver(Facade::Ptz, LockAnswer(1, 0));
    EXPECT_TRUE(out.str().empty());
    EXPECT_EQ(hub.EventCount(), 1u);
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
