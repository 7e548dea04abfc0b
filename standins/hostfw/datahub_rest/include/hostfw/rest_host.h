#pragma once
// Host side of Datahub's JSON pass-through (datahub/rest.h): where the
// management server is, and how connections to it are kept.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "host_export.h"

namespace Datahub {
namespace Host {

// The header that carries the caller's session id with every call.
constexpr const char* kSessionHeader = "X-Session-Id";
// Largest answer body accepted unless SetMaxAnswerBytes changes it.
constexpr std::size_t kDefaultMaxAnswerBytes = 8u << 20;

// Where DataPassThroughJson sends its requests (a name or an address, and a
// TCP port). Changing it drops the idle connections to the previous server.
// Until it is set, calls fail with PASS_THROUGH_NO_SERVER.
DATAHUB_REST_API void SetServerAddress(const std::string& host, unsigned short port);
DATAHUB_REST_API void ClearServerAddress();

// Answers with a larger body fail with PASS_THROUGH_ANSWER_TOO_LARGE.
DATAHUB_REST_API void SetMaxAnswerBytes(std::size_t bytes);

// At most `maxIdlePerServer` idle connections are kept per server (0 turns
// reuse off), each for at most `maxIdleTime`. Defaults: 4 and 30 s.
DATAHUB_REST_API void SetConnectionPoolLimits(std::size_t maxIdlePerServer,
                                      std::chrono::milliseconds maxIdleTime);
// Closes every idle connection.
DATAHUB_REST_API void DropIdleConnections();
DATAHUB_REST_API std::size_t IdleConnectionCount();

struct PassThroughStatistics {
    std::uint64_t calls = 0;              // DataPassThroughJson calls that tried the network
    std::uint64_t connectionsOpened = 0;  // fresh connections established
    std::uint64_t connectionsReused = 0;  // exchanges sent on a kept-alive connection
    std::uint64_t staleRetries = 0;       // kept-alive connections found closed and retried
};
DATAHUB_REST_API PassThroughStatistics GetPassThroughStatistics();
DATAHUB_REST_API void ResetPassThroughStatistics();

}  // namespace Host
}  // namespace Datahub
