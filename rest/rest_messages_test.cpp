// The REST layer against the management server stand-in on loopback: the
// message types' JSON as the server takes it and the answers read back, and
// the pass-through sequence of a handler (the headers, the long log line and
// the missing objects). The device restart's path and what every fault of the
// server and the transport gives: tests/faults/fault_matrix_test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <tuple>
#include <vector>

#include "hostfw/environment.h"
#include "hostfw/rest_host.h"
#include "mgmt_server/server.h"
#include "ptz_test_util.h"
#include "rest/rest_call.h"
#include "rest/rest_messages.h"

namespace Kestrel {
namespace {

constexpr int kSession = 42;

// Releases a request or response object through its own operation.
struct ReleaseRestObject {
    template <class Object>
    void operator()(Object* object) const {
        if (object) object->slots.release(&object->slots);
    }
};
template <class Object>
using RestObject = std::unique_ptr<Object, ReleaseRestObject>;

class RestServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.Start());
        m_server.AddSession(kSession);
        Datahub::Host::SetServerAddress("127.0.0.1", m_server.Port());
    }
    void TearDown() override {
        Datahub::Host::ClearServerAddress();
        m_server.Stop();
    }

    mgmt::Server m_server;
};
using RestMessagesTest = RestServerTest;

// Builds the request for the URI path and sends it.
template <class Request, class Response>
int Exchange(const char* path, Request* request, Response* response) {
    SetRestText(request->slots.uriPath, path);
    request->slots.build(&request->slots);
    return Datahub::DataPassThroughJson(kSession, nullptr, &request->slots, &response->slots, 10, 0);
}

void AddConfig(PresetTaskBody& body, int presetIndex, const char* begin, const char* end, int idle, int type,
               int cover) {
    PresetTaskConfig* c = AppendRestListItem<PresetTaskConfig>(body.configList);
    ASSERT_NE(nullptr, c);
    *c = {idle, type, cover, 0, nullptr, presetIndex, 0, nullptr};  // the times below
    SetRestText(c->beginTime, begin);
    SetRestText(c->endTime, end);
}

TEST_F(RestMessagesTest, AddPresetTaskSavesTheTask) {
    RestObject<PSIBPtzAddPresetTaskRequest> request(CreatePSIBPtzAddPresetTaskRequest());
    RestObject<PSIBPtzAddPresetTaskResponse> response(CreatePSIBPtzAddPresetTaskResponse());
    request->body.status = 1;
    SetRestText(request->body.channelCode, "ch-1");
    Datahub::free_buffer_init(&request->body.configList);
    AddConfig(request->body, 3, "08:00", "09:00", 30, 1, 0);
    AddConfig(request->body, 7, "20:00", "21:00", 10, 2, 1);
    ASSERT_EQ(0, Exchange("/psib/ptz/presetTask", request.get(), response.get())) << response->slots.failure;
    EXPECT_STREQ(
        "{\"status\":1,\"configList\":["
        "{\"idleTime\":30,\"type\":1,\"cover\":0,\"endTime\":\"09:00\",\"presetIndex\":3,\"beginTime\":\"08:00\"},"
        "{\"idleTime\":10,\"type\":2,\"cover\":1,\"endTime\":\"21:00\",\"presetIndex\":7,\"beginTime\":\"20:00\"}],"
        "\"channelCode\":\"ch-1\"}",
        request->slots.jsonBody);
    EXPECT_STREQ("/psib/ptz/presetTask", request->slots.uri);
    EXPECT_EQ(1000, response->slots.api_code);
    ASSERT_EQ(0, response->slots.parse(&response->slots));
    const auto task = m_server.GetStore().GuardPresetTaskOf("ch-1");
    ASSERT_TRUE(task);
    EXPECT_EQ(task->id, response->body.id);

    // An empty list is still sent.
    RestObject<PSIBPtzAddPresetTaskRequest> empty(CreatePSIBPtzAddPresetTaskRequest());
    SetRestText(empty->body.channelCode, "ch-2");
    ASSERT_EQ(0, Exchange("/psib/ptz/presetTask", empty.get(), response.get()));
    EXPECT_STREQ("{\"status\":0,\"configList\":[],\"channelCode\":\"ch-2\"}", empty->slots.jsonBody);
    EXPECT_TRUE(m_server.GetStore().GuardPresetTaskOf("ch-2")->configList.empty());
}

