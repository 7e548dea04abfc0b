// The host's settings of the pass-through (hostfw/rest_host.h).
#include "host_settings.h"

#include <mutex>

#include "connection_pool.h"
#include "hostfw/rest_host.h"

namespace Datahub {
namespace detail {
namespace {

struct Settings {
    std::mutex mutex;
    std::optional<ServerAddress> server;
    std::size_t maxAnswerBytes = Host::kDefaultMaxAnswerBytes;
};

Settings& TheSettings() {
    static Settings settings;
    return settings;
}

}  // namespace

std::optional<ServerAddress> CurrentServer() {
    Settings& s = TheSettings();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.server;
}

std::size_t MaxAnswerBytes() {
    Settings& s = TheSettings();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.maxAnswerBytes;
}

Counters& Statistics() {
    static Counters counters;
    return counters;
}

}  // namespace detail

namespace Host {

void SetServerAddress(const std::string& host, unsigned short port) {
    detail::Settings& s = detail::TheSettings();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.server = detail::ServerAddress{host, port};
    }
    detail::ConnectionPool::Instance().Clear();
}

void ClearServerAddress() {
    detail::Settings& s = detail::TheSettings();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.server.reset();
    }
    detail::ConnectionPool::Instance().Clear();
}

void SetMaxAnswerBytes(std::size_t bytes) {
    detail::Settings& s = detail::TheSettings();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.maxAnswerBytes = bytes;
}

void SetConnectionPoolLimits(std::size_t maxIdlePerServer, std::chrono::milliseconds maxIdleTime) {
    detail::ConnectionPool::Instance().SetLimits(maxIdlePerServer, maxIdleTime);
}

void DropIdleConnections() {
    detail::ConnectionPool::Instance().Clear();
}

std::size_t IdleConnectionCount() {
    return detail::ConnectionPool::Instance().Count();
}

PassThroughStatistics GetPassThroughStatistics() {
    detail::Counters& c = detail::Statistics();
    PassThroughStatistics s;
    s.calls = c.calls.load();
    s.connectionsOpened = c.connectionsOpened.load();
    s.connectionsReused = c.connectionsReused.load();
    s.staleRetries = c.staleRetries.load();
    return s;
}

void ResetPassThroughStatistics() {
    detail::Counters& c = detail::Statistics();
    c.calls = 0;
    c.connectionsOpened = 0;
    c.connectionsReused = 0;
    c.staleRetries = 0;
}

}  // namespace Host
}  // namespace Datahub
