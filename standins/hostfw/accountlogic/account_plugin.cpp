#include "hostfw/account_plugin.h"

#include <mutex>

#include "datahub/interface_set_manager.h"
#include "login_event_queue.h"
#include "login_manager.h"
#include "sdk_subscription.h"
#include "user_manager.h"

namespace hostfw {

namespace {
const char kPluginName[] = "AccountLogic";
}  // namespace

struct AccountPlugin::Impl {
    const int sessionId;
    AccountLogic::LoginManager loginManager;
    AccountLogic::UserManager userManager;
    Datahub::CInterfaceSetManager siblings;
    // Declared after the managers: destroyed first, so that the last queued
    // events still find the observers' list.
    AccountLogic::LoginEventQueue events;
    std::mutex subscriptionMutex;
    std::unique_ptr<AccountLogic::SdkSubscription> subscription;

    Impl(int session, MenuTable menus)
        : sessionId(session),
          loginManager(std::move(menus)),
          userManager(session, &loginManager),
          events([this](const std::shared_ptr<AccountLogic::CLoginParam>& param) {
              loginManager.Deliver(param);
          }) {}

    ~Impl() {
        // Stop new events before the queue delivers its last ones and ends.
        std::lock_guard<std::mutex> lock(subscriptionMutex);
        subscription.reset();
    }
};

AccountPlugin::AccountPlugin(int sessionId, MenuTable menus)
    : m_impl(std::make_unique<Impl>(sessionId, std::move(menus))) {}

AccountPlugin::~AccountPlugin() = default;

std::string AccountPlugin::GetPluginName() { return kPluginName; }

KMPluginAPI::IAbstractResourceManager* AccountPlugin::GetResourceManager() { return nullptr; }

KMPluginAPI::IManagerExternal* AccountPlugin::GetManagerExternal() {
    // Siblings cast this back to AccountLogic::CUserManagerExternal.
    AccountLogic::CUserManagerExternal* user = &m_impl->userManager;
    return user;
}

bool AccountPlugin::AddLogicalPlugin(KMPluginAPI::IClientLogicalPluginAPI* plugin) {
    return m_impl->siblings.AddLogicalPlugin(plugin);
}

bool AccountPlugin::RemoveLogicalPlugin(KMPluginAPI::IClientLogicalPluginAPI* plugin) {
    return m_impl->siblings.RemoveLogicalPlugin(plugin);
}

bool AccountPlugin::Init() {
    std::lock_guard<std::mutex> lock(m_impl->subscriptionMutex);
    if (m_impl->subscription) return true;
    Impl* impl = m_impl.get();
    auto subscription = std::make_unique<AccountLogic::SdkSubscription>(
        impl->sessionId, [impl](int type, int result, const void* data, unsigned int size) {
            impl->events.Push(type, result, data, size);
        });
    if (subscription->Result() != 0) return false;
    m_impl->subscription = std::move(subscription);
    return true;
}

void AccountPlugin::UnInit() {
    std::lock_guard<std::mutex> lock(m_impl->subscriptionMutex);
    m_impl->subscription.reset();
}

AccountLogic::CUserManagerExternal* AccountPlugin::UserManager() { return &m_impl->userManager; }

AccountLogic::CLoginManagerExternal* AccountPlugin::LoginManager() {
    return &m_impl->loginManager;
}

void AccountPlugin::QueueServerEvent(int eventType, int eventResult, const void* data,
                                     unsigned int size) {
    m_impl->events.Push(eventType, eventResult, data, size);
}

bool AccountPlugin::WaitIdle(std::chrono::milliseconds timeout) {
    return m_impl->events.WaitIdle(timeout);
}

std::size_t AccountPlugin::PendingEvents() const { return m_impl->events.Pending(); }

bool AccountPlugin::IsDeliveryThread() const { return m_impl->events.OnDeliveryThread(); }

}  // namespace hostfw
