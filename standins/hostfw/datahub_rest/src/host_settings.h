#pragma once
// Process-wide settings of the pass-through that the host makes
// (hostfw/rest_host.h), and its counters.
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

namespace Datahub {
namespace detail {

struct ServerAddress {
    std::string host;
    unsigned short port = 0;
    // Identifies the server in the connection pool.
    std::string Key() const { return host + ":" + std::to_string(port); }
};

std::optional<ServerAddress> CurrentServer();
std::size_t MaxAnswerBytes();

struct Counters {
    std::atomic<std::uint64_t> calls{0};
    std::atomic<std::uint64_t> connectionsOpened{0};
    std::atomic<std::uint64_t> connectionsReused{0};
    std::atomic<std::uint64_t> staleRetries{0};
};
Counters& Statistics();

}  // namespace detail
}  // namespace Datahub
