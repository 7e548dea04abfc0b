#include "http_exchange.h"

#include <array>

#include <boost/asio/buffer.hpp>
#include <boost/asio/error.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/error.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>

#include "connection_pool.h"
#include "datahub/rest.h"
#include "os.h"

namespace Datahub {
namespace detail {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using Clock = std::chrono::steady_clock;

bool ConnectionClosed(const beast::error_code& ec) {
    return ec == http::error::end_of_stream || ec == http::error::partial_message ||
           ec == asio::error::eof || ec == asio::error::connection_reset ||
           ec == asio::error::connection_aborted || ec == asio::error::broken_pipe;
}

// Waits until `fd` is ready or the deadline passes (false, with
// beast::error::timeout). A ready error or hang-up shows in the next call.
bool WaitFor(int fd, os::Ready ready, Clock::time_point deadline, beast::error_code& ec) {
    for (;;) {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) {
            ec = beast::error::timeout;
            return false;
        }
        // Rounded up, so that a wake-up never comes before the deadline.
        const int n = os::Wait(fd, ready, std::chrono::ceil<std::chrono::milliseconds>(left), ec);
        if (n > 0) return true;
        if (n < 0) return false;
    }
}

// A connected non-blocking socket as Beast's synchronous stream: each read
// or write is tried at once and waits in poll() only when the socket is not
// ready, never past the exchange's deadline. One exchange makes a send, a
// wait and a receive or two, with nothing to set up or tear down per call.
class SocketStream {
public:
    SocketStream(int fd, Clock::time_point deadline) : m_fd(fd), m_deadline(deadline) {}

    template <class Buffers>
    std::size_t read_some(const Buffers& buffers, beast::error_code& ec) {
        Vector<asio::mutable_buffer> v(buffers);
        if (v.bytes == 0) return Succeeded(ec, 0);
        // Right after a request the answer cannot be there yet: a read
        // would only fail, so the wait comes first.
        if (m_answerPending) {
            m_answerPending = false;
            if (!WaitFor(m_fd, os::Ready::Read, m_deadline, ec)) return 0;
        }
        const long n = Retry(os::Ready::Read, ec,
                             [&](beast::error_code& e) { return os::ReadSome(m_fd, v.buffers.data(), v.count, e); });
        if (n < 0) return 0;
        if (n == 0) {
            ec = asio::error::eof;
            return 0;
        }
        return Succeeded(ec, static_cast<std::size_t>(n));
    }

    template <class Buffers>
    std::size_t write_some(const Buffers& buffers, beast::error_code& ec) {
        Vector<asio::const_buffer> v(buffers);
        if (v.bytes == 0) return Succeeded(ec, 0);
        const long n = Retry(os::Ready::Write, ec,
                             [&](beast::error_code& e) { return os::WriteSome(m_fd, v.buffers.data(), v.count, e); });
        if (n < 0) return 0;
        m_answerPending = true;
        m_bytesSent += static_cast<std::size_t>(n);
        return Succeeded(ec, static_cast<std::size_t>(n));
    }

    // Bytes of the request handed to the connection so far.
    std::size_t BytesSent() const { return m_bytesSent; }

    // The throwing forms Beast's stream concepts ask for; unused here.
    template <class Buffers>
    std::size_t read_some(const Buffers& buffers) {
        beast::error_code ec;
        const std::size_t n = read_some(buffers, ec);
        if (ec) throw beast::system_error(ec);
        return n;
    }
    template <class Buffers>
    std::size_t write_some(const Buffers& buffers) {
        beast::error_code ec;
        const std::size_t n = write_some(buffers, ec);
        if (ec) throw beast::system_error(ec);
        return n;
    }

private:
    // Runs `attempt` (one read or write) until it transfers or fails for
    // good, waiting for the socket whenever it is not ready, never past the
    // deadline. The attempt's count, or -1 with ec set.
    template <class Attempt>
    long Retry(os::Ready ready, beast::error_code& ec, Attempt attempt) {
        for (;;) {
            const long n = attempt(ec);
            if (n >= 0 || ec != asio::error::would_block) return n;
            if (!WaitFor(m_fd, ready, m_deadline, ec)) return -1;
        }
    }

    // A buffer sequence as at most os::kMaxBuffers buffers; the rest
    // goes in a later call.
    template <class Buffer>
    struct Vector {
        std::array<Buffer, os::kMaxBuffers> buffers{};
        std::size_t count = 0;
        std::size_t bytes = 0;
        template <class Buffers>
        explicit Vector(const Buffers& sequence) {
            for (auto it = asio::buffer_sequence_begin(sequence); it != asio::buffer_sequence_end(sequence); ++it) {
                if (count == buffers.size()) break;
                Buffer b = *it;
                if (b.size() == 0) continue;
                buffers[count++] = b;
                bytes += b.size();
            }
        }
    };

    static std::size_t Succeeded(beast::error_code& ec, std::size_t n) {
        ec = {};
        return n;
    }

