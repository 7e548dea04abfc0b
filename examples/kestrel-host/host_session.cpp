#include "host_session.h"

#include <algorithm>
#include <stdexcept>

#include <boost/dll/import.hpp>
#include <boost/dll/runtime_symbol_info.hpp>
#include <boost/url/parse.hpp>

#include "hostfw/environment.h"
#include "hostfw/rest_host.h"
#include "hostfw/vkl_host.h"
#include "kestrel/device_function_external.h"
#include "kestrel/device_function_manager_external.h"
#include "kestrel/face_function_external.h"
#include "kestrel/ptz_external.h"
#include "kmpluginapi/plugin_api.h"
#include "mgmt_server/server.h"
#include "output.h"
#include "zrsdk/zrsdk_control.h"

namespace kestrel_host {

namespace {

using Factory = std::shared_ptr<KMPluginAPI::IClientLogicalPluginAPI>();

const char* LevelName(int level) {
    switch (level) {
        case 1: return "trace";
        case 2: return "debug";
        case 3: return "info";
        case 4: return "warn";
        case 5: return "notice";
        case 6: return "error";
    }
    return "log";
}

bool SessionLoggedIn(int session) {
    const std::vector<int> sessions = zrsdk::control::LoggedInSessions();
    return std::find(sessions.begin(), sessions.end(), session) != sessions.end();
}

}  // namespace

bool ParseServerUrl(const std::string& url, std::string& host, unsigned short& port, std::string& error) {
    auto parsed = boost::urls::parse_uri(url);
    if (!parsed) {
        error = "not a URL: " + url;
        return false;
    }
    if (parsed->scheme() != "http") {
        error = "only http:// URLs are served by the management server: " + url;
        return false;
    }
    host = std::string(parsed->host());
    if (host.empty()) {
        error = "no host in " + url;
        return false;
    }
    port = parsed->has_port() ? parsed->port_number() : 80;
    if (parsed->has_port() && port == 0) {
        error = "bad port in " + url;
        return false;
    }
    return true;
}

HostSession::HostSession(const HostOptions& options, Output& output)
    : m_options(options), m_output(output), m_hub(output, m_tracker), m_supervisor("supervisor", "supervisor") {}

HostSession::~HostSession() { Stop(); }

int HostSession::SessionId() const { return m_env ? m_env->SessionId() : 0; }

bool HostSession::Start() {
    Output& out = m_output;
    vkl::Host::SetLogLevel(m_options.logLevel);
    vkl::Host::SetLogSink([&out](const vkl::Host::LogRecord& r) {
        out.Error(std::string("log ") + LevelName(r.level) + " [" + r.source + "] " + r.function + ": " + r.text);
    });

    // The platform as a fresh one: default data, and a clock that runs by
    // itself so that locks expire on the platform as they do on a live one.
    zrsdk::control::Reset();
    zrsdk::control::UseRealPlatformClock(true);
    std::string channels;
    for (const auto& channel : zrsdk::control::DefaultChannels())
        channels += (channels.empty() ? "" : ", ") + channel.code + (channel.isPtz ? " (PTZ)" : "");
    out.Note("start: platform SDK stand-in ready: channels " + channels + "; users operator, supervisor");

    if (!StartServer()) {
        Stop();
        return false;
    }

    hostfw::EnvironmentOptions envOptions;
    envOptions.poolThreads = m_options.poolThreads;
    envOptions.uiLoopThread = true;
    m_env = std::make_unique<hostfw::Environment>(envOptions);
    if (m_env->SessionId() == 0) {
        out.Error("kestrel-host: the operator could not log in on the platform");
        Stop();
        return false;
    }
    out.Note("start: host framework up: SDK pool of " + std::to_string(m_options.poolThreads) +
             " threads, UI loop; user \"operator\" logged in (session " + std::to_string(m_env->SessionId()) + ")");
    Datahub::Host::SetServerAddress(m_serverHost, m_serverPort);

    if (!LoadPlugin()) {
        Stop();
        return false;
    }
    return true;
}

bool HostSession::StartServer() {
    if (!m_options.serverUrl.empty()) {
        std::string error;
        if (!ParseServerUrl(m_options.serverUrl, m_serverHost, m_serverPort, error)) {
            m_output.Error("kestrel-host: --server: " + error);
            return false;
        }
        m_output.Note("start: management server at " + ServerAddress() + " (started separately)");
        return true;
    }
    mgmt::ServerOptions options;  // 127.0.0.1, an ephemeral port
    m_server = std::make_unique<mgmt::Server>(options);
    // As the real server does, it takes the sessions the platform knows.
    m_server->SetSessionValidator(&SessionLoggedIn);
    if (!m_server->Start()) {
        m_output.Error("kestrel-host: the management server stand-in cannot listen on 127.0.0.1");
        m_server.reset();
        return false;
    }
    m_serverHost = m_server->Address();
    m_serverPort = m_server->Port();
    m_output.Note("start: management server stand-in listening on " + ServerAddress());
    return true;
}

bool HostSession::LoadPlugin() {
    boost::dll::fs::path path = m_options.pluginPath;
    auto mode = boost::dll::load_mode::rtld_now;
    if (path.empty()) {
        // The module's file name on this system (libkestrel.so, kestrel.dll):
        // in ../lib beside the program, as installed on Linux, or beside the
        // program, where Windows keeps DLLs; else the loader's search.
        const boost::dll::fs::path name = boost::dll::shared_library::decorate("kestrel");
        const boost::dll::fs::path programDir = boost::dll::program_location().parent_path();
        path = name;
        mode = mode | boost::dll::load_mode::search_system_folders;
        for (const boost::dll::fs::path& candidate :
             {(programDir.parent_path() / "lib" / name).lexically_normal(), programDir / name}) {
            boost::dll::fs::error_code ec;
            if (boost::dll::fs::exists(candidate, ec)) {
                path = candidate;
                mode = boost::dll::load_mode::rtld_now;
                break;
            }
        }
    }
    try {
        m_library.load(path, mode);
        m_factory = boost::dll::import_alias<Factory>(m_library, "GetInstance");
    } catch (const std::exception& e) {
        m_output.Error("kestrel-host: cannot load " + path.string() + ": " + e.what());
        return false;
    }
    m_plugin = m_factory();
    if (!m_plugin) {
        m_output.Error("kestrel-host: GetInstance returned no plug-in");
        return false;
    }
    boost::dll::fs::error_code ec;
    const boost::dll::fs::path location = m_library.location(ec);
    m_output.Note("start: loaded " + (ec ? path : location).lexically_normal().string() + ": plug-in \"" +
                  m_plugin->GetPluginName() + "\"");

    if (!m_plugin->AddLogicalPlugin(m_env->AccountPlugin()) ||
        !m_plugin->AddLogicalPlugin(m_env->ResourceTreePlugin())) {
        m_output.Error("kestrel-host: AddLogicalPlugin refused a sibling plug-in");
        return false;
    }
    if (!m_plugin->Init()) {
        m_output.Error("kestrel-host: Init failed");
        return false;
    }
    m_initialised = true;
    auto* manager = static_cast<Kestrel::CDeviceFunctionManagerExternal*>(m_plugin->GetManagerExternal());
    if (manager == nullptr) {
        m_output.Error("kestrel-host: the plug-in has no external manager");
        return false;
    }
    m_device = manager->GetDeviceFunction();
    m_ptz = manager->GetPtz();
    m_face = manager->GetFaceFunction();
    if (m_device == nullptr || m_ptz == nullptr || m_face == nullptr) {
        m_output.Error("kestrel-host: a façade is missing after Init");
        return false;
    }
    if (!RegisterObserver(Facade::Device) || !RegisterObserver(Facade::Ptz) || !RegisterObserver(Facade::Face)) {
        m_output.Error("kestrel-host: a façade refused the host's observer");
        return false;
    }
    m_output.Note("start: AddLogicalPlugin(AccountLogic, ResourceTree), Init; device, PTZ and face façades "
                  "taken, observers registered");
    return true;
}

bool HostSession::RegisterObserver(Facade facade) {
    const int i = static_cast<int>(facade);
    if (m_registered[i]) return true;
    Datahub::IObserver* observer = m_hub.Observer(facade);
    bool ok = false;
    switch (facade) {
        case Facade::Device: ok = m_device && m_device->RegisterObserver(observer); break;
        case Facade::Ptz: ok = m_ptz && m_ptz->RegisterObserver(observer); break;
        case Facade::Face: ok = m_face && m_face->RegisterObserver(observer); break;
    }
    m_registered[i] = ok;
    return ok;
}

bool HostSession::UnRegisterObserver(Facade facade) {
    const int i = static_cast<int>(facade);
    if (!m_registered[i]) return true;
    Datahub::IObserver* observer = m_hub.Observer(facade);
    bool ok = false;
    switch (facade) {
        case Facade::Device: ok = m_device && m_device->UnRegisterObserver(observer); break;
        case Facade::Ptz: ok = m_ptz && m_ptz->UnRegisterObserver(observer); break;
        case Facade::Face: ok = m_face && m_face->UnRegisterObserver(observer); break;
    }
    m_registered[i] = false;
    return ok;
}

bool HostSession::WaitAll(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    if (!m_tracker.WaitAnswered(timeout)) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return m_env && m_env->WaitIdle(std::max(left, std::chrono::milliseconds(0)));
}

void HostSession::Stop() {
    if (!m_env && !m_server && !m_library.is_loaded()) return;
    const bool narrate = static_cast<bool>(m_plugin);
    m_supervisor.LogOut();
    if (m_plugin && m_initialised) {
        m_plugin->UnInit();
        m_initialised = false;
    }
    if (m_env) {
        if (!m_env->WaitIdle(m_options.timeout))
            m_output.Error("kestrel-host: work still in flight at shut-down");
        m_env->Shutdown();
    }
    for (Facade facade : {Facade::Device, Facade::Ptz, Facade::Face}) UnRegisterObserver(facade);
    m_device = nullptr;
    m_ptz = nullptr;
    m_face = nullptr;
    m_plugin.reset();
    m_factory = nullptr;
    m_library.unload();
    if (narrate) m_output.Note("stop: UnInit, pool and UI loop drained, plug-in released and unloaded");
    m_env.reset();
    Datahub::Host::ClearServerAddress();
    if (m_server) {
        m_server->Stop();
        m_server.reset();
    }
    zrsdk::control::UseRealPlatformClock(false);
    // The client's last step: no thread of the framework or the SDK may
    // outlive main (on Windows the system ends them wherever they stand).
    hostfw::StopHostThreads();
    vkl::Host::SetLogSink({});
}

}  // namespace kestrel_host
