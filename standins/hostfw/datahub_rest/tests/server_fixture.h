#pragma once
// A management server on loopback with the pass-through pointed at it, and
// the small messages the pass-through tests exchange.
#include <gtest/gtest.h>

#include "datahub/head_param_list.h"
#include "datahub/rest.h"
#include "hostfw/rest_host.h"
#include "mgmt_server/server.h"
#include "rest_objects.h"

namespace resttest {

struct Messages {
    Descriptor idDesc = OneMember(Datahub::META_TYPE_INT64, "id");
    Descriptor emptyDesc = EmptyBody();
    Datahub::MetaInfo* id = idDesc.get();  // {"id": int64}
    Datahub::MetaInfo* empty = emptyDesc.get();
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
