#pragma once
// One client connection: reads requests one after the other (keep-alive),
// answers each as the ServerCore decides, misbehaving when a fault says so.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

#include "server_core.h"

namespace mgmt {

class HttpSession;

// The open connections, so that the server can close them.
class ConnectionRegistry {
public:
    std::uint64_t Add(const std::weak_ptr<HttpSession>& session);
    void Remove(std::uint64_t id);
    // Closes the connections (only those waiting for a request when
    // `onlyIdle`) and waits until that is done.
    void CloseAll(bool onlyIdle);

private:
    std::mutex m_mutex;
    std::uint64_t m_next = 1;
    std::map<std::uint64_t, std::weak_ptr<HttpSession>> m_sessions;
};

class HttpSession : public std::enable_shared_from_this<HttpSession> {
public:
    // `socket` must have a strand as its executor.
    HttpSession(boost::asio::ip::tcp::socket socket, ServerCore& core, ConnectionRegistry& registry);
    ~HttpSession();

    void Start();
    // Closes the connection on its strand (when `onlyIfIdle`: only if it is
    // waiting for a request, or has an answer on its way after which it
    // would wait: then once that answer is out), then calls `done` there.
    void Close(bool onlyIfIdle, std::function<void()> done);

private:
    void ReadRequest();
    void OnRead(const boost::beast::error_code& ec);
    void Perform();
    void WriteAnswer(unsigned status, std::string body);
    void WriteRawAndClose(std::string bytes);
    void LingeringClose();
    void DiscardInput();
    void Shutdown();

    boost::beast::tcp_stream m_stream;
    boost::beast::flat_buffer m_buffer;
    std::optional<boost::beast::http::request_parser<boost::beast::http::string_body>> m_parser;
    boost::asio::steady_timer m_delay;
    boost::beast::http::response<boost::beast::http::string_body> m_answer;
    std::string m_raw;
    Decision m_decision;
    ServerCore& m_core;
    ConnectionRegistry& m_registry;
    std::uint64_t m_id = 0;
    bool m_keepAlive = false;
    bool m_waiting = false;
    bool m_answering = false;
    // A close asked for while a kept-alive answer was being written.
    std::function<void()> m_closeWhenAnswered;
};

}  // namespace mgmt
