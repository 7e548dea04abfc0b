// The pass-through sequence of a REST handler, against the server stand-in:
// the headers, the long log line and the missing objects. What every fault
// of the server and the transport gives: tests/faults/server_faults_test.
#include <gtest/gtest.h>

#include <vector>

#include "hostfw/environment.h"
#include "ptz_test_util.h"
#include "rest/rest_call.h"
#include "rest/rest_test_server.h"

namespace Kestrel {
namespace {

const RestCallSite kSite{"Ptz", "Kestrel::CPtz::HandleSetIdleMonitor", 321};

VSLPtzSetIdleMotionRequest* NoRequest() { return nullptr; }
VSLPtzSetIdleMotionResponse* NoResponse() { return nullptr; }

class RestCallTest : public resttest::RestServerTest {
protected:
    // An idle-motion call of channel "ch-1" with these object makers; what
    // `use` was given lands in m_used and m_hadResponse.
    int SetIdleMotion(VSLPtzSetIdleMotionRequest* (*makeRequest)() = CreateVSLPtzSetIdleMotionRequest,
                      VSLPtzSetIdleMotionResponse* (*makeResponse)() = CreateVSLPtzSetIdleMotionResponse) {
        return RunRestCall(
            kSite, m_mutex, makeRequest, makeResponse, "/videoService/ptz/idleMotion/channels/", nullptr,
            [this] { return ++m_sessionReads, kSession; },
            [this](VSLPtzSetIdleMotionRequest& r) {
                ++m_fills;
                SetRestText(r.path.channelCode, "ch-1");
            },
            [this](int result, VSLPtzSetIdleMotionResponse* response) {
                m_used = result;
                m_hadResponse = response != nullptr;
            });
    }

    boost::mutex m_mutex;
    kestrel_test::LogCapture m_log;
    int m_sessionReads = 0;
    int m_fills = 0;
    int m_used = 0;
    bool m_hadResponse = false;
};

TEST_F(RestCallTest, SuccessReachesUseWithTheAnswerAndLogsNothing) {
    hostfw::Environment env;
    m_server.AddSession(env.SessionId());
    auto headers = MakeRestHeaders(env.LoginManager(), "menu.ptz");
    int used = -7;
    bool hadResponse = false;
    std::int64_t taskId = -1;
    const int result = RunRestCall(
        kSite, m_mutex, CreatePSIBPtzAddPresetTaskRequest, CreatePSIBPtzAddPresetTaskResponse, "/psib/ptz/presetTask",
        headers.get(), [&] { return env.SessionId(); },
        [](PSIBPtzAddPresetTaskRequest& r) { SetRestText(r.body.channelCode, "ch-3"); },
        [&](int r, PSIBPtzAddPresetTaskResponse* response) {
            used = r;
            hadResponse = response != nullptr;
            if (response) taskId = response->body.id;
        });
    EXPECT_EQ(0, result);
    EXPECT_EQ(0, used);
    EXPECT_TRUE(hadResponse);
    ASSERT_TRUE(m_server.GetStore().GuardPresetTaskOf("ch-3"));
    EXPECT_EQ(m_server.GetStore().GuardPresetTaskOf("ch-3")->id, taskId) << "use sees the parsed body";
    EXPECT_TRUE(m_log.Lines().empty());
    // The audit headers of a known key: ptz/ptz_guard_preset_test.
    EXPECT_EQ(std::to_string(env.SessionId()), m_server.Requests().back().Header("X-Session-Id").value_or(""));

    // An unknown key goes out as it is, with an empty name; so without a
    // login manager.
    for (auto* login : {env.LoginManager(), static_cast<AccountLogic::CLoginManagerExternal*>(nullptr)}) {
        const auto unknown = MakeRestHeaders(login, "menu.unknown");
        const auto& params = unknown->GetParams();
        ASSERT_EQ(3u, params.size());
        EXPECT_EQ(std::make_pair(std::string("X-Operate-Code"), std::string("menu.unknown")), params[0]);
        EXPECT_EQ(std::make_pair(std::string("X-Operate-Name"), std::string()), params[1]);
        EXPECT_EQ(std::make_pair(std::string("X-Api-Version"), std::string("2.0")), params[2]);
    }
    env.Shutdown();
}

TEST_F(RestCallTest, ServerRefusalsBecomeTheResultWithTheLongLogLine) {
    mgmt::Fault fault;
    fault.serverCode = 1005;
    fault.message = "device busy";
    m_server.InjectFault(fault);
    EXPECT_EQ(1005, SetIdleMotion());
    EXPECT_EQ(1005, m_used);
    EXPECT_TRUE(m_hadResponse);
    const auto log = m_log.Lines();
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(6, log[0].level);
    EXPECT_EQ("Ptz", log[0].source);
    EXPECT_EQ(321, log[0].line);
    EXPECT_EQ("Kestrel::CPtz::HandleSetIdleMonitor", log[0].function);
    EXPECT_EQ("", log[0].tag);
    EXPECT_EQ("DataPassThroughJson failed, error = 1005 [http_code = 200, api_code = 1005, api_message = device busy].",
              log[0].text);
}

TEST_F(RestCallTest, MissingObjectsSendNothingAndYieldMinusOne) {
    m_hadResponse = true;
    EXPECT_EQ(-1, SetIdleMotion(CreateVSLPtzSetIdleMotionRequest, NoResponse));
    EXPECT_EQ(-1, m_used);
    EXPECT_FALSE(m_hadResponse);
    EXPECT_EQ(-1, SetIdleMotion(NoRequest, CreateVSLPtzSetIdleMotionResponse));
    EXPECT_EQ(-1, m_used);
    EXPECT_TRUE(m_hadResponse) << "the response that was made is handed over";

    const auto log = m_log.Lines();
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ("Memory malloc error, create RestResponseType object failed", log[0].text);
    EXPECT_EQ("Memory malloc error, create RestRequestType object failed", log[1].text);
    EXPECT_EQ(0, m_sessionReads);
    EXPECT_EQ(0, m_fills);
    EXPECT_TRUE(m_server.Requests().empty());
}

}  // namespace
}  // namespace Kestrel
