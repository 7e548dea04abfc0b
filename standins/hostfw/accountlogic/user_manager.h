#pragma once
#include "accountlogic/user_manager.h"

namespace AccountLogic {

class LoginManager;

// The logged-in user as the account plug-in shows it to its siblings.
class UserManager : public CUserManagerExternal {
public:
    UserManager(int sessionId, LoginManager* loginManager);

    int GetUserSessionId() override;
    CLoginManagerExternal* GetLoginManager() override;

private:
    const int m_sessionId;
    LoginManager* const m_loginManager;
};

}  // namespace AccountLogic
