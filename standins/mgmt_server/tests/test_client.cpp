#include "test_client.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>
#include <boost/json/parse.hpp>

namespace mgmttest {

namespace asio = boost::asio;
namespace http = boost::beast::http;

TestClient::TestClient(unsigned short port) : m_socket(m_io) {
    boost::system::error_code ec;
    m_socket.connect({asio::ip::make_address("127.0.0.1"), port}, ec);
    m_connected = !ec;
}

std::optional<Answer> TestClient::Send(http::verb method, const std::string& target, const std::string& body,
                                       int session, bool keepAlive) {
    http::request<http::string_body> request(method, target, 11);
    request.set(http::field::host, "127.0.0.1");
    if (session >= 0) request.set("X-Session-Id", std::to_string(session));
    request.keep_alive(keepAlive);
    if (!body.empty()) {
        request.set(http::field::content_type, "application/json");
        request.body() = body;
    }
    request.prepare_payload();
    boost::system::error_code ec;
    http::write(m_socket, request, ec);
    if (ec) return std::nullopt;
    return Read();
}

std::optional<Answer> TestClient::SendRaw(const std::string& bytes) {
    boost::system::error_code ec;
    asio::write(m_socket, asio::buffer(bytes), ec);
    if (ec) return std::nullopt;
    return Read();
}

std::optional<Answer> TestClient::Read() {
    boost::beast::flat_buffer buffer;
    Answer answer;
    boost::system::error_code ec;
    http::read(m_socket, buffer, answer, ec);
    if (ec) return std::nullopt;
    return answer;
}

boost::json::value Envelope(const Answer& answer) {
    boost::system::error_code ec;
    boost::json::value v = boost::json::parse(answer.body(), ec);
    return ec ? boost::json::value() : v;
}

int Code(const Answer& answer) {
    const boost::json::value v = Envelope(answer);
    if (!v.is_object() || !v.as_object().contains("code")) return -1;
    return static_cast<int>(v.as_object().at("code").as_int64());
}

}  // namespace mgmttest
