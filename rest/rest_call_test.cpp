// The pass-through sequence of a REST handler, against the server stand-in:
// the headers, the long log line and the missing objects. What every fault
// of the server and the transport gives: tests/faults/server_faults_test.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "hostfw/environment.h"
#include "hostfw/vkl_host.h"
#include "rest/rest_call.h"
#include "rest/rest_test_server.h"

namespace Kestrel {
namespace {

const RestCallSite kSite{"Ptz", "Kestrel::CPtz::HandleSetIdleMonitor", 321};
const char kIdlePath[] = "/videoService/ptz/idleMotion/channels/";

class RestCallTest : public resttest::RestServerTest {
protected:
    void SetUp() override {
        resttest::RestServerTest::SetUp();
        vkl::Host::SetLogSink([this](const vkl::Host::LogRecord& r) {
            std::lock_guard<std::mutex> lock(m_logMutex);
            m_log.push_back(r);
        });
    }
    void TearDown() override {
        vkl::Host::SetLogSink({});
        resttest::RestServerTest::TearDown();
    }

    std::vector<vkl::Host::LogRecord> Log() {
        std::lock_guard<std::mutex> lock(m_logMutex);
        return m_log;
    }

    // An idle-motion call of channel "ch-1"; `used` gets what `use` was given.
    int SetIdleMotion(const Datahub::CHeadParamList* headers, int& usedResult, bool& hadResponse) {
        return RunRestCall(
            kSite, m_mutex, CreateVSLPtzSetIdleMotionRequest, CreateVSLPtzSetIdleMotionResponse, kIdlePath, headers,
            kSession,
            [](VSLPtzSetIdleMotionRequest& r) {
                r.body.enable = 1;
                SetRestText(r.body.function, "preset");
                r.body.index = 4;
                r.body.second = 30;
                SetRestText(r.path.channelCode, "ch-1");
            },
            [&](int result, VSLPtzSetIdleMotionResponse* response) {
                usedResult = result;
                hadResponse = response != nullptr;
            });
    }

    boost::mutex m_mutex;
    std::mutex m_logMutex;
    std::vector<vkl::Host::LogRecord> m_log;
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
    EXPECT_TRUE(Log().empty());

    const auto seen = m_server.Requests().back();
    EXPECT_EQ("M-PTZ-01", seen.Header("X-Operate-Code").value_or(""));
    EXPECT_EQ("PTZ control", seen.Header("X-Operate-Name").value_or(""));
    EXPECT_EQ("2.0", seen.Header("X-Api-Version").value_or(""));
    EXPECT_EQ(std::to_string(env.SessionId()), seen.Header("X-Session-Id").value_or(""));

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
    int used = 0;
    bool had = false;
    EXPECT_EQ(1005, SetIdleMotion(nullptr, used, had));
    EXPECT_EQ(1005, used);
    EXPECT_TRUE(had);
    auto log = Log();
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(6, log[0].level);
    EXPECT_EQ("Ptz", log[0].source);
    EXPECT_EQ(321, log[0].line);
    EXPECT_EQ("Kestrel::CPtz::HandleSetIdleMonitor", log[0].function);
    EXPECT_EQ("", log[0].tag);
    EXPECT_EQ("DataPassThroughJson failed, error = 1005 [http_code = 200, api_code = 1005, api_message = device busy].",
              log[0].text);

}

VSLPtzSetIdleMotionRequest* NoRequest() { return nullptr; }
VSLPtzSetIdleMotionResponse* NoResponse() { return nullptr; }

TEST_F(RestCallTest, MissingObjectsSendNothingAndYieldMinusOne) {
    std::atomic<int> sessionReads{0};
    auto session = [&] { return ++sessionReads, kSession; };
    auto fill = [](VSLPtzSetIdleMotionRequest&) { ADD_FAILURE() << "nothing to fill"; };
    int used = 0;
    bool had = true;
    auto use = [&](int r, VSLPtzSetIdleMotionResponse* response) {
        used = r;
        had = response != nullptr;
    };

    EXPECT_EQ(-1, RunRestCall(kSite, m_mutex, CreateVSLPtzSetIdleMotionRequest, NoResponse, kIdlePath, nullptr,
                              session, fill, use));
    EXPECT_EQ(-1, used);
    EXPECT_FALSE(had);
    auto log = Log();
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ("Memory malloc error, create RestResponseType object failed", log[0].text);

    EXPECT_EQ(-1, RunRestCall(kSite, m_mutex, NoRequest, CreateVSLPtzSetIdleMotionResponse, kIdlePath, nullptr,
                              session, fill, use));
    EXPECT_TRUE(had) << "the response that was made is handed over";
    log = Log();
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ("Memory malloc error, create RestRequestType object failed", log[1].text);

    EXPECT_EQ(0, sessionReads.load());
    EXPECT_TRUE(m_server.Requests().empty());
}

}  // namespace
}  // namespace Kestrel
