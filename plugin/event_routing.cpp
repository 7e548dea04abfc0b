// Intake of the server events of the login connection.
#include "accountlogic/login_param.h"
#include "plugin/device_function_manager.h"
#include "plugin/device_function_manager_delegate.h"

namespace Kestrel {

// Events of another Business, of a type Kestrel does not handle, or with a
// non-zero result are dropped here; the workers check the payloads.
void CDeviceFunctionManagerDelegate::OnNotify(std::shared_ptr<Datahub::BaseParam> param) {
    if (!param || param->GetBusiness() != Datahub::BUSINESS_LOGIN) return;
    std::shared_ptr<AccountLogic::CLoginParam> login =
        std::static_pointer_cast<AccountLogic::CLoginParam>(param);

    using Route = void (CDeviceFunctionManager::*)(void*, unsigned int);
    Route route = nullptr;
    switch (login->GetEventType()) {
        case AccountLogic::LOGIN_EVENT_PTZ_LOCK_STATUS: route = &CDeviceFunctionManager::OnLockStatusNotify; break;
        case AccountLogic::LOGIN_EVENT_SMART_TRACK_OBJECT: route = &CDeviceFunctionManager::OnSmartTrackObjectNotify; break;
        case AccountLogic::LOGIN_EVENT_FACE_INFO: route = &CDeviceFunctionManager::OnFaceInfoNotify; break;
        case AccountLogic::LOGIN_EVENT_TRAFFIC_INFO: route = &CDeviceFunctionManager::OnTrafficInfoNotify; break;
        case AccountLogic::LOGIN_EVENT_IMS_ALARM: route = &CDeviceFunctionManager::OnIMSAlarmInfoNotify; break;
        case AccountLogic::LOGIN_EVENT_TRAFFIC_REAL_ALARM: route = &CDeviceFunctionManager::OnTrafficRealAlarmInfo; break;
        case AccountLogic::LOGIN_EVENT_TRAFFIC_SCORE_ALARM: route = &CDeviceFunctionManager::OnTrafficScoreAlarmInfo; break;
        default: return;
    }
    if (login->GetEventResult() != 0) return;
    boost::shared_ptr<CDeviceFunctionManager> manager = m_spFunctionManager;
    if (manager) ((*manager).*route)(login->GetEventBuf(), login->GetBufSize());
}

}  // namespace Kestrel
