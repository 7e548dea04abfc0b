#pragma once
// A plain blocking HTTP client on one connection, to talk to the server the
// way any client would.
#include <optional>
#include <string>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/http/verb.hpp>
#include <boost/json/value.hpp>

namespace mgmttest {

using Answer = boost::beast::http::response<boost::beast::http::string_body>;

class TestClient {
public:
    // Connects at once; Connected() tells whether that worked.
    explicit TestClient(unsigned short port);
    bool Connected() const { return m_connected; }

    // Sends one request and reads its answer; nothing when the connection
    // broke. `session` < 0 sends no session header.
    std::optional<Answer> Send(boost::beast::http::verb method, const std::string& target,
                               const std::string& body = "", int session = 42, bool keepAlive = true);
    // Sends raw bytes and reads an answer.
    std::optional<Answer> SendRaw(const std::string& bytes);

private:
    std::optional<Answer> Read();

    boost::asio::io_context m_io;
    boost::asio::ip::tcp::socket m_socket;
    bool m_connected = false;
};

// The answer's envelope.
boost::json::value Envelope(const Answer& answer);
int Code(const Answer& answer);

}  // namespace mgmttest
