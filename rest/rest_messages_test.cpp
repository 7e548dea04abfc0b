// The message types: their JSON as the server takes it, and the answers read
// back. (The device restart's path: tests/faults/server_faults_test.)
#include <gtest/gtest.h>

#include <cstdlib>

#include "rest/rest_messages.h"
#include "rest/rest_test_server.h"

namespace Kestrel {
namespace {

using resttest::RestObject;
using RestMessagesTest = resttest::RestServerTest;

template <class Request, class Response>
int Exchange(Request* request, Response* response, int session = resttest::kSession) {
    request->slots.build(&request->slots);
    return Datahub::DataPassThroughJson(session, nullptr, &request->slots, &response->slots, 10, 0);
}

void AddConfig(PresetTaskBody& body, int presetIndex, const char* begin, const char* end, int idle, int type,
               int cover) {
    PresetTaskConfig* c = AppendRestListItem<PresetTaskConfig>(body.configList);
    ASSERT_NE(nullptr, c);
    c->presetIndex = presetIndex;
    SetRestText(c->beginTime, begin);
    SetRestText(c->endTime, end);
    c->idleTime = idle;
    c->type = type;
    c->cover = cover;
}

TEST_F(RestMessagesTest, AddPresetTaskSavesTheTask) {
    RestObject<PSIBPtzAddPresetTaskRequest> request(CreatePSIBPtzAddPresetTaskRequest());
    RestObject<PSIBPtzAddPresetTaskResponse> response(CreatePSIBPtzAddPresetTaskResponse());
    SetRestText(request->slots.uriPath, "/psib/ptz/presetTask");
    request->body.status = 1;
    SetRestText(request->body.channelCode, "ch-1");
    Datahub::free_buffer_init(&request->body.configList);
    AddConfig(request->body, 3, "08:00", "09:00", 30, 1, 0);
    AddConfig(request->body, 7, "20:00", "21:00", 10, 2, 1);
    ASSERT_EQ(0, Exchange(request.get(), response.get())) << response->slots.failure;
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
    SetRestText(empty->slots.uriPath, "/psib/ptz/presetTask");
    SetRestText(empty->body.channelCode, "ch-2");
    ASSERT_EQ(0, Exchange(empty.get(), response.get()));
    EXPECT_STREQ("{\"status\":0,\"configList\":[],\"channelCode\":\"ch-2\"}", empty->slots.jsonBody);
    EXPECT_TRUE(m_server.GetStore().GuardPresetTaskOf("ch-2")->configList.empty());
}

TEST_F(RestMessagesTest, GetPresetTaskReadsTheListAndCopiesDeeply) {
    mgmt::GuardPresetTask saved;
    saved.channelCode = "c 1";
    saved.status = 1;
    saved.configList.push_back({4, "06:00", "07:00", 15, 2, 0, 1});
    saved.configList.push_back({5, "08:00", "09:00", 25, 2, 0, 0});
    const std::int64_t id = m_server.GetStore().SaveGuardPresetTask(saved);

    RestObject<PSIBPtzGetPresetTaskRequest> request(CreatePSIBPtzGetPresetTaskRequest());
    RestObject<PSIBPtzGetPresetTaskResponse> response(CreatePSIBPtzGetPresetTaskResponse());
    SetRestText(request->slots.uriPath, "/psib/ptz/presetTask/");
    SetRestText(request->path.channelCode, "c 1");
    request->query.type = 2;
    ASSERT_EQ(0, Exchange(request.get(), response.get()));
    EXPECT_STREQ("/psib/ptz/presetTask/c%201?type=2", request->slots.uri);
    EXPECT_STREQ("{}", request->slots.jsonBody);
    ASSERT_EQ(0, response->slots.parse(&response->slots));

    auto* copy = static_cast<PSIBPtzGetPresetTaskResponse*>(std::malloc(sizeof(PSIBPtzGetPresetTaskResponse)));
    ASSERT_EQ(0, response->slots.copy(&copy->slots, &response->slots));
    RestObject<PSIBPtzGetPresetTaskResponse> kept(copy);
    response.reset();

    EXPECT_EQ(200, kept->slots.http_code);
    EXPECT_EQ("success", RestText(kept->slots.api_message));
    EXPECT_EQ("c 1", RestText(kept->body.channelCode));
    EXPECT_EQ(id, kept->body.id);
    EXPECT_EQ(1, kept->body.status);
    ASSERT_EQ(2, RestListCount(kept->body.configList));
    const PresetTaskListItem* items = RestListItems<PresetTaskListItem>(kept->body.configList);
    EXPECT_EQ(4, items[0].presetIndex);
    EXPECT_EQ(15, items[0].idleTime);
    EXPECT_EQ(1, items[0].cover);
    EXPECT_EQ("06:00", RestText(items[0].beginTime));
    EXPECT_EQ("09:00", RestText(items[1].endTime));
    EXPECT_EQ(m_server.GetStore().GuardPresetTaskOf("c 1")->configList[1].id, items[1].id);
}

TEST_F(RestMessagesTest, DelPresetTaskSendsTheSignedId) {
    RestObject<PSIBPtzDelPresetTaskRequest> request(CreatePSIBPtzDelPresetTaskRequest());
    RestObject<PSIBPtzDelPresetTaskResponse> response(CreatePSIBPtzDelPresetTaskResponse());
    SetRestText(request->slots.uriPath, "/psib/ptz/presetTask/");
    request->path.id = -1;
    ASSERT_EQ(0, Exchange(request.get(), response.get()));
    EXPECT_STREQ("/psib/ptz/presetTask/-1", request->slots.uri);
    EXPECT_EQ(mgmt::kCodeNotFound, response->slots.api_code);

    mgmt::GuardPresetTask task;
    task.channelCode = "c";
    request->path.id = m_server.GetStore().SaveGuardPresetTask(task);
    ASSERT_EQ(0, Exchange(request.get(), response.get()));
    EXPECT_EQ(1000, response->slots.api_code);
    EXPECT_EQ(0, response->slots.parse(&response->slots));
    EXPECT_TRUE(m_server.GetStore().GuardPresetTasks().empty());
}

TEST_F(RestMessagesTest, IdleMotionReachesTheServer) {
    RestObject<VSLPtzSetIdleMotionRequest> motion(CreateVSLPtzSetIdleMotionRequest());
    RestObject<VSLPtzSetIdleMotionResponse> motionAnswer(CreateVSLPtzSetIdleMotionResponse());
    SetRestText(motion->slots.uriPath, "/videoService/ptz/idleMotion/channels/");
    SetRestText(motion->path.channelCode, "ch/9");
    motion->body.enable = 1;
    SetRestText(motion->body.function, "cruise");
    motion->body.index = 2;
    motion->body.second = 90;
    ASSERT_EQ(0, Exchange(motion.get(), motionAnswer.get()));
    EXPECT_STREQ("{\"enable\":true,\"function\":\"cruise\",\"index\":2,\"second\":90}", motion->slots.jsonBody);
    EXPECT_STREQ("/videoService/ptz/idleMotion/channels/ch%2F9", motion->slots.uri);
    EXPECT_TRUE(m_server.GetStore().IdleMotionOf("ch/9")) << "the escaped code reaches the server whole";
}

}  // namespace
}  // namespace Kestrel
