#pragma once
// The host's account plug-in ("AccountLogic"): the logged-in user, the user's
// menu table and the server events of the user's login connection.
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "host_export.h"
#include "hostfw/menu.h"
#include "kmpluginapi/plugin_api.h"

namespace AccountLogic { class CUserManagerExternal; class CLoginManagerExternal; }

namespace hostfw {

class ACCOUNTLOGIC_API AccountPlugin : public KMPluginAPI::IClientLogicalPluginAPI {
public:
    // sessionId: the platform session of the logged-in user (0: nobody).
    AccountPlugin(int sessionId, MenuTable menus);
    // Stops the event subscription, delivers what is still queued and ends
    // the delivery thread.
    ~AccountPlugin() override;

    std::string GetPluginName() override;  // "AccountLogic"
    KMPluginAPI::IAbstractResourceManager* GetResourceManager() override;  // none: null
    // The user manager (AccountLogic::CUserManagerExternal).
    KMPluginAPI::IManagerExternal* GetManagerExternal() override;
    // Sibling plug-ins: false for null or for one already added / not added.
    bool AddLogicalPlugin(KMPluginAPI::IClientLogicalPluginAPI* plugin) override;
    bool RemoveLogicalPlugin(KMPluginAPI::IClientLogicalPluginAPI* plugin) override;
    // Subscribes to the session's login events; false when the SDK refuses.
    bool Init() override;
    // Ends the subscription; events already received are still delivered.
    void UnInit() override;

    AccountLogic::CUserManagerExternal* UserManager();
    AccountLogic::CLoginManagerExternal* LoginManager();

    // Takes an event exactly as one from the SDK: copied, queued, delivered
    // on the delivery thread in arrival order.
    void QueueServerEvent(int eventType, int eventResult, const void* data, unsigned int size);
    // Waits until every event received so far has been delivered.
    bool WaitIdle(std::chrono::milliseconds timeout);
    std::size_t PendingEvents() const;
    // True on the thread that delivers the login events.
    bool IsDeliveryThread() const;

    AccountPlugin(const AccountPlugin&) = delete;
    AccountPlugin& operator=(const AccountPlugin&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace hostfw
