#pragma once
// Idle kept-alive connections per server, as native socket handles so that
// each call can adopt one into its own I/O context.
#include <chrono>
#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace Datahub {
namespace detail {

class ConnectionPool {
public:
    struct Idle {
        int fd;
        bool v6;
        std::chrono::steady_clock::time_point since;
    };

    static ConnectionPool& Instance();
    ~ConnectionPool();

    // The most recently used idle connection to `server` that still looks
    // open; connections found closed or too old on the way are closed.
    std::optional<Idle> Take(const std::string& server);
    // Keeps `fd` for reuse, or closes it when the pool is full or off.
    void Give(const std::string& server, int fd, bool v6);
    void SetLimits(std::size_t maxIdlePerServer, std::chrono::milliseconds maxIdleTime);
    void Clear();
    std::size_t Count() const;

private:
    ConnectionPool() = default;

    mutable std::mutex m_mutex;
    std::map<std::string, std::deque<Idle>> m_idle;
    std::size_t m_maxIdlePerServer = 4;
    std::chrono::milliseconds m_maxIdleTime = std::chrono::seconds(30);
};

}  // namespace detail
}  // namespace Datahub
