#include "ptz/ptz.h"

#include <memory>

#include "accountlogic/login_manager.h"
#include "accountlogic/user_manager.h"
#include "datahub/interface_set_manager.h"
#include "ptz/ptz_records.h"
#include "resourcetree/group_manager.h"
#include "zrsdk/zrsdk_types.h"

namespace Kestrel {

CPtz::CPtz() = default;

// UnInit normally stopped the timer already; if not, it is stopped here so
// that no tick can reach a destroyed worker.
CPtz::~CPtz() {
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

void CPtz::UnInit() {
    {
        vkl::DMutexGuard guard(m_mutex);
        ClearLockTable();
        UpdateLockTimer();
        m_groupManager = nullptr;
        m_userManager = nullptr;
        m_loginManager = nullptr;
    }
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
