#pragma once
// Faults the shell injects: into the stand-in platform SDK (a return code for
// the next calls, latency on every call, an outage of every call Kestrel
// makes) and into the in-process management server (an answer code,
// latency, an outage that refuses connections).
#include <chrono>
#include <string>
#include <vector>

namespace mgmt { class Server; }

namespace kestrel_host {

// The platform SDK functions Kestrel calls.
const std::vector<std::string>& KestrelPlatformCalls();

// The code an outage makes every call return: the session is unknown, as
// when the platform's connection was lost.
constexpr int kOutageCode = 10002;

// `function` is one of KestrelPlatformCalls() or "all". False for an unknown name.
bool FailPlatformCalls(const std::string& function, int count, int code);
bool SetPlatformLatency(const std::string& function, std::chrono::milliseconds latency);
void PlatformOutage(int code);

void FailServerAnswers(mgmt::Server& server, int count, int serverCode, int httpStatus);
void DelayServerAnswers(mgmt::Server& server, int count, std::chrono::milliseconds delay);
void ServerOutage(mgmt::Server& server);

// Every platform fault and latency dropped; the server's faults dropped and
// listening again.
void ClearFaults(mgmt::Server* server);

}  // namespace kestrel_host
