#include "http_session.h"

#include <chrono>
#include <future>

#include <boost/asio/dispatch.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>

namespace mgmt {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;

constexpr auto kWriteTimeout = std::chrono::seconds(30);
constexpr auto kCloseWait = std::chrono::seconds(5);
constexpr auto kLingerTime = std::chrono::seconds(2);
constexpr const char* kContentType = "application/json;charset=UTF-8";

// The parser rejected what arrived (as opposed to the connection ending).
bool IsMalformedRequest(const beast::error_code& ec) {
    return ec && ec.category() == http::make_error_code(http::error::bad_target).category() &&
           ec != http::error::end_of_stream && ec != http::error::partial_message;
}

}  // namespace

std::uint64_t ConnectionRegistry::Add(const std::weak_ptr<HttpSession>& session) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::uint64_t id = m_next++;
    m_sessions.emplace(id, session);
    return id;
}

void ConnectionRegistry::Remove(std::uint64_t id) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sessions.erase(id);
}

void ConnectionRegistry::CloseAll(bool onlyIdle) {
    std::vector<std::shared_ptr<HttpSession>> sessions;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto& entry : m_sessions)
            if (auto s = entry.second.lock()) sessions.push_back(std::move(s));
    }
    std::vector<std::future<void>> closed;
    for (auto& s : sessions) {
        auto done = std::make_shared<std::promise<void>>();
        closed.push_back(done->get_future());
        s->Close(onlyIdle, [done] { done->set_value(); });
    }
    sessions.clear();
    // Bounded: a stopped server runs no handler any more.
    const auto until = std::chrono::steady_clock::now() + kCloseWait;
    for (auto& f : closed) f.wait_until(until);
}

HttpSession::HttpSession(asio::ip::tcp::socket socket, ServerCore& core, ConnectionRegistry& registry)
    : m_stream(std::move(socket)), m_delay(m_stream.get_executor()), m_core(core), m_registry(registry) {
    ++m_core.open;
}

HttpSession::~HttpSession() {
    if (m_id) m_registry.Remove(m_id);
    --m_core.open;
}

void HttpSession::Start() {
    m_id = m_registry.Add(weak_from_this());
    asio::dispatch(m_stream.get_executor(), [self = shared_from_this()] { self->ReadRequest(); });
}

void HttpSession::Close(bool onlyIfIdle, std::function<void()> done) {
    asio::dispatch(m_stream.get_executor(), [self = shared_from_this(), onlyIfIdle, done = std::move(done)] {
        if (onlyIfIdle && !self->m_waiting && self->m_answering && !self->m_closeWhenAnswered) {
            self->m_closeWhenAnswered = std::move(done);
            return;
        }
        if (!onlyIfIdle || self->m_waiting) self->Shutdown();
        done();
    });
}

void HttpSession::ReadRequest() {
    m_parser.emplace();
    m_parser->body_limit(m_core.Options().maxRequestBytes);
    m_stream.expires_after(m_core.Options().idleTimeout);
    m_waiting = true;
    http::async_read(m_stream, m_buffer, *m_parser,
                     [self = shared_from_this()](beast::error_code ec, std::size_t) { self->OnRead(ec); });
}

void HttpSession::OnRead(const beast::error_code& ec) {
    m_waiting = false;
    if (ec == http::error::body_limit) {
        m_core.RecordUnreadable(413, kCodeTooLarge);
        m_keepAlive = false;
        WriteAnswer(413, EnvelopeText(ErrorAnswer(413, kCodeTooLarge, "request body too large")));
        return;
    }
    if (IsMalformedRequest(ec)) {
        m_core.RecordUnreadable(400, kCodeBadRequest);
        m_keepAlive = false;
        WriteAnswer(400, EnvelopeText(ErrorAnswer(400, kCodeBadRequest, "malformed HTTP request")));
        return;
    }
    if (ec) {  // the client left, the connection idled out, or the server closes it
        Shutdown();
        return;
    }
    HttpRequest request = m_parser->release();
    m_keepAlive = request.keep_alive();
    m_decision = m_core.Decide(request);
    if (m_decision.delay.count() <= 0) {
        Perform();
        return;
    }
    m_stream.expires_never();
    m_delay.expires_after(m_decision.delay);
    m_delay.async_wait([self = shared_from_this()](beast::error_code waitError) {
        if (!waitError) self->Perform();
    });
}

void HttpSession::Perform() {
    const Answer& a = m_decision.answer;
    switch (m_decision.kind) {
        case Fault::Kind::Answer:
            WriteAnswer(a.status, EnvelopeText(a));
            return;
        case Fault::Kind::BrokenBody:
            WriteAnswer(200, "{\"code\":1000,\"message\":\"succ");
            return;
        case Fault::Kind::HugeBody: {
            Answer huge = a;
            huge.message.assign(m_decision.hugeBytes, 'x');
            WriteAnswer(200, EnvelopeText(huge));
            return;
        }
        case Fault::Kind::CloseMidAnswer:
            WriteRawAndClose(std::string("HTTP/1.1 200 OK\r\nContent-Type: ") + kContentType +
                             "\r\nContent-Length: 200\r\n\r\n{\"code\":1000,\"mess");
            return;
        case Fault::Kind::CloseWithoutAnswer:
            Shutdown();
            return;
    }
}

void HttpSession::WriteAnswer(unsigned status, std::string body) {
    m_answer = {};
    m_answer.version(11);
    m_answer.result(status);
    m_answer.set(http::field::server, "kestrel-mgmt-server");
    m_answer.set(http::field::content_type, kContentType);
    m_answer.keep_alive(m_keepAlive);
    m_answer.body() = std::move(body);
    m_answer.prepare_payload();
    m_stream.expires_after(kWriteTimeout);
    m_answering = true;
    http::async_write(m_stream, m_answer, [self = shared_from_this()](beast::error_code ec, std::size_t) {
        self->m_answering = false;
        if (self->m_closeWhenAnswered) {
            auto done = std::move(self->m_closeWhenAnswered);
            self->m_closeWhenAnswered = nullptr;
            self->Shutdown();
            done();
            return;
        }
        if (ec) {
            self->Shutdown();
        } else if (!self->m_keepAlive) {
            self->LingeringClose();
        } else {
            self->ReadRequest();
        }
    });
}

void HttpSession::WriteRawAndClose(std::string bytes) {
    m_raw = std::move(bytes);
    m_stream.expires_after(kWriteTimeout);
    asio::async_write(m_stream, asio::buffer(m_raw),
                      [self = shared_from_this()](beast::error_code, std::size_t) { self->Shutdown(); });
}

void HttpSession::LingeringClose() {
    // Closing with unread request bytes would reset the connection and could
    // destroy the answer before the client read it: finish sending, then
    // drop what the client still sends until it closes.
    beast::error_code ignored;
    m_stream.socket().shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
    m_stream.expires_after(kLingerTime);
    DiscardInput();
}

void HttpSession::DiscardInput() {
    m_raw.resize(64 * 1024);
    m_stream.async_read_some(asio::buffer(m_raw), [self = shared_from_this()](beast::error_code ec, std::size_t) {
        if (ec) {
            self->Shutdown();
            return;
        }
        self->DiscardInput();
    });
}

void HttpSession::Shutdown() {
    beast::error_code ignored;
    m_delay.cancel();
    // Cancelled before it closes: with completion ports a send blocked on a
    // peer that stopped reading may otherwise never end, and the I/O context
    // waits for every started operation when it is destroyed.
    m_stream.socket().cancel(ignored);
    m_stream.socket().shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    m_stream.close();
}

}  // namespace mgmt
