#include "accountlogic/login_manager.h"
#include "accountlogic/user_manager.h"

// The account plug-in's interfaces keep their vtables and type information here.
namespace AccountLogic {

CUserManagerExternal::~CUserManagerExternal() = default;

CLoginManagerExternal::~CLoginManagerExternal() = default;

}  // namespace AccountLogic