TEST_F(RestMessagesTest, GetPresetTaskReadsTheListAndCopiesDeeply) {
    // id, channel code and serial number, status, configurations.
    const mgmt::GuardPresetTask saved{
        0, "c 1", "", 1, {{4, "06:00", "07:00", 15, 2, 0, 1}, {5, "08:00", "09:00", 25, 2, 0, 0}}};
    const std::int64_t id = m_server.GetStore().SaveGuardPresetTask(saved);

    RestObject<PSIBPtzGetPresetTaskRequest> request(CreatePSIBPtzGetPresetTaskRequest());
    RestObject<PSIBPtzGetPresetTaskResponse> response(CreatePSIBPtzGetPresetTaskResponse());
    SetRestText(request->path.channelCode, "c 1");
    request->query.type = 2;
    ASSERT_EQ(0, Exchange("/psib/ptz/presetTask/", request.get(), response.get()));
    EXPECT_EQ(std::make_tuple("/psib/ptz/presetTask/c%201?type=2", "{}"),
              std::make_tuple(RestText(request->slots.uri), RestText(request->slots.jsonBody)));
    ASSERT_EQ(0, response->slots.parse(&response->slots));

    auto* copy = static_cast<PSIBPtzGetPresetTaskResponse*>(std::malloc(sizeof(PSIBPtzGetPresetTaskResponse)));
    ASSERT_EQ(0, response->slots.copy(&copy->slots, &response->slots));
    RestObject<PSIBPtzGetPresetTaskResponse> kept(copy);
    response.reset();

    const auto& body = kept->body;
    EXPECT_EQ(std::make_tuple(200, "success", "c 1", id, 1),
              std::make_tuple(kept->slots.http_code, RestText(kept->slots.api_message), RestText(body.channelCode),
                              body.id, body.status));
    ASSERT_EQ(2, RestListCount(body.configList));
    const PresetTaskListItem* items = RestListItems<PresetTaskListItem>(body.configList);
    EXPECT_EQ(std::make_tuple(4, 15, 1, "06:00", "09:00"),
              std::make_tuple(items[0].presetIndex, items[0].idleTime, items[0].cover, RestText(items[0].beginTime),
                              RestText(items[1].endTime)));
    EXPECT_EQ(m_server.GetStore().GuardPresetTaskOf("c 1")->configList[1].id, items[1].id);
}

TEST_F(RestMessagesTest, DelPresetTaskSendsTheSignedId) {
    RestObject<PSIBPtzDelPresetTaskRequest> request(CreatePSIBPtzDelPresetTaskRequest());
    RestObject<PSIBPtzDelPresetTaskResponse> response(CreatePSIBPtzDelPresetTaskResponse());
    request->path.id = -1;
    ASSERT_EQ(0, Exchange("/psib/ptz/presetTask/", request.get(), response.get()));
    EXPECT_EQ(std::make_tuple("/psib/ptz/presetTask/-1", mgmt::kCodeNotFound),
              std::make_tuple(RestText(request->slots.uri), response->slots.api_code));

    request->path.id = m_server.GetStore().SaveGuardPresetTask({0, "c", "", 0, {}});
    ASSERT_EQ(0, Exchange("/psib/ptz/presetTask/", request.get(), response.get()));
    EXPECT_EQ(1000, response->slots.api_code);
    EXPECT_EQ(0, response->slots.parse(&response->slots));
    EXPECT_TRUE(m_server.GetStore().GuardPresetTasks().empty());
}

