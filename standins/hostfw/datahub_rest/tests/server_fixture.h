#pragma once
// A management server on loopback with the pass-through pointed at it, and
// the guard-preset messages as their callers describe them.
#include <gtest/gtest.h>

#include "datahub/head_param_list.h"
#include "datahub/rest.h"
#include "hostfw/rest_host.h"
#include "mgmt_server/server.h"
#include "rest_objects.h"

namespace resttest {

// Preset-task body (56 bytes) and its 40-byte list element.
constexpr std::size_t kTaskStatus = 0, kTaskChannelSn = 8, kTaskConfigList = 16, kTaskChannelCode = 48;
constexpr std::size_t kTaskSize = 56, kConfigSize = 40;
// Preset-task list answered by a query (64 bytes) and its 48-byte element.
constexpr std::size_t kListConfigList = 0, kListStatus = 32, kListId = 48, kListChannelCode = 56;
constexpr std::size_t kListSize = 64, kListItemSize = 48;

struct Messages {
    Datahub::MetaInfo* task;
    Datahub::MetaInfo* taskList;
    Datahub::MetaInfo* id;           // {"id": int64}
    Datahub::MetaInfo* channelCode;  // path parameter
    Datahub::MetaInfo* type;         // query parameter
    Datahub::MetaInfo* empty;

    Messages() {
        using namespace Datahub;
        task = metainfo_create(kTaskSize);
        metainfo_add_member(task, kTaskStatus, META_TYPE_INT32, "status", 0);
        metainfo_add_member(task, kTaskChannelSn, META_TYPE_STRING, "channelSn", 0);
        MetaInfo* config = metainfo_add_child(task, kTaskConfigList, kConfigSize, "configList", 1);
        metainfo_add_member(config, 0, META_TYPE_INT32, "idleTime", 0);
        metainfo_add_member(config, 4, META_TYPE_INT32, "type", 0);
        metainfo_add_member(config, 8, META_TYPE_INT32, "cover", 0);
        metainfo_add_member(config, 16, META_TYPE_STRING, "endTime", 0);
        metainfo_add_member(config, 24, META_TYPE_INT32, "presetIndex", 0);
        metainfo_add_member(config, 32, META_TYPE_STRING, "beginTime", 0);
        metainfo_add_member(task, kTaskChannelCode, META_TYPE_STRING, "channelCode", 0);

        taskList = metainfo_create(kListSize);
        MetaInfo* item = metainfo_add_child(taskList, kListConfigList, kListItemSize, "configList", 1);
        metainfo_add_member(item, 0, META_TYPE_INT32, "idleTime", 0);
        metainfo_add_member(item, 4, META_TYPE_INT32, "type", 0);
        metainfo_add_member(item, 8, META_TYPE_INT32, "cover", 0);
        metainfo_add_member(item, 16, META_TYPE_INT64, "id", 0);
        metainfo_add_member(item, 24, META_TYPE_INT32, "presetIndex", 0);
        metainfo_add_member(item, 32, META_TYPE_STRING, "endTime", 0);
        metainfo_add_member(item, 40, META_TYPE_STRING, "beginTime", 0);
        metainfo_add_member(taskList, kListStatus, META_TYPE_INT32, "status", 0);
        metainfo_add_member(taskList, 40, META_TYPE_STRING, "channelSn", 0);
        metainfo_add_member(taskList, kListId, META_TYPE_INT64, "id", 0);
        metainfo_add_member(taskList, kListChannelCode, META_TYPE_STRING, "channelCode", 0);

        id = metainfo_create(8);
        metainfo_add_member(id, 0, META_TYPE_INT64, "id", 0);
        channelCode = metainfo_create(8);
        metainfo_add_member(channelCode, 0, META_TYPE_STRING, "channelCode", 0);
        type = metainfo_create(4);
        metainfo_add_member(type, 0, META_TYPE_INT32, "type", 0);
        empty = metainfo_create(8);
        metainfo_add_member(empty, 0, META_TYPE_BOOL, "hasFieldOf_nouse", 0);
        metainfo_add_member(empty, 4, META_TYPE_INT32, "_nouse", 0);
    }
    ~Messages() {
        for (Datahub::MetaInfo* d : {task, taskList, id, channelCode, type, empty}) Datahub::metainfo_destroy(d);
    }
};

class ServerTest : public ::testing::Test {
protected:
    static constexpr int kSession = 42;

    void SetUp() override {
        ASSERT_TRUE(server.Start());
        server.AddSession(kSession);
        Datahub::Host::SetServerAddress("127.0.0.1", server.Port());
        Datahub::Host::SetConnectionPoolLimits(4, std::chrono::seconds(30));
        Datahub::Host::ResetPassThroughStatistics();
    }
    void TearDown() override {
        Datahub::Host::ClearServerAddress();
        server.Stop();
    }

    // A DELETE of a task id: the smallest complete exchange.
    int Delete(std::int64_t id, ResponseObject& response, int session = kSession, int timeout = 10) {
        RequestObject request("DELETE", "/psib/ptz/presetTask/", messages.empty, 8, messages.id, 8);
        Write<std::int64_t>(request.Path(), 0, id);
        request.Build();
        return Datahub::DataPassThroughJson(session, nullptr, request.get(), response.get(), timeout, 0);
    }
    int Delete(std::int64_t id, int session = kSession, int timeout = 10) {
        ResponseObject response(messages.empty, 8);
        return Delete(id, response, session, timeout);
    }

    Messages messages;
    mgmt::Server server;
};

}  // namespace resttest