    int m_fd;
    Clock::time_point m_deadline;
    bool m_answerPending = false;
    std::size_t m_bytesSent = 0;
};

// Closes the socket unless it was handed on.
class OwnedSocket {
public:
    explicit OwnedSocket(int fd) : m_fd(fd) {}
    ~OwnedSocket() {
        if (m_fd >= 0) os::Close(m_fd);
    }
    OwnedSocket(const OwnedSocket&) = delete;
    OwnedSocket& operator=(const OwnedSocket&) = delete;
    int get() const { return m_fd; }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

// The calling thread's read buffer, kept between calls so that an exchange
// does not allocate one; a buffer grown by a large answer is given back.
// Beast reads at most the buffer's free capacity at once (512 bytes at
// first), so it starts large enough for a usual answer in one read.
beast::flat_buffer& ThreadReadBuffer() {
    constexpr std::size_t kUsualAnswer = 4 * 1024, kKeptCapacity = 64 * 1024;
    beast::flat_buffer& buffer = os::ThisThreads<beast::flat_buffer>();
    buffer.clear();
    if (buffer.capacity() > kKeptCapacity) buffer.shrink_to_fit();
    if (buffer.capacity() < kUsualAnswer) buffer.reserve(kUsualAnswer);
    return buffer;
}

class HttpExchange {
public:
    HttpExchange(const ServerAddress& server, const HttpRequest& request, Clock::time_point deadline,
                 std::size_t maxAnswerBytes)
        : m_server(server), m_key(server.Key()), m_request(request), m_deadline(deadline),
          m_maxAnswerBytes(maxAnswerBytes) {}

    ExchangeOutcome Run() {
        bool retried = false;
        for (;;) {
            int fd = ConnectionPool::Instance().Take(m_key);
            const bool reused = fd >= 0;
            if (reused) {
                ++Statistics().connectionsReused;
            } else {
                fd = Connect();
                if (fd < 0) return std::move(m_outcome);
            }
            OwnedSocket socket(fd);
            SocketStream stream(fd, m_deadline);

            beast::error_code ec;
            http::write(stream, m_request, ec);
            if (ec) {
                if (reused && !retried && ec != beast::error::timeout && MayResend(stream)) {
                    retried = true;
                    ++Statistics().staleRetries;
                    continue;
                }
                return Fail(ec == beast::error::timeout ? PASS_THROUGH_TIMEOUT : PASS_THROUGH_CONNECTION_LOST,
                            "sending the request failed", ec);
            }

            beast::flat_buffer& buffer = ThreadReadBuffer();
            http::response_parser<http::string_body> parser;
            parser.body_limit(m_maxAnswerBytes);
            parser.skip(m_request.method() == http::verb::head);
            http::read(stream, buffer, parser, ec);
            if (ec) {
                if (reused && !retried && !parser.got_some() && buffer.size() == 0 && ConnectionClosed(ec) &&
                    MayResend(stream)) {
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
            // Bytes past the answer would be taken for the next call's answer.
            if (m_outcome.answer.keep_alive() && buffer.size() == 0)
                ConnectionPool::Instance().Give(m_key, socket.Release());
            return std::move(m_outcome);
        }
    }

private:
    // Whether the request may go again on a fresh connection after the
    // kept-alive one closed under it: always when none of it was sent, and
    // for the idempotent methods. A POST the server may have read and acted
    // on is not sent twice (it would create its task twice).
    bool MayResend(const SocketStream& stream) const {
        return stream.BytesSent() == 0 || m_request.method() != http::verb::post;
    }

    // A fresh connection to the server's first address that accepts one
    // before the deadline, or -1 with the failure set. The name is resolved
    // by the system resolver, which the deadline does not bound.
    int Connect() {
        // A resolver needs an I/O context to belong to; resolving itself is
        // synchronous and never runs it. No flags: a loopback-only machine
        // still resolves its own addresses.
        static asio::io_context* const resolverContext = new asio::io_context;
        asio::ip::tcp::resolver resolver(*resolverContext);
        beast::error_code ec;
        const auto found = resolver.resolve(m_server.host, std::to_string(m_server.port),
                                            asio::ip::tcp::resolver::flags(), ec);
        if (ec || found.empty()) {
            SetFailure(PASS_THROUGH_CONNECT_FAILED,
                       "cannot resolve " + m_server.host + (ec ? ": " + ec.message() : std::string()), {});
            return -1;
        }
        ec = asio::error::host_not_found;
        int fd = -1;
        for (auto a = found.begin(); a != found.end() && fd < 0; ++a) {
            fd = ConnectTo(a->endpoint(), ec);
            if (ec == beast::error::timeout) break;
        }
        if (fd < 0) {
            SetFailure(ec == beast::error::timeout ? PASS_THROUGH_TIMEOUT : PASS_THROUGH_CONNECT_FAILED,
                       "cannot connect to " + m_key, ec);
            return -1;
        }
        ++Statistics().connectionsOpened;
        return fd;
    }

    int ConnectTo(const asio::ip::tcp::endpoint& endpoint, beast::error_code& ec) {
        bool pending = false;
        OwnedSocket socket(os::StartConnect(endpoint.data(), endpoint.size(), pending, ec));
        if (socket.get() < 0) return -1;
        if (pending) {
            if (!WaitFor(socket.get(), os::Ready::Write, m_deadline, ec)) return -1;
            if (!os::ConnectResult(socket.get(), ec)) return -1;
        }
        ec = {};
        return socket.Release();
    }

    void SetFailure(int error, const std::string& what, const beast::error_code& ec) {
        m_outcome.error = error;
        m_outcome.failure = ec ? what + ": " + ec.message() : what;
    }

    ExchangeOutcome Fail(int error, const std::string& what, const beast::error_code& ec) {
        SetFailure(error, what, ec);
        return std::move(m_outcome);
    }

    const ServerAddress& m_server;
    const std::string m_key;
    const HttpRequest& m_request;
    const Clock::time_point m_deadline;
    const std::size_t m_maxAnswerBytes;
    ExchangeOutcome m_outcome;
};

}  // namespace

ExchangeOutcome RunExchange(const ServerAddress& server, const HttpRequest& request, Clock::time_point deadline,
                            std::size_t maxAnswerBytes) {
    return HttpExchange(server, request, deadline, maxAnswerBytes).Run();
}

}  // namespace detail
}  // namespace Datahub
