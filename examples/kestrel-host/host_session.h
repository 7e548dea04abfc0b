#pragma once
// Start-up and shut-down of the example host, in the client's order.
//
// Start: the stand-in platform SDK (default data, a clock that runs by
// itself), the stand-in management server (in-process on 127.0.0.1, or one
// started separately), the host framework (SDK pool, UI loop, the operator
// logged in, the account and resource-tree plug-ins), then libkestrel.so
// loaded through Boost.DLL by its "GetInstance" alias, given the two sibling
// plug-ins, initialised, its façades taken and the host's observers
// registered.
//
// Stop: the second operator logs out, UnInit, the pool and the UI loop are
// drained and stopped, the observers unregistered, the plug-in released and
// the module unloaded; then the server stops.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include <boost/dll/shared_library.hpp>

#include "event_hub.h"
#include "host_options.h"
#include "request_tracker.h"
#include "second_operator.h"

namespace KMPluginAPI { class IClientLogicalPluginAPI; }
namespace Kestrel {
class CDeviceFunctionExternal;
class CPtzExternal;
class CFaceFunctionExternal;
}  // namespace Kestrel
namespace hostfw { class Environment; }
namespace mgmt { class Server; }

namespace kestrel_host {

class Output;

// "http://127.0.0.1:8090" -> host and port; false with a reason otherwise.
bool ParseServerUrl(const std::string& url, std::string& host, unsigned short& port, std::string& error);

class HostSession {
public:
    HostSession(const HostOptions& options, Output& output);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Every step is narrated; false (with the reason printed) when one fails,
    // after undoing the steps already done.
    bool Start();
    // Idempotent.
    void Stop();

    Kestrel::CDeviceFunctionExternal& Device() { return *m_device; }
    Kestrel::CPtzExternal& Ptz() { return *m_ptz; }
    Kestrel::CFaceFunctionExternal& Face() { return *m_face; }
    bool RegisterObserver(Facade facade);
    bool UnRegisterObserver(Facade facade);

    RequestTracker& Tracker() { return m_tracker; }
    EventHub& Hub() { return m_hub; }
    Output& Out() { return m_output; }
    const HostOptions& Options() const { return m_options; }
    hostfw::Environment& Environment() { return *m_env; }
    int SessionId() const;
    // The in-process management server; null with --server.
    mgmt::Server* LocalServer() { return m_server.get(); }
    std::string ServerAddress() const { return m_serverHost + ":" + std::to_string(m_serverPort); }
    SecondOperator& Supervisor() { return m_supervisor; }

    // Until every request sent is answered and the pool, the UI loop and the
    // login connection are idle. False on time-out.
    bool WaitAll(std::chrono::milliseconds timeout);

private:
    bool StartServer();
    bool LoadPlugin();

    const HostOptions m_options;
    Output& m_output;
    RequestTracker m_tracker;
    EventHub m_hub;
    SecondOperator m_supervisor;
    std::unique_ptr<mgmt::Server> m_server;
    std::string m_serverHost;
    unsigned short m_serverPort = 0;
    std::unique_ptr<hostfw::Environment> m_env;
    boost::dll::shared_library m_library;
    std::function<std::shared_ptr<KMPluginAPI::IClientLogicalPluginAPI>()> m_factory;
    std::shared_ptr<KMPluginAPI::IClientLogicalPluginAPI> m_plugin;
    Kestrel::CDeviceFunctionExternal* m_device = nullptr;
    Kestrel::CPtzExternal* m_ptz = nullptr;
    Kestrel::CFaceFunctionExternal* m_face = nullptr;
    bool m_initialised = false;
    bool m_registered[3] = {false, false, false};
};

}  // namespace kestrel_host
