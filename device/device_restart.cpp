// Device restart: a REST call to the management server. It sends no audit
// headers and reports to no observer; its outcome is only logged.
#include <boost/thread/mutex.hpp>

#include "accountlogic/user_manager.h"
#include "device/device_communicate.h"
#include "rest/rest_call.h"

namespace Kestrel {

namespace {
// Serialises the creation of this unit's REST objects (and their descriptors).
boost::mutex g_deviceRestMutex;
}  // namespace

void CDeviceCommunicate::HandleResetDevice(const std::string& deviceCode) {
    AccountLogic::CUserManagerExternal* user = m_userManager.load();
    if (user == nullptr) return;
    const RestCallSite site{"DeviceCommunicate", "Kestrel::CDeviceCommunicate::HandleResetDevice", __LINE__};
    RunRestCall(
        site, g_deviceRestMutex, CreateVSLDevicesRestartRequest, CreateVSLDevicesRestartResponse,
        "/videoService/devices/restart/", nullptr, [user] { return user->GetUserSessionId(); },
        [&](VSLDevicesRestartRequest& request) { SetRestText(request.path.deviceCode, deviceCode); },
        [](int, VSLDevicesRestartResponse*) {});
}

}  // namespace Kestrel
