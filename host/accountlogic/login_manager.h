#pragma once
#include <string>

#include "host_export.h"

namespace Datahub { class IObserver; }

namespace AccountLogic {

// The logged-in user's connection: server events and the user's menu table.
class ACCOUNTLOGIC_API CLoginManagerExternal {
public:
    virtual ~CLoginManagerExternal();
    // False for a null observer. Observers receive CLoginParam objects on the
    // login manager's own delivery thread.
    virtual bool RegisterObserver(Datahub::IObserver* observer) = 0;
    // True whether or not the observer was registered.
    virtual bool UnRegisterObserver(Datahub::IObserver* observer) = 0;
    // Looks the menu key up in the user's menu table and fills the menu code
    // and name used in operator records and audit headers. False (both texts
    // left as they were) for an unknown key.
    virtual bool GetMenuName(std::string& menuCode, std::string& menuName) = 0;
};

}  // namespace AccountLogic
