#pragma once
// A host in a box: the SDK pool, the UI loop, a logged-in user with its
// account plug-in and the resource-tree plug-in, as the client sets them up
// before it loads a logic plug-in. Used by tests and by the example host.
#include <chrono>
#include <map>
#include <memory>
#include <string>

#include "host_export.h"
#include "hostfw/menu.h"

namespace KMPluginAPI { class IClientLogicalPluginAPI; }
namespace AccountLogic { class CUserManagerExternal; class CLoginManagerExternal; }
namespace ResourceTree { class CGroupManagerExternal; }

namespace hostfw {

struct EnvironmentOptions {
    std::size_t poolThreads = 4;
    // true: the UI loop runs on a thread of its own; false: the host pumps it
    // with Taskhub::Host::RunUILoop / RunUIPending on its own thread.
    bool uiLoopThread = true;
    std::string user = "operator";
    std::string password = "operator";
    // The user's menu table: menu key -> code and name.
    std::map<std::string, MenuEntry> menus = {
        {"menu.ptz", {"M-PTZ-01", "PTZ control"}},
        {"menu.record", {"M-REC-01", "Platform recording"}},
    };
};

class HOSTFW_ENVIRONMENT_API Environment {
public:
    explicit Environment(const EnvironmentOptions& options = EnvironmentOptions());
    // Drains and stops the pool and the UI loop, logs out.
    ~Environment();

    KMPluginAPI::IClientLogicalPluginAPI* AccountPlugin();
    KMPluginAPI::IClientLogicalPluginAPI* ResourceTreePlugin();
    AccountLogic::CUserManagerExternal* UserManager();
    AccountLogic::CLoginManagerExternal* LoginManager();
    ResourceTree::CGroupManagerExternal* GroupManager();
    int SessionId() const;

    // Waits until the pool, the UI loop and the login manager's delivery
    // queue are all idle.
    bool WaitIdle(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Drains and stops the pool and UI loop now (the destructor does it too).
    void Shutdown();

    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// What the client does last before it exits, after its environments are
// shut down: the SDK pool and the UI loop stop (what is queued runs), the
// timer thread and the SDK's own threads end, and every one of them is
// joined. Nothing the host framework or the SDK owns runs after it returns
// until one of them is used again. A program calls it before main returns:
// on Windows a DLL's statics are destroyed after the system has ended every
// other thread, wherever it stood, so no thread may outlive main.
HOSTFW_ENVIRONMENT_API void StopHostThreads();

}  // namespace hostfw
