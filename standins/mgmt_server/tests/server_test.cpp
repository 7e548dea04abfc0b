// The stand-in management server, spoken to over plain HTTP.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/http/write.hpp>
#include <boost/json/parse.hpp>

#include "mgmt_server/server.h"

namespace {

namespace asio = boost::asio;
namespace http = boost::beast::http;
using http::verb;
using Answer = http::response<http::string_body>;

// A plain blocking HTTP client on one connection, to talk to the server the
// way any client would. It connects at once; a call gives nothing when the
// connection broke.
class TestClient {
public:
    explicit TestClient(unsigned short port) : m_socket(m_io) {
        boost::system::error_code ec;
        m_socket.connect({asio::ip::make_address("127.0.0.1"), port}, ec);
        m_connected = !ec;
    }
    bool Connected() const { return m_connected; }

    // `session` < 0 sends no session header.
    std::optional<Answer> Send(verb method, const std::string& target, const std::string& body = "", int session = 42) {
        http::request<http::string_body> request(method, target, 11);
        request.set(http::field::host, "127.0.0.1");
        if (session >= 0) request.set("X-Session-Id", std::to_string(session));
        if (!body.empty()) {
            request.set(http::field::content_type, "application/json");
            request.body() = body;
        }
        request.prepare_payload();
        boost::system::error_code ec;
        http::write(m_socket, request, ec);
        return ec ? std::nullopt : Read();
    }
    std::optional<Answer> SendRaw(const std::string& bytes) {
        boost::system::error_code ec;
        asio::write(m_socket, asio::buffer(bytes), ec);
        return ec ? std::nullopt : Read();
    }

private:
    std::optional<Answer> Read() {
        boost::beast::flat_buffer buffer;
        Answer answer;
        boost::system::error_code ec;
        http::read(m_socket, buffer, answer, ec);
        return ec ? std::nullopt : std::optional<Answer>(std::move(answer));
    }

    asio::io_context m_io;
    asio::ip::tcp::socket m_socket;
    bool m_connected = false;
};

// The answer's envelope (an answer that is none throws, failing the test), and its code.
boost::json::object Envelope(const Answer& answer) { return boost::json::parse(answer.body()).as_object(); }
int Code(const Answer& answer) { return static_cast<int>(Envelope(answer).at("code").as_int64()); }

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start());
        server.AddSession(42);
    }
    mgmt::Server server;
};

TEST_F(ServerTest, AnswersFaultyRequestsWithEnvelopes) {
    TestClient client(server.Port());
    // method, target, body, session, status, code
    const std::tuple<verb, std::string, std::string, int, unsigned, int> cases[] = {
        {verb::get, "/psib/ptz/presetTask/c", "", -1, 401, mgmt::kCodeInvalidSession},
        {verb::get, "/psib/ptz/presetTask/c", "", 43, 401, mgmt::kCodeInvalidSession},
        {verb::get, "/psib/ptz/presetTask/c?type=x", "", 42, 400, mgmt::kCodeBadRequest},
        {verb::get, "/psib/ptz/other", "", 42, 404, mgmt::kCodeNoSuchRoute},
        {verb::put, "/psib/ptz/presetTask", "{}", 42, 404, mgmt::kCodeNoSuchRoute},
        {verb::post, "/psib/ptz/presetTask", "{\"channelCode\":", 42, 400, mgmt::kCodeBadRequest},
        {verb::post, "/psib/ptz/presetTask", "{\"status\":1}", 42, 400, mgmt::kCodeBadRequest},
        {verb::post, "/psib/ptz/presetTask", R"({"channelCode":"c","configList":[3]})", 42, 400, mgmt::kCodeBadRequest},
        {verb::delete_, "/psib/ptz/presetTask/12x", "", 42, 400, mgmt::kCodeBadRequest},
        {verb::put, "/videoService/ptz/idleMotion/channels/c%201", R"({"enable":false,"index":"3"})", 42, 400,
         mgmt::kCodeBadRequest},
    };
    for (const auto& [method, target, body, session, status, code] : cases) {
        auto answer = client.Send(method, target, body, session);
        ASSERT_TRUE(answer) << target;
        EXPECT_EQ(status, answer->result_int()) << target << " " << body;
        EXPECT_EQ(code, Code(*answer)) << target << " " << body;
        EXPECT_TRUE(Envelope(*answer).at("message").is_string());
    }
    EXPECT_EQ(std::size(cases), server.Requests().size());
    EXPECT_FALSE(server.GetStore().IdleMotionOf("c 1")) << "a refused body changes nothing";

    const std::string big = R"({"channelCode":")" + std::string(2u << 20, 'a') + "\"}";
    EXPECT_EQ(413u, client.Send(verb::post, "/psib/ptz/presetTask", big).value().result_int());
    EXPECT_EQ(400u, TestClient(server.Port()).SendRaw("NOT HTTP AT ALL\r\n\r\n").value().result_int());
}

