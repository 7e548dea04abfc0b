#pragma once
// Idle kept-alive connections, each kept by the thread whose exchange used
// it last and handed back only to that thread. Calls of one thread are
// sequential, so a thread needs one connection per server; keeping it with
// the thread spares every call the shared queue's lock traffic and keeps the
// socket's wake-ups on the core that is already waiting for it.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace Datahub {
namespace detail {

class ConnectionPool {
public:
    static ConnectionPool& Instance();

    // The calling thread's most recently used idle connection to `server`
    // that still looks open, or -1. Connections found closed, too old or
    // kept for another server on the way are closed.
    int Take(const std::string& server);
    // Keeps `fd` for the calling thread's next call, or closes it when reuse
    // is off or the limit is reached.
    void Give(const std::string& server, int fd);
    // `maxIdle` bounds the idle connections of all threads together (the
    // pass-through talks to one server at a time).
    void SetLimits(std::size_t maxIdle, std::chrono::milliseconds maxIdleTime);
    // Closes every thread's idle connections.
    void Clear();
    std::size_t Count() const;

    struct Shelf;
    // Called by a thread's shelf as the thread starts and ends using it.
    void Register(Shelf* shelf);
    void Unregister(Shelf* shelf);

private:
    ConnectionPool() = default;

    mutable std::mutex m_mutex;  // the list of shelves
    std::vector<Shelf*> m_shelves;
    std::atomic<std::size_t> m_idle{0};
    std::atomic<std::size_t> m_maxIdle{4};
    std::atomic<std::chrono::milliseconds::rep> m_maxIdleTime{30000};
};

}  // namespace detail
}  // namespace Datahub
