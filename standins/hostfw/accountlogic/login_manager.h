#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "accountlogic/login_manager.h"
#include "accountlogic/login_param.h"
#include "hostfw/menu.h"

namespace AccountLogic {

// The login manager of the account plug-in: observers of the server events
// and the user's menu table.
class LoginManager : public CLoginManagerExternal {
public:
    explicit LoginManager(hostfw::MenuTable menus);

    // Appends the observer (a second registration means a second delivery).
    bool RegisterObserver(Datahub::IObserver* observer) override;
    // Removes the first registration. Waits for a delivery in progress on
    // another thread, so the observer may be destroyed once this returns.
    bool UnRegisterObserver(Datahub::IObserver* observer) override;
    bool GetMenuName(std::string& menuCode, std::string& menuName) override;

    // Hands the event to every observer in registration order.
    void Deliver(const std::shared_ptr<CLoginParam>& param);

private:
    const hostfw::MenuTable m_menus;
    // Held for a whole delivery; re-entrant so that an observer may register
    // or unregister from inside its OnNotify.
    std::recursive_mutex m_observerMutex;
    std::vector<Datahub::IObserver*> m_observers;
};

}  // namespace AccountLogic
