#include "connection_pool.h"

#include <algorithm>

#include "os.h"

namespace Datahub {
namespace detail {

// One thread's idle connections. Its own thread takes and gives; Clear and
// Count come from any thread, hence the (normally uncontended) lock.
struct ConnectionPool::Shelf {
    struct Idle {
        std::string server;
        int fd;
        std::chrono::steady_clock::time_point since;
    };
    std::mutex mutex;
    std::vector<Idle> idle;

    Shelf() { ConnectionPool::Instance().Register(this); }
    ~Shelf() { ConnectionPool::Instance().Unregister(this); }
};

namespace {

ConnectionPool::Shelf& ThisThreadsShelf() { return os::ThisThreads<ConnectionPool::Shelf>(); }

}  // namespace

// Never destroyed: threads that end during the process's exit still hand
// their shelves back to it.
ConnectionPool& ConnectionPool::Instance() {
    static ConnectionPool* pool = new ConnectionPool;
    return *pool;
}

void ConnectionPool::Register(Shelf* shelf) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_shelves.push_back(shelf);
}

void ConnectionPool::Unregister(Shelf* shelf) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_shelves.erase(std::remove(m_shelves.begin(), m_shelves.end(), shelf), m_shelves.end());
    }
    std::lock_guard<std::mutex> lock(shelf->mutex);
    for (const Shelf::Idle& c : shelf->idle) os::Close(c.fd);
    m_idle -= shelf->idle.size();
    shelf->idle.clear();
}

int ConnectionPool::Take(const std::string& server) {
    Shelf& shelf = ThisThreadsShelf();
    const std::chrono::milliseconds maxIdleTime(m_maxIdleTime.load(std::memory_order_relaxed));
    std::lock_guard<std::mutex> lock(shelf.mutex);
    while (!shelf.idle.empty()) {
        const Shelf::Idle idle = std::move(shelf.idle.back());
        shelf.idle.pop_back();
        --m_idle;
        if (idle.server == server && std::chrono::steady_clock::now() - idle.since <= maxIdleTime &&
            // End of stream means the server closed it, stray bytes that the
            // last exchange left it unusable.
            os::NothingToRead(idle.fd))
            return idle.fd;
        os::Close(idle.fd);
    }
    return -1;
}

void ConnectionPool::Give(const std::string& server, int fd) {
    const std::size_t maxIdle = m_maxIdle.load(std::memory_order_relaxed);
    Shelf& shelf = ThisThreadsShelf();
    {
        std::lock_guard<std::mutex> lock(shelf.mutex);
        if (maxIdle > 0) {
            if (++m_idle <= maxIdle) {
                shelf.idle.push_back(Shelf::Idle{server, fd, std::chrono::steady_clock::now()});
                return;
            }
            --m_idle;
            // Full: this thread's oldest makes room, else the newcomer goes.
            if (!shelf.idle.empty()) {
                const int oldest = shelf.idle.front().fd;
                shelf.idle.erase(shelf.idle.begin());
                shelf.idle.push_back(Shelf::Idle{server, fd, std::chrono::steady_clock::now()});
                fd = oldest;
            }
        }
    }
    os::Close(fd);
}

void ConnectionPool::SetLimits(std::size_t maxIdle, std::chrono::milliseconds maxIdleTime) {
    m_maxIdle = maxIdle;
    m_maxIdleTime = maxIdleTime.count();
    if (maxIdle == 0) Clear();
}

void ConnectionPool::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Shelf* shelf : m_shelves) {
        std::lock_guard<std::mutex> shelfLock(shelf->mutex);
        for (const Shelf::Idle& c : shelf->idle) os::Close(c.fd);
        m_idle -= shelf->idle.size();
        shelf->idle.clear();
    }
}

std::size_t ConnectionPool::Count() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::size_t n = 0;
    for (Shelf* shelf : m_shelves) {
        std::lock_guard<std::mutex> shelfLock(shelf->mutex);
        n += shelf->idle.size();
    }
    return n;
}

}  // namespace detail
}  // namespace Datahub
