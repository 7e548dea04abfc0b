#include "tasks/platform_user.h"

#include "accountlogic/login_manager.h"
#include "accountlogic/user_manager.h"

namespace Kestrel {

bool ReadSessionId(AccountLogic::CUserManagerExternal* user, int& sessionId) {
    if (user == nullptr) return false;
    sessionId = user->GetUserSessionId();
    return true;
}

void ResolveMenu(AccountLogic::CLoginManagerExternal* login, const std::string& menuKey, std::string& menuCode,
                 std::string& menuName) {
    menuCode = menuKey;
    menuName.clear();
    if (login != nullptr) login->GetMenuName(menuCode, menuName);
}

void FillOperateInfo(AccountLogic::CLoginManagerExternal* login, const std::string& menuKey,
                     ZRSDK_OPERATE_INFO& info) {
    std::string menuCode, menuName;
    ResolveMenu(login, menuKey, menuCode, menuName);
    std::memset(&info, 0, sizeof(info));
    CopyText(info.menuKey, menuCode);
    CopyText(info.menuName, menuName);
}

}  // namespace Kestrel
