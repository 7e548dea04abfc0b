#include "http_exchange.h"

#include <unistd.h>

#include <memory>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/error.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>

#include "connection_pool.h"
#include "datahub/rest.h"

namespace Datahub {
namespace detail {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

// The I/O context of the calling thread, made on its first exchange. A
// context made and destroyed for every call (an epoll instance, an eventfd
// and a timer fd, each opened, registered and closed) cost about as much as
// a kept-alive exchange's own work. Every exchange runs its operations to
// their end before it returns, so nothing is left in the context between
// calls; after an exception it is dropped with whatever it still held.
std::unique_ptr<asio::io_context>& ThreadContextSlot() {
    thread_local std::unique_ptr<asio::io_context> context;
    return context;
}

asio::io_context& ThreadContext() {
    std::unique_ptr<asio::io_context>& context = ThreadContextSlot();
    if (!context) context = std::make_unique<asio::io_context>(1);
    return *context;
}

bool ConnectionClosed(const beast::error_code& ec) {
    return ec == http::error::end_of_stream || ec == http::error::partial_message ||
           ec == asio::error::eof || ec == asio::error::connection_reset ||
           ec == asio::error::connection_aborted || ec == asio::error::broken_pipe;
}

class HttpExchange {
public:
    HttpExchange(const ServerAddress& server, const HttpRequest& request,
                 std::chrono::steady_clock::time_point deadline, std::size_t maxAnswerBytes)
        : m_server(server), m_request(request), m_deadline(deadline), m_maxAnswerBytes(maxAnswerBytes) {}

    ExchangeOutcome Run() {
        bool retried = false;
        for (;;) {
            beast::tcp_stream stream(m_ioc);
            const bool reused = AdoptIdle(stream);
            if (!reused && !Connect(stream)) return std::move(m_outcome);

            stream.expires_at(m_deadline);
            beast::error_code ec =
                Await([&](auto handler) { http::async_write(stream, m_request, std::move(handler)); });
            if (ec) {
                if (reused && !retried && ec != beast::error::timeout) {
                    retried = true;
                    ++Statistics().staleRetries;
                    continue;
                }
                return Fail(ec == beast::error::timeout ? PASS_THROUGH_TIMEOUT : PASS_THROUGH_CONNECTION_LOST,
                            "sending the request failed", ec);
            }

            beast::flat_buffer buffer;
            http::response_parser<http::string_body> parser;
            parser.body_limit(m_maxAnswerBytes);
            parser.skip(m_request.method() == http::verb::head);
            stream.expires_at(m_deadline);
            ec = Await([&](auto handler) { http::async_read(stream, buffer, parser, std::move(handler)); });
            if (ec) {
                if (reused && !retried && !parser.got_some() && buffer.size() == 0 &&
                    ConnectionClosed(ec)) {
                    retried = true;
                    ++Statistics().staleRetries;
                    continue;
                }
                if (ec == beast::error::timeout) return Fail(PASS_THROUGH_TIMEOUT, "no answer in time", ec);
                if (ec == http::error::body_limit)
                    return Fail(PASS_THROUGH_ANSWER_TOO_LARGE, "the answer is too large", ec);
                if (ConnectionClosed(ec))
                    return Fail(PASS_THROUGH_CONNECTION_LOST, "the connection closed before the answer was complete", ec);
                return Fail(PASS_THROUGH_BAD_ANSWER, "the answer is not valid HTTP", ec);
            }
            m_outcome.answer = parser.release();
            if (m_outcome.answer.keep_alive() && buffer.size() == 0) KeepForReuse(stream);
            return std::move(m_outcome);
        }
    }

private:
    // Runs one asynchronous operation to its end on this call's own context;
    // the stream's expiry turns a stall into beast::error::timeout.
    template <class Initiate>
    beast::error_code Await(Initiate&& initiate) {
        beast::error_code result = asio::error::operation_aborted;
        initiate([&result](beast::error_code ec, auto&&...) { result = ec; });
        m_ioc.restart();
        m_ioc.run();
        return result;
    }

    bool AdoptIdle(beast::tcp_stream& stream) {
        auto idle = ConnectionPool::Instance().Take(m_server.Key());
        if (!idle) return false;
        beast::error_code ec;
        stream.socket().assign(idle->v6 ? tcp::v6() : tcp::v4(), idle->fd, ec);
        if (ec) {
            ::close(idle->fd);
            return false;
        }
        ++Statistics().connectionsReused;
        return true;
    }

    bool Connect(beast::tcp_stream& stream) {
        if (m_endpoints.empty()) {
            tcp::resolver resolver(m_ioc);
            beast::error_code ec;
            m_endpoints = resolver.resolve(m_server.host, std::to_string(m_server.port), ec);
            if (ec || m_endpoints.empty()) {
                SetFailure(PASS_THROUGH_CONNECT_FAILED, "cannot resolve " + m_server.host, ec);
                return false;
            }
        }
        stream.expires_at(m_deadline);
        const beast::error_code ec =
            Await([&](auto handler) { stream.async_connect(m_endpoints, std::move(handler)); });
        if (ec) {
            SetFailure(ec == beast::error::timeout ? PASS_THROUGH_TIMEOUT : PASS_THROUGH_CONNECT_FAILED,
                       "cannot connect to " + m_server.Key(), ec);
            return false;
        }
        ++Statistics().connectionsOpened;
        return true;
    }

    void KeepForReuse(beast::tcp_stream& stream) {
        stream.expires_never();
        beast::error_code ec;
        const bool v6 = stream.socket().local_endpoint(ec).address().is_v6();
        if (ec) return;
        const int fd = stream.socket().release(ec);
        if (!ec) ConnectionPool::Instance().Give(m_server.Key(), fd, v6);
    }

    void SetFailure(int error, const std::string& what, const beast::error_code& ec) {
        m_outcome.error = error;
        m_outcome.failure = ec ? what + ": " + ec.message() : what;
    }

    ExchangeOutcome Fail(int error, const std::string& what, const beast::error_code& ec) {
        SetFailure(error, what, ec);
        return std::move(m_outcome);
    }

    asio::io_context& m_ioc = ThreadContext();
    const ServerAddress& m_server;
    const HttpRequest& m_request;
    const std::chrono::steady_clock::time_point m_deadline;
    const std::size_t m_maxAnswerBytes;
    tcp::resolver::results_type m_endpoints;
    ExchangeOutcome m_outcome;
};

}  // namespace

ExchangeOutcome RunExchange(const ServerAddress& server, const HttpRequest& request,
                            std::chrono::steady_clock::time_point deadline, std::size_t maxAnswerBytes) {
    try {
        return HttpExchange(server, request, deadline, maxAnswerBytes).Run();
    } catch (...) {
        ThreadContextSlot().reset();
        throw;
    }
}

}  // namespace detail
}  // namespace Datahub
