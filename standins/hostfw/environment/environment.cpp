#include "hostfw/environment.h"

#include <mutex>

#include "hostfw/account_plugin.h"
#include "hostfw/resource_tree_plugin.h"
#include "hostfw/taskhub_host.h"
#include "hostfw/vkl_host.h"
#include "vkl/log.h"
#include "zrsdk/zrsdk_control.h"
#include "zrsdk/zrsdk_session.h"

namespace hostfw {

namespace {

// How long a shutdown waits for work in flight before it stops the loops anyway.
constexpr std::chrono::seconds kShutdownPatience(30);

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds Remaining(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? left : std::chrono::milliseconds(0);
}

void Log(int level, int line, const char* function, const char* text, int value) {
    vkl::DPrintLog::instance()->Log("Environment", line, function, "", level, "%s: %d", text, value);
}

}  // namespace

struct Environment::Impl {
    EnvironmentOptions options;
    int sessionId = 0;
    std::unique_ptr<hostfw::AccountPlugin> account;
    std::unique_ptr<hostfw::ResourceTreePlugin> tree;
    std::mutex shutdownMutex;
    bool shutDown = false;

    // Everything quiet at this moment: platform events, login events, tasks.
    bool Quiet() {
        return zrsdk::control::WaitEventsDelivered(std::chrono::milliseconds(0)) &&
               account->PendingEvents() == 0 && Taskhub::Host::PendingTasks() == 0;
    }
};

Environment::Environment(const EnvironmentOptions& options) : m_impl(std::make_unique<Impl>()) {
    Impl& d = *m_impl;
    d.options = options;
    Taskhub::Host::ReopenLoops();
    Taskhub::Host::StartPool(options.poolThreads);
    if (options.uiLoopThread) Taskhub::Host::StartUILoopThread();

    const int rc = ZRSDK_Login(options.user.c_str(), options.password.c_str(), &d.sessionId);
    if (rc != 0) {
        Log(vkl::LOG_LEVEL_ERROR, __LINE__, "hostfw::Environment::Environment",
            "ZRSDK_Login failed, nobody is logged in", rc);
        d.sessionId = 0;
    }
    d.account = std::make_unique<hostfw::AccountPlugin>(d.sessionId, options.menus);
    d.tree = std::make_unique<hostfw::ResourceTreePlugin>(d.sessionId);
    if (d.sessionId != 0) {
        d.account->Init();
        d.tree->Init();
    }
}

Environment::~Environment() { Shutdown(); }

KMPluginAPI::IClientLogicalPluginAPI* Environment::AccountPlugin() { return m_impl->account.get(); }

KMPluginAPI::IClientLogicalPluginAPI* Environment::ResourceTreePlugin() {
    return m_impl->tree.get();
}

AccountLogic::CUserManagerExternal* Environment::UserManager() {
    return m_impl->account->UserManager();
}

AccountLogic::CLoginManagerExternal* Environment::LoginManager() {
    return m_impl->account->LoginManager();
}

ResourceTree::CGroupManagerExternal* Environment::GroupManager() {
    return m_impl->tree->GroupManager();
}

int Environment::SessionId() const { return m_impl->sessionId; }

bool Environment::WaitIdle(std::chrono::milliseconds timeout) {
    Impl& d = *m_impl;
    const Clock::time_point deadline = Clock::now() + timeout;
    // Each stage can feed the next (and a task can make the platform push an
    // event), so wait stage by stage until all are quiet at the same time.
    for (;;) {
        if (!zrsdk::control::WaitEventsDelivered(Remaining(deadline))) return false;
        if (!d.account->WaitIdle(Remaining(deadline))) return false;
        if (!Taskhub::Host::WaitIdle(Remaining(deadline))) return false;
        if (d.Quiet()) return true;
        if (Clock::now() >= deadline) return false;
    }
}

void Environment::Shutdown() {
    Impl& d = *m_impl;
    std::lock_guard<std::mutex> lock(d.shutdownMutex);
    if (d.shutDown) return;
    d.shutDown = true;

    // No new platform events; then let what is in flight settle.
    d.account->UnInit();
    if (!WaitIdle(kShutdownPatience)) {
        Log(vkl::LOG_LEVEL_WARN, __LINE__, "hostfw::Environment::Shutdown",
            "work still in flight at shutdown, tasks pending", static_cast<int>(Taskhub::Host::PendingTasks()));
    }
    Taskhub::Host::StopPool();
    Taskhub::Host::StopUILoop();
    d.tree->UnInit();
    if (d.sessionId != 0) {
        const int rc = ZRSDK_Logout(d.sessionId);
        if (rc != 0) Log(vkl::LOG_LEVEL_WARN, __LINE__, "hostfw::Environment::Shutdown", "ZRSDK_Logout failed", rc);
    }
}

void StopHostThreads() {
    // The pool and the loop first: their tasks may start timers and make the
    // platform push events.
    Taskhub::Host::StopPool();
    Taskhub::Host::StopUILoop();
    vkl::Host::StopTimerThread();
    zrsdk::control::StopThreads();
}

}  // namespace hostfw
