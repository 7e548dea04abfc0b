#include "ptz/ptz.h"

#include <memory>

#include "accountlogic/login_manager.h"
#include "accountlogic/user_manager.h"
#include "datahub/interface_set_manager.h"
#include "ptz/ptz_records.h"
#include "resourcetree/group_manager.h"
#include "zrsdk/zrsdk_types.h"

namespace Kestrel {

CPtz::CPtz() : m_motion([this](const PtzMove& move) { PostMove(move); }) {}

// UnInit normally stopped the timers already; if not, they are stopped here
// so that no tick can reach a destroyed worker.
CPtz::~CPtz() {
    m_motion.StopTimer();
    {
        vkl::DMutexGuard guard(m_mutex);
        ClearLockTable();
        UpdateLockTimer();
    }
    ReleaseRetiredTimers();
}

bool CPtz::Init(Datahub::CInterfaceSetManager* set) {
    if (set == nullptr) return false;
    ResourceTree::CGroupManagerExternal* group = set->GetGroupManagerExternal();
    AccountLogic::CUserManagerExternal* user = set->GetUserManagerExternal();
    AccountLogic::CLoginManagerExternal* login = user != nullptr ? user->GetLoginManager() : nullptr;
    m_groupManager = group;
    m_userManager = user;
    m_loginManager = login;
    return group != nullptr && user != nullptr && login != nullptr;
}

// With stop on leaving, the moving channels' stops go while the user's
// session can still carry them; then the session is forgotten.
void CPtz::UnInit() {
    m_motion.StopTimer();
    m_motion.Leave();
    {
        vkl::DMutexGuard guard(m_mutex);
        ClearLockTable();
        UpdateLockTimer();
        m_groupManager = nullptr;
        m_userManager = nullptr;
        m_loginManager = nullptr;
    }
    m_motion.Left();
    ReleaseRetiredTimers();
}

bool CPtz::GetSession(int& sessionId) const { return ReadSessionId(m_userManager.load(), sessionId); }

void CPtz::FillOperateInfo(const std::string& menuKey, ZRSDK_OPERATE_INFO& info) const {
    Kestrel::FillOperateInfo(m_loginManager.load(), menuKey, info);
}

void CPtz::PostPtzResult(CPtzParam::EventType type, int result, const std::string& code, int seq) {
    auto param = std::make_shared<CPtzParam>(type, result);
    param->SetCode(code);
    param->SetSeq(seq);
    PostResultToUI(param);
}

}  // namespace Kestrel
