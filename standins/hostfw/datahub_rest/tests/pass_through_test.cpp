// DataPassThroughJson against the stand-in management server on loopback:
// what it tells of a call, what it refuses to send, and its kept-alive
// connections: reuse, and the retry of one the server closed.
#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "datahub/head_param_list.h"
#include "datahub/rest.h"
#include "hostfw/rest_host.h"
#include "mgmt_server/server.h"
#include "rest_objects.h"

namespace {

using namespace Datahub;
using namespace resttest;

class PassThroughTest : public ::testing::Test {
protected:
    static constexpr int kSession = 42;
    // The pass-through's statistics: calls, connections opened, connections reused, stale retries.
    using Counts = std::array<std::uint64_t, 4>;

    void SetUp() override {
        ASSERT_TRUE(server.Start());
        server.AddSession(kSession);
        Host::SetServerAddress("127.0.0.1", server.Port());
        Host::SetConnectionPoolLimits(4, std::chrono::seconds(30));
        Host::ResetPassThroughStatistics();
    }
    void TearDown() override {
        Host::ClearServerAddress();
        server.Stop();
    }

    // A DELETE of a task id: the smallest complete exchange.
    int Delete(std::int64_t id, ResponseObject& response) {
        RequestObject request("DELETE", "/psib/ptz/presetTask/", emptyBody.get(), idBody.get());
        Write<std::int64_t>(request.Path(), 0, id);
        request.Build();
        return DataPassThroughJson(kSession, nullptr, request.get(), response.get(), 10, 0);
    }
    int Delete(std::int64_t id) {
        ResponseObject response(emptyBody.get());
        return Delete(id, response);
    }
    static Counts Stats() {
        const auto s = Host::GetPassThroughStatistics();
        return {s.calls, s.connectionsOpened, s.connectionsReused, s.staleRetries};
    }

