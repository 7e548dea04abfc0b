#pragma once
#include "host_export.h"
#include "kmpluginapi/plugin_api.h"

namespace AccountLogic {

class CLoginManagerExternal;

// The account plug-in's external manager: the logged-in user.
class ACCOUNTLOGIC_API CUserManagerExternal : public KMPluginAPI::IManagerExternal {
public:
    virtual ~CUserManagerExternal();
    // The session id of the logged-in user, passed to every platform call;
    // 0 when nobody is logged in.
    virtual int GetUserSessionId() = 0;
    virtual CLoginManagerExternal* GetLoginManager() = 0;
};

}  // namespace AccountLogic