TEST_F(RestMessagesTest, IdleMotionReachesTheServer) {
    RestObject<VSLPtzSetIdleMotionRequest> motion(CreateVSLPtzSetIdleMotionRequest());
    RestObject<VSLPtzSetIdleMotionResponse> motionAnswer(CreateVSLPtzSetIdleMotionResponse());
    SetRestText(motion->path.channelCode, "ch/9");
    motion->body.enable = 1;
    SetRestText(motion->body.function, "cruise");
    motion->body.index = 2;
    motion->body.second = 90;
    ASSERT_EQ(0, Exchange("/videoService/ptz/idleMotion/channels/", motion.get(), motionAnswer.get()));
    EXPECT_STREQ("{\"enable\":true,\"function\":\"cruise\",\"index\":2,\"second\":90}", motion->slots.jsonBody);
    EXPECT_STREQ("/videoService/ptz/idleMotion/channels/ch%2F9", motion->slots.uri);
    EXPECT_TRUE(m_server.GetStore().IdleMotionOf("ch/9")) << "the escaped code reaches the server whole";
}

const RestCallSite kSite{"Ptz", "Kestrel::CPtz::HandleSetIdleMonitor", 321};

VSLPtzSetIdleMotionRequest* NoRequest() { return nullptr; }
VSLPtzSetIdleMotionResponse* NoResponse() { return nullptr; }

class RestCallTest : public RestServerTest {
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
    EXPECT_EQ(std::make_tuple(0, 0, true), std::make_tuple(result, used, hadResponse));
    ASSERT_TRUE(m_server.GetStore().GuardPresetTaskOf("ch-3"));
    EXPECT_EQ(m_server.GetStore().GuardPresetTaskOf("ch-3")->id, taskId) << "use sees the parsed body";
    EXPECT_TRUE(m_log.Lines().empty());
    // The audit headers of a known key: ptz/ptz_guard_preset_test.
    EXPECT_EQ(std::to_string(env.SessionId()), m_server.Requests().back().Header("X-Session-Id").value_or(""));

    // An unknown key goes out as it is, with an empty name; so without a
    // login manager.
    using Params = std::vector<std::pair<std::string, std::string>>;
    for (auto* login : {env.LoginManager(), static_cast<AccountLogic::CLoginManagerExternal*>(nullptr)}) {
        EXPECT_EQ(MakeRestHeaders(login, "menu.unknown")->GetParams(),
                  (Params{{"X-Operate-Code", "menu.unknown"}, {"X-Operate-Name", ""}, {"X-Api-Version", "2.0"}}));
    }
    env.Shutdown();
}

TEST_F(RestCallTest, ServerRefusalsBecomeTheResultWithTheLongLogLine) {
    mgmt::Fault fault;
    fault.serverCode = 1005;
    fault.message = "device busy";
    m_server.InjectFault(fault);
    const int result = SetIdleMotion();
    EXPECT_EQ(std::make_tuple(1005, 1005, true), std::make_tuple(result, m_used, m_hadResponse));
    const auto log = m_log.Lines();
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(std::make_tuple(6, "Ptz", 321, "Kestrel::CPtz::HandleSetIdleMonitor", "",
                              "DataPassThroughJson failed, error = 1005 [http_code = 200, api_code = 1005, "
                              "api_message = device busy]."),
              std::tie(log[0].level, log[0].source, log[0].line, log[0].function, log[0].tag, log[0].text));
}

TEST_F(RestCallTest, MissingObjectsSendNothingAndYieldMinusOne) {
    m_hadResponse = true;
    int result = SetIdleMotion(CreateVSLPtzSetIdleMotionRequest, NoResponse);
    EXPECT_EQ(std::make_tuple(-1, -1, false), std::make_tuple(result, m_used, m_hadResponse));
    result = SetIdleMotion(NoRequest, CreateVSLPtzSetIdleMotionResponse);
    EXPECT_EQ(std::make_tuple(-1, -1, true), std::make_tuple(result, m_used, m_hadResponse))
        << "the response that was made is handed over";

    const auto log = m_log.Lines();
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ("Memory malloc error, create RestResponseType object failed", log[0].text);
    EXPECT_EQ("Memory malloc error, create RestRequestType object failed", log[1].text);
    EXPECT_EQ(std::make_tuple(0, 0), std::make_tuple(m_sessionReads, m_fills));
    EXPECT_TRUE(m_server.Requests().empty());
}

}  // namespace
}  // namespace Kestrel
