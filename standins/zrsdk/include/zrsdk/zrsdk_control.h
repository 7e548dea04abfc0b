#pragma once
// Control side of the stand-in platform SDK, for tests and the example host:
// shape the in-memory platform, inject faults, read back what callers sent
// and push server events onto login connections.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host_export.h"

namespace zrsdk {
namespace control {

struct UserSpec {
    std::string name;
    std::string password;
    // The user's platform code, reported in the login data next to the name.
    std::string userCode;
};

struct ChannelSpec {
    std::string code;        // "ch-0001"
    std::string channelId;
    std::string name;
    std::string deviceCode;  // "dev-0001"
    int channelNo = 0;
    bool isPtz = false;
};

// The accounts a fresh platform knows: operator/operator, supervisor/supervisor.
HOST_API std::vector<UserSpec> DefaultUsers();
// The channels a fresh platform has.
HOST_API std::vector<ChannelSpec> DefaultChannels();

// Back to the default platform data (channels and everything on them,
// recordings, locks, clock, faults, captures; queued events are dropped).
// Accounts and live sessions with their callbacks are kept, so a logged-in
// host stays logged in.
HOST_API void Reset();
// Reset plus: every session logged out, accounts back to the defaults.
HOST_API void ResetAll();

HOST_API void AddUser(const UserSpec& user);
// Adds or replaces a channel (keyed by code); a new channel starts with no
// presets, cruises or bindings.
HOST_API void AddChannel(const ChannelSpec& channel);
HOST_API bool RemoveChannel(const std::string& code);
HOST_API std::vector<int> LoggedInSessions();

// ---- server events over a session's login connection ----------------------

// Queues one event for the session's callback. data may be null with a
// non-zero size: the callback then receives a null pointer and that size.
// False if the session is not logged in.
HOST_API bool PushLoginEvent(int sessionId, int eventType, int eventResult, const void* data,
                             std::size_t size);
// True once every event pushed so far was handed to its callback (or dropped
// because the session had none); false on time-out.
HOST_API bool WaitEventsDelivered(std::chrono::milliseconds timeout = std::chrono::seconds(10));

struct EventCounters {
    uint64_t delivered = 0;
    uint64_t dropped = 0;
};
HOST_API EventCounters GetEventCounters();

}  // namespace control
}  // namespace zrsdk