    Descriptor idBody = OneMember(META_TYPE_INT64, "id");  // {"id": int64}
    Descriptor emptyBody = EmptyBody();
    mgmt::Server server;
};
using ConnectionReuseTest = PassThroughTest;

// "data" reaches slot 8 as the server spelled it, and the parse that
// follows reads the same value, on the calling thread or any other.
TEST_F(PassThroughTest, DataSlotKeepsTheServersTextAndParsesAnywhere) {
    mgmt::Fault spaced;
    spaced.dataJson = "{ \"note\" : \"}],\\\"{\" ,\n \"id\" : 77 , \"more\": [ {\"x\": [1, {}]} ] }";
    server.InjectFault(spaced);
    ResponseObject response(idBody.get());
    ASSERT_EQ(0, Delete(1, response));
    EXPECT_STREQ(spaced.dataJson->c_str(), response->dataJson);
    ASSERT_EQ(0, response.Parse());
    EXPECT_EQ(77, Read<std::int64_t>(response.Body(), 0));

    // Parsed again after another call on this thread, and on a thread that
    // made no call: the value comes from the text, not from the last call.
    ASSERT_EQ(0, Delete(1));
    ASSERT_EQ(0, response.Parse());
    EXPECT_EQ(77, Read<std::int64_t>(response.Body(), 0));
    std::thread([&] {
        EXPECT_EQ(0, response.Parse());
        EXPECT_EQ(77, Read<std::int64_t>(response.Body(), 0));
    }).join();

    // An escaped key inside "data" reads as the key it spells.
    mgmt::Fault escaped;
    escaped.dataJson = "{\"i\\u0064\": 5}";
    server.InjectFault(escaped);
    ASSERT_EQ(0, Delete(1, response));
    ASSERT_EQ(0, response.Parse());
    EXPECT_EQ(5, Read<std::int64_t>(response.Body(), 0));
}

// Besides its code, a failed call tells what it can in the response slots.
// (The codes of every fault: the server-fault tests.)
TEST_F(PassThroughTest, FailedCallsFillTheSlotsTheyCan) {
    mgmt::Fault fault;
    fault.kind = mgmt::Fault::Kind::BrokenBody;
    server.InjectFault(fault);
    ResponseObject response(emptyBody.get());
    EXPECT_EQ(PASS_THROUGH_BAD_ENVELOPE, Delete(1, response));
    EXPECT_EQ(200, response->http_code) << "the status is still told";
    EXPECT_NE(nullptr, response->rawBody);
    EXPECT_NE(nullptr, response->failure);

    server.StopListening();
    ResponseObject refused(emptyBody.get());
    EXPECT_EQ(PASS_THROUGH_CONNECT_FAILED, Delete(1, refused));
    EXPECT_NE(nullptr, refused->failure);
    Host::ClearServerAddress();
    EXPECT_EQ(PASS_THROUGH_NO_SERVER, Delete(1));
}

TEST_F(PassThroughTest, RefusesWhatItCannotSend) {
    ResponseObject response(emptyBody.get());
    const auto send = [&](RequestObject* request, CHeadParamList* headers = nullptr) {
        return DataPassThroughJson(kSession, headers, request ? request->get() : nullptr, response.get(), 10, 0);
    };
    RequestObject fine("DELETE", "/psib/ptz/presetTask/1", emptyBody.get());
    EXPECT_EQ(PASS_THROUGH_INVALID_ARGUMENT, DataPassThroughJson(kSession, nullptr, fine.get(), nullptr, 10, 0));
    EXPECT_EQ(PASS_THROUGH_INVALID_ARGUMENT, send(nullptr));
    RequestObject fetch("FETCH", "/psib/ptz/presetTask/1", emptyBody.get());
    EXPECT_EQ(PASS_THROUGH_INVALID_ARGUMENT, send(&fetch));
    RequestObject spaced("DELETE", "/psib/ptz/presetTask/1 HTTP/1.0", emptyBody.get());
    EXPECT_EQ(PASS_THROUGH_INVALID_ARGUMENT, send(&spaced));

    CHeadParamList injected;
    injected.SetParam("X-Operate-Name", "a\r\nX-Session-Id: 1");
    EXPECT_EQ(PASS_THROUGH_INVALID_ARGUMENT, send(&fine, &injected));
    CHeadParamList framing;
    framing.SetParam("Content-Length", "5");
    EXPECT_EQ(PASS_THROUGH_INVALID_ARGUMENT, send(&fine, &framing));
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(ConnectionReuseTest, SequentialCallsShareOneConnection) {
    for (int i = 0; i < 5; ++i) ASSERT_EQ(0, Delete(i));
    EXPECT_EQ(1u, server.AcceptedConnections());
    EXPECT_EQ((Counts{5, 1, 4, 0}), Stats());
    EXPECT_EQ(1u, Host::IdleConnectionCount());

    // Without reuse every call has its own connection.
    Host::SetConnectionPoolLimits(0, std::chrono::seconds(30));
    EXPECT_EQ(0u, Host::IdleConnectionCount());
    ASSERT_EQ(0, Delete(1));
    ASSERT_EQ(0, Delete(1));
    EXPECT_EQ(3u, server.AcceptedConnections());
}

// A kept-alive connection the server closed is replaced, whether found
// closed while idle or dropped as a DELETE arrives; that DELETE is sent
// once more. A request lost on a fresh connection, or a POST the server
// read, is not: the server may have acted on it. (Two drops in a row on a
// kept-alive connection: the server-fault tests.)
TEST_F(ConnectionReuseTest, DroppedConnectionsAreReplacedAndOnlyAStaleDeleteIsSentAgain) {
    const auto post = [this] {
        RequestObject request("POST", "/psib/ptz/presetTask", emptyBody.get());
        request.Build();
        ResponseObject response(idBody.get());
        return DataPassThroughJson(kSession, nullptr, request.get(), response.get(), 10, 0);
    };
    ASSERT_EQ(0, Delete(1));
    server.CloseIdleConnections();
    ResponseObject replaced(emptyBody.get());
    ASSERT_EQ(0, Delete(1, replaced));
    EXPECT_EQ(mgmt::kCodeNotFound, replaced->api_code);
    EXPECT_EQ(2u, server.AcceptedConnections());
    EXPECT_EQ(0u, Host::GetPassThroughStatistics().staleRetries);

    mgmt::Fault drop;
    drop.kind = mgmt::Fault::Kind::CloseWithoutAnswer;
    server.InjectFault(drop);
    ResponseObject retried(emptyBody.get());
    ASSERT_EQ(0, Delete(1, retried)) << retried->failure;
    EXPECT_EQ(mgmt::kCodeNotFound, retried->api_code);
    EXPECT_EQ(1u, Host::GetPassThroughStatistics().staleRetries);
    EXPECT_EQ(3u, server.AcceptedConnections());
    EXPECT_EQ(4u, server.Requests().size());

    Host::DropIdleConnections();
    server.InjectFault(drop);
    EXPECT_EQ(PASS_THROUGH_CONNECTION_LOST, Delete(1));
    ASSERT_EQ(0, Delete(1));
    drop.method = "POST";
    server.InjectFault(drop);
    EXPECT_EQ(PASS_THROUGH_CONNECTION_LOST, post());
    EXPECT_EQ(1u, Host::GetPassThroughStatistics().staleRetries);
    EXPECT_EQ(5u, server.AcceptedConnections());
    EXPECT_EQ(0, post()) << "on a fresh connection";
    EXPECT_EQ(6u, server.AcceptedConnections());
}

TEST_F(ConnectionReuseTest, ConnectionsStayWithTheThreadThatOpenedThem) {
    ASSERT_EQ(0, Delete(1));
    // Another thread does not get this thread's idle connection: it opens its
    // own and keeps it, then reuses it on its next call.
    std::thread other([this] {
        EXPECT_EQ(0, Delete(1));
        EXPECT_EQ(0, Delete(1));
    });
    other.join();
    EXPECT_EQ(2u, server.AcceptedConnections());
    EXPECT_EQ((Counts{3, 2, 1, 0}), Stats());
    // The ended thread's connection went with it; this thread's stayed.
    EXPECT_EQ(1u, Host::IdleConnectionCount());
    ASSERT_EQ(0, Delete(1));
    EXPECT_EQ(2u, server.AcceptedConnections());

    // The limit counts every thread's idle connections together.
    Host::SetConnectionPoolLimits(1, std::chrono::seconds(30));
    std::thread third([this] { EXPECT_EQ(0, Delete(1)); });
    third.join();
    EXPECT_EQ(1u, Host::IdleConnectionCount());
    Host::DropIdleConnections();
    EXPECT_EQ(0u, Host::IdleConnectionCount());
    ASSERT_EQ(0, Delete(1));
    EXPECT_EQ(4u, server.AcceptedConnections());
    EXPECT_EQ((Counts{6, 4, 2, 0}), Stats());
}

}  // namespace
