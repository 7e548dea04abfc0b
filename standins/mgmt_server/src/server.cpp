// The server's lifecycle: its I/O threads, the listening socket, and the
// handle's forwarding to the shared state.
#include "mgmt_server/server.h"

#include <chrono>
#include <future>
#include <optional>
#include <thread>

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/strand.hpp>

#include "http_session.h"
#include "server_core.h"

namespace mgmt {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

struct Server::Impl {
    explicit Impl(const ServerOptions& options) : core(options), port(options.port) {}

    // Opens the listening socket; runs before the threads start or on the
    // acceptor's strand.
    bool Listen() {
        boost::system::error_code ec;
        const auto address = asio::ip::make_address(core.Options().address, ec);
        if (ec) return false;
        acceptor = std::make_unique<tcp::acceptor>(*acceptStrand);
        const tcp::endpoint endpoint(address, port);
        acceptor->open(endpoint.protocol(), ec);
        if (!ec) acceptor->set_option(asio::socket_base::reuse_address(true), ec);
        if (!ec) acceptor->bind(endpoint, ec);
        if (!ec) acceptor->listen(asio::socket_base::max_listen_connections, ec);
        if (ec) {
            acceptor.reset();
            return false;
        }
        port = acceptor->local_endpoint().port();
        Accept();
        return true;
    }

    void Accept() {
        acceptor->async_accept(asio::make_strand(*io), [this](boost::system::error_code ec, tcp::socket socket) {
            if (ec) {
                if (acceptor && acceptor->is_open() && ec != asio::error::operation_aborted) Accept();
                return;
            }
            // A connection accepted just before listening stopped is not
            // served: StopListening promises that nothing stays open.
            if (!acceptor || !acceptor->is_open()) return;
            ++core.accepted;
            std::make_shared<HttpSession>(std::move(socket), core, registry)->Start();
            Accept();
        });
    }

    // A closed listening socket may take a moment to stop taking connections
    // (under Wine it listens until its pending accept has been cancelled);
    // refusing is promised when StopListening returns, so it is waited for.
    void WaitUntilRefused() {
        boost::system::error_code ec;
        const auto address = asio::ip::make_address(core.Options().address, ec);
        if (ec) return;
        asio::io_context probeContext;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < until) {
            tcp::socket probe(probeContext);
            probe.connect(tcp::endpoint(address, port), ec);
            if (ec) return;  // refused
            probe.close(ec);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    // Runs `f` on the acceptor's strand and waits for it.
    template <class F>
    auto OnAcceptStrand(F f) -> decltype(f()) {
        std::packaged_task<decltype(f())()> task(std::move(f));
        auto result = task.get_future();
        asio::post(*acceptStrand, [&task] { task(); });
        return result.get();
    }

    ServerCore core;
    ConnectionRegistry registry;
    std::mutex lifecycle;  // Start, Stop, StopListening, ResumeListening
    unsigned short port;
    bool running = false;
    std::unique_ptr<asio::io_context> io;
    std::optional<asio::executor_work_guard<asio::io_context::executor_type>> work;
    // Every use of the acceptor after Start runs on this strand.
    std::optional<asio::strand<asio::io_context::executor_type>> acceptStrand;
    std::unique_ptr<tcp::acceptor> acceptor;
    std::vector<std::thread> threads;
};

Server::Server(ServerOptions options) : m_impl(std::make_unique<Impl>(options)) {}

Server::~Server() {
    Stop();
}

bool Server::Start() {
    Impl& d = *m_impl;
    std::lock_guard<std::mutex> lock(d.lifecycle);
    if (d.running) return true;
    d.io = std::make_unique<asio::io_context>();
    d.acceptStrand.emplace(asio::make_strand(*d.io));
    if (!d.Listen()) {
        d.acceptStrand.reset();
        d.io.reset();
        return false;
    }
    d.work.emplace(d.io->get_executor());
    const std::size_t n = d.core.Options().threads ? d.core.Options().threads : 1;
    for (std::size_t i = 0; i < n; ++i) d.threads.emplace_back([io = d.io.get()] { io->run(); });
    d.running = true;
    return true;
}

void Server::Stop() {
    Impl& d = *m_impl;
    std::lock_guard<std::mutex> lock(d.lifecycle);
    if (!d.running) return;
    d.running = false;
    d.OnAcceptStrand([&d] {
        boost::system::error_code ignored;
        if (d.acceptor) d.acceptor->close(ignored);
    });
    d.registry.CloseAll(false);
    d.work.reset();
    d.io->stop();
    for (std::thread& t : d.threads) t.join();
    d.threads.clear();
    d.acceptor.reset();
    d.acceptStrand.reset();
    // Destroys what is still queued, the connections with it.
    d.io.reset();
}

bool Server::IsRunning() const {
    std::lock_guard<std::mutex> lock(m_impl->lifecycle);
    return m_impl->running;
}

const std::string& Server::Address() const {
    return m_impl->core.Options().address;
}

unsigned short Server::Port() const {
    std::lock_guard<std::mutex> lock(m_impl->lifecycle);
    return m_impl->port;
}

void Server::SetSessionValidator(SessionValidator validator) {
    m_impl->core.SetSessionValidator(std::move(validator));
}

void Server::AddSession(int sessionId) {
    m_impl->core.AddSession(sessionId);
}

void Server::RemoveSession(int sessionId) {
    m_impl->core.RemoveSession(sessionId);
}

void Server::SetAcceptAllPositiveSessions(bool accept) {
    m_impl->core.SetAcceptAllPositiveSessions(accept);
}

void Server::InjectFault(const Fault& fault) {
    m_impl->core.InjectFault(fault);
}

void Server::ClearFaults() {
    m_impl->core.ClearFaults();
}

std::size_t Server::PendingFaults() const {
    return m_impl->core.PendingFaults();
}

void Server::StopListening() {
    Impl& d = *m_impl;
    std::lock_guard<std::mutex> lock(d.lifecycle);
    if (!d.running) return;
    d.OnAcceptStrand([&d] {
        boost::system::error_code ignored;
        if (d.acceptor) d.acceptor->close(ignored);
    });
    d.registry.CloseAll(false);
    d.WaitUntilRefused();
}

bool Server::ResumeListening() {
    Impl& d = *m_impl;
    std::lock_guard<std::mutex> lock(d.lifecycle);
    if (!d.running) return false;
    return d.OnAcceptStrand([&d] { return (d.acceptor && d.acceptor->is_open()) || d.Listen(); });
}

void Server::CloseIdleConnections() {
    m_impl->registry.CloseAll(true);
}

std::size_t Server::AcceptedConnections() const {
    return m_impl->core.accepted.load();
}

std::size_t Server::OpenConnections() const {
    return m_impl->core.open.load();
}

std::vector<RequestRecord> Server::Requests() const {
    return m_impl->core.Requests();
}

void Server::ClearRequests() {
    m_impl->core.ClearRequests();
}

Store& Server::GetStore() {
    return m_impl->core.GetStore();
}

}  // namespace mgmt