TEST_F(ServerTest, SessionsFollowTheConfiguredRule) {
    TestClient client(server.Port());
    auto code = [&](int session) { return Code(*client.Send(verb::get, "/psib/ptz/presetTask/c", "", session)); };
    EXPECT_EQ(mgmt::kCodeInvalidSession, code(7));
    server.SetAcceptAllPositiveSessions(true);
    EXPECT_EQ(mgmt::kCodeSuccess, code(7));
    EXPECT_EQ(mgmt::kCodeInvalidSession, code(0));
    server.SetSessionValidator([](int id) { return id == 77; });
    EXPECT_EQ(mgmt::kCodeInvalidSession, code(42));
    EXPECT_EQ(mgmt::kCodeSuccess, code(77));
    server.SetSessionValidator(nullptr);
    server.SetAcceptAllPositiveSessions(false);
    server.RemoveSession(42);
    EXPECT_EQ(mgmt::kCodeInvalidSession, code(42));
}

// A fault waits for a request of its route and then answers in its place.
// (Its status, code, message, data and count as a client sees them: the
// server-fault and REST call tests.)
TEST_F(ServerTest, FaultsWaitForTheirRouteAndServeNothing) {
    mgmt::Fault fault;
    fault.method = "PUT";
    fault.path = "/videoService/devices/restart/";
    fault.httpStatus = 503;
    server.InjectFault(fault);
    TestClient client(server.Port());
    EXPECT_EQ(mgmt::kCodeSuccess, Code(*client.Send(verb::get, "/psib/ptz/presetTask/c")));
    EXPECT_EQ(1u, server.PendingFaults());
    EXPECT_EQ(503u, client.Send(verb::put, "/videoService/devices/restart/d").value().result_int());
    EXPECT_TRUE(server.GetStore().RestartedDevices().empty()) << "an injected answer serves nothing";
    EXPECT_EQ(0u, server.PendingFaults());

    fault = mgmt::Fault();
    fault.dataJson = R"({"id":"x"})";
    server.InjectFault(fault);
    EXPECT_EQ(R"({"code":1000,"message":"injected fault","data":{"id":"x"}})",
              client.Send(verb::get, "/any").value().body());
}

// Stopping the listener closes the open connections too; a stopped server
// starts again on its port. (Listening again: the server-fault tests.)
TEST_F(ServerTest, StopListeningClosesConnectionsAndARestartKeepsThePort) {
    TestClient before(server.Port());
    ASSERT_TRUE(before.Connected());
    server.StopListening();
    EXPECT_FALSE(before.Send(verb::get, "/psib/ptz/presetTask/c"));
    EXPECT_FALSE(TestClient(server.Port()).Connected());

    const unsigned short port = server.Port();
    server.Stop();
    EXPECT_FALSE(server.IsRunning());
    ASSERT_TRUE(server.Start());
    EXPECT_EQ(port, server.Port());
    EXPECT_EQ(mgmt::kCodeSuccess, Code(*TestClient(port).Send(verb::get, "/psib/ptz/presetTask/c")));
}

}  // namespace
