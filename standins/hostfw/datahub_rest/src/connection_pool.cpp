#include "connection_pool.h"

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace Datahub {
namespace detail {
namespace {

// An idle connection must have nothing to read: end of stream means the
// server closed it, stray bytes mean the last exchange left it unusable.
bool LooksOpen(int fd) {
    char byte;
    const ssize_t n = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
}

}  // namespace

ConnectionPool& ConnectionPool::Instance() {
    static ConnectionPool pool;
    return pool;
}

ConnectionPool::~ConnectionPool() {
    Clear();
}

std::optional<ConnectionPool::Idle> ConnectionPool::Take(const std::string& server) {
    for (;;) {
        Idle idle;
        std::chrono::milliseconds maxIdleTime;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            auto it = m_idle.find(server);
            if (it == m_idle.end() || it->second.empty()) return std::nullopt;
            idle = it->second.back();
            it->second.pop_back();
            maxIdleTime = m_maxIdleTime;
        }
        if (std::chrono::steady_clock::now() - idle.since <= maxIdleTime && LooksOpen(idle.fd))
            return idle;
        ::close(idle.fd);
    }
}

void ConnectionPool::Give(const std::string& server, int fd, bool v6) {
    std::vector<int> surplus;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_maxIdlePerServer == 0) {
            surplus.push_back(fd);
        } else {
            auto& idle = m_idle[server];
            idle.push_back(Idle{fd, v6, std::chrono::steady_clock::now()});
            while (idle.size() > m_maxIdlePerServer) {
                surplus.push_back(idle.front().fd);
                idle.pop_front();
            }
        }
    }
    for (int s : surplus) ::close(s);
}

void ConnectionPool::SetLimits(std::size_t maxIdlePerServer, std::chrono::milliseconds maxIdleTime) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_maxIdlePerServer = maxIdlePerServer;
        m_maxIdleTime = maxIdleTime;
    }
    if (maxIdlePerServer == 0) Clear();
}

void ConnectionPool::Clear() {
    std::map<std::string, std::deque<Idle>> idle;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        idle.swap(m_idle);
    }
    for (auto& entry : idle)
        for (const Idle& c : entry.second) ::close(c.fd);
}

std::size_t ConnectionPool::Count() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::size_t n = 0;
    for (const auto& entry : m_idle) n += entry.second.size();
    return n;
}

}  // namespace detail
}  // namespace Datahub
