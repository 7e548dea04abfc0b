// Kept-alive connections: reuse, and the retry of one the server closed.
#include <gtest/gtest.h>

#include <thread>

#include "server_fixture.h"

namespace {

using namespace Datahub;
using namespace resttest;
using ConnectionReuseTest = ServerTest;

TEST_F(ConnectionReuseTest, SequentialCallsShareOneConnection) {
    for (int i = 0; i < 5; ++i) ASSERT_EQ(0, Delete(i));
    EXPECT_EQ(1u, server.AcceptedConnections());
    const auto stats = Host::GetPassThroughStatistics();
    EXPECT_EQ(5u, stats.calls);
    EXPECT_EQ(1u, stats.connectionsOpened);
    EXPECT_EQ(4u, stats.connectionsReused);
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
        RequestObject request("POST", "/psib/ptz/presetTask", messages.empty, 8);
        request.Build();
        ResponseObject response(messages.id, 8);
        return Datahub::DataPassThroughJson(kSession, nullptr, request.get(), response.get(), 10, 0);
    };
    ASSERT_EQ(0, Delete(1));
    server.CloseIdleConnections();
    ResponseObject replaced(messages.empty, 8);
    ASSERT_EQ(0, Delete(1, replaced));
    EXPECT_EQ(mgmt::kCodeNotFound, replaced->api_code);
    EXPECT_EQ(2u, server.AcceptedConnections());
    EXPECT_EQ(0u, Host::GetPassThroughStatistics().staleRetries);

    mgmt::Fault drop;
    drop.kind = mgmt::Fault::Kind::CloseWithoutAnswer;
    server.InjectFault(drop);
    ResponseObject retried(messages.empty, 8);
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
    auto stats = Host::GetPassThroughStatistics();
    EXPECT_EQ(2u, stats.connectionsOpened);
    EXPECT_EQ(1u, stats.connectionsReused);
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
    stats = Host::GetPassThroughStatistics();
    EXPECT_EQ(4u, stats.connectionsOpened);
    EXPECT_EQ(0u, stats.staleRetries);
}

}  // namespace
