#pragma once
// A running plug-in in a host in a box, made once for the whole run: the
// stand-in host framework with a logged-in user, the management server on
// loopback with the pass-through pointed at it, and one CKestrel created in
// process and initialised, with a counting observer on each façade.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "arrival_counter.h"
#include "baseline_loops.h"

namespace hostfw { class Environment; }
namespace mgmt { class Server; }
namespace Datahub { class IObserver; }
namespace Kestrel {
class CKestrel;
class CDeviceFunctionExternal;
class CPtzExternal;
class CFaceFunctionExternal;
}  // namespace Kestrel

namespace bench {

class BenchHost {
public:
    // Made on first use.
    static BenchHost& Get();
    // Uninitialises the plug-in and stops the host; at the end of main.
    static void Release();

    hostfw::Environment& Env();
    mgmt::Server& Server();
    int SessionId() const;

    Kestrel::CDeviceFunctionExternal* Device();
    Kestrel::CPtzExternal* Ptz();
    Kestrel::CFaceFunctionExternal* Face();
    // The plug-in's listener on the login connection: what the login
    // manager hands every server event to.
    Datahub::IObserver* LoginListener();

    ArrivalObserver& DeviceObserver() { return m_deviceObserver; }
    ArrivalObserver& PtzObserver() { return m_ptzObserver; }
    ArrivalObserver& FaceObserver() { return m_faceObserver; }

    // Waits until the pool, the UI loop and the event delivery are idle.
    void WaitIdle();
    // Holds the SDK pool's queue of the key: returns once a task that
    // blocks until the gate opens runs on it, so that what is posted under
    // the key from now on stays queued.
    std::shared_ptr<Gate> HoldQueue(const std::string& key);

    // Log lines Kestrel and the stand-ins wrote during the run (they are
    // counted, not printed, so that they cost the same on every run).
    static uint64_t LogLines();
    static std::string FirstLogLine();

    ~BenchHost();
    BenchHost(const BenchHost&) = delete;
    BenchHost& operator=(const BenchHost&) = delete;

private:
    BenchHost();

    std::unique_ptr<hostfw::Environment> m_env;
    std::unique_ptr<mgmt::Server> m_server;
    std::shared_ptr<Kestrel::CKestrel> m_kestrel;
    ArrivalObserver m_deviceObserver;
    ArrivalObserver m_ptzObserver;
    ArrivalObserver m_faceObserver;
};

}  // namespace bench
