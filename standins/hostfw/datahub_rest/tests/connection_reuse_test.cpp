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

TEST_F(ConnectionReuseTest, ConnectionClosedWhileIdleIsReplaced) {
    ASSERT_EQ(0, Delete(1));
    server.CloseIdleConnections();
    ResponseObject response(messages.empty, 8);
    ASSERT_EQ(0, Delete(1, response));
    EXPECT_EQ(mgmt::kCodeNotFound, response->api_code);
    EXPECT_EQ(2u, server.AcceptedConnections());
}

TEST_F(ConnectionReuseTest, ConnectionDroppedAsTheRequestArrivesIsRetriedOnce) {
    ASSERT_EQ(0, Delete(1));
    mgmt::Fault drop;
    drop.kind = mgmt::Fault::Kind::CloseWithoutAnswer;
    server.InjectFault(drop);
    ResponseObject response(messages.empty, 8);
    ASSERT_EQ(0, Delete(1, response)) << response->failure;
    EXPECT_EQ(mgmt::kCodeNotFound, response->api_code);
    EXPECT_EQ(1u, Host::GetPassThroughStatistics().staleRetries);
    EXPECT_EQ(2u, server.AcceptedConnections());
    EXPECT_EQ(3u, server.Requests().size());

    // Only once: a second drop right after the first is the call's failure.
    drop.count = 2;
    server.InjectFault(drop);
    EXPECT_EQ(PASS_THROUGH_CONNECTION_LOST, Delete(1));
    EXPECT_EQ(2u, Host::GetPassThroughStatistics().staleRetries);

    // A fresh connection is never retried: the request may have been served.
    Host::DropIdleConnections();
    server.InjectFault(drop);
    EXPECT_EQ(PASS_THROUGH_CONNECTION_LOST, Delete(1));
    EXPECT_EQ(2u, Host::GetPassThroughStatistics().staleRetries);
    server.ClearFaults();
    EXPECT_EQ(0, Delete(1));
}

// A POST that the server read before it dropped the kept-alive connection
// is not sent again: the server may have acted on it.
TEST_F(ConnectionReuseTest, PostReadBeforeTheConnectionDroppedIsNotSentAgain) {
    const auto post = [this] {
        RequestObject request("POST", "/psib/ptz/presetTask", messages.empty, 8);
        request.Build();
        ResponseObject response(messages.id, 8);
        return Datahub::DataPassThroughJson(kSession, nullptr, request.get(), response.get(), 10, 0);
    };
    ASSERT_EQ(0, Delete(1));
    mgmt::Fault drop;
    drop.kind = mgmt::Fault::Kind::CloseWithoutAnswer;
    drop.method = "POST";
    server.InjectFault(drop);
    EXPECT_EQ(PASS_THROUGH_CONNECTION_LOST, post());
    EXPECT_EQ(0u, Host::GetPassThroughStatistics().staleRetries);
    EXPECT_EQ(2u, server.Requests().size());
    EXPECT_EQ(1u, server.AcceptedConnections());

    // The next one goes on a fresh connection and is answered.
    EXPECT_EQ(0, post());
    EXPECT_EQ(3u, server.Requests().size());
    EXPECT_EQ(2u, server.AcceptedConnections());
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
