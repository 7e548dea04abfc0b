#include "login_manager.h"

#include <algorithm>
#include <exception>

#include "datahub/observer.h"
#include "vkl/log.h"

namespace AccountLogic {

LoginManager::LoginManager(hostfw::MenuTable menus) : m_menus(std::move(menus)) {}

bool LoginManager::RegisterObserver(Datahub::IObserver* observer) {
    if (!observer) return false;
    std::lock_guard<std::recursive_mutex> lock(m_observerMutex);
    m_observers.push_back(observer);
    return true;
}

bool LoginManager::UnRegisterObserver(Datahub::IObserver* observer) {
    std::lock_guard<std::recursive_mutex> lock(m_observerMutex);
    auto it = std::find(m_observers.begin(), m_observers.end(), observer);
    if (it != m_observers.end()) m_observers.erase(it);
    return true;
}

bool LoginManager::GetMenuName(std::string& menuCode, std::string& menuName) {
    auto it = m_menus.find(menuCode);
    if (it == m_menus.end()) return false;
    menuCode = it->second.code;
    menuName = it->second.name;
    return true;
}

void LoginManager::Deliver(const std::shared_ptr<CLoginParam>& param) {
    std::lock_guard<std::recursive_mutex> lock(m_observerMutex);
    const std::vector<Datahub::IObserver*> snapshot = m_observers;
    for (Datahub::IObserver* observer : snapshot) {
        // An observer unregistered by an earlier one during this walk is skipped.
        if (std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end()) {
            continue;
        }
        try {
            observer->OnNotify(param);
        } catch (const std::exception& e) {
            vkl::DPrintLog::instance()->Log("AccountLogic", __LINE__, "AccountLogic::LoginManager::Deliver", "",
                                            vkl::LOG_LEVEL_ERROR,
                                            "observer threw on event %d: %s", param->GetEventType(), e.what());
        } catch (...) {
            vkl::DPrintLog::instance()->Log("AccountLogic", __LINE__, "AccountLogic::LoginManager::Deliver", "",
                                            vkl::LOG_LEVEL_ERROR,
                                            "observer threw on event %d", param->GetEventType());
        }
    }
}

}  // namespace AccountLogic
