#include "user_manager.h"

#include "login_manager.h"

namespace AccountLogic {

UserManager::UserManager(int sessionId, LoginManager* loginManager)
    : m_sessionId(sessionId), m_loginManager(loginManager) {}

int UserManager::GetUserSessionId() { return m_sessionId; }

CLoginManagerExternal* UserManager::GetLoginManager() { return m_loginManager; }

}  // namespace AccountLogic
