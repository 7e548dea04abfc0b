#include "plugin/device_function_manager.h"

#include "device/device_function_delegate.h"
#include "face/face_function_delegate.h"
#include "ptz/ptz_delegate.h"

namespace Kestrel {

CDeviceFunctionManager::CDeviceFunctionManager() = default;

// Members go in reverse order: face, PTZ, device.
CDeviceFunctionManager::~CDeviceFunctionManager() = default;

bool CDeviceFunctionManager::Init(Datahub::CInterfaceSetManager* set) {
    if (set == nullptr) return false;
    auto device = std::make_shared<CDeviceFunctionDelegate>(set);
    {
        boost::unique_lock<boost::mutex> lock(m_mutex);
        m_spDeviceFunction = device;
    }
    auto ptz = std::make_shared<CPtzDelegate>(set);
    {
        boost::unique_lock<boost::mutex> lock(m_mutex);
        m_spPtz = ptz;
    }
    auto face = std::make_shared<CFaceFunctionDelegate>(set);
    {
        boost::unique_lock<boost::mutex> lock(m_mutex);
        m_spFaceFunction = face;
    }
    return true;
}

namespace {
// Takes the delegate out of its field under the lock, then stops it outside
// the lock so that an event being routed does not wait on a worker's UnInit.
template <class Delegate>
void StopDelegate(boost::mutex& mutex, std::shared_ptr<Delegate>& field) {
    std::shared_ptr<Delegate> delegate;
    {
        boost::unique_lock<boost::mutex> lock(mutex);
        delegate.swap(field);
    }
    if (delegate) delegate->UnInit();
}
}  // namespace

void CDeviceFunctionManager::UnInit() {
    StopDelegate(m_mutex, m_spDeviceFunction);
    StopDelegate(m_mutex, m_spPtz);
    StopDelegate(m_mutex, m_spFaceFunction);
}

std::shared_ptr<CDeviceFunctionDelegate> CDeviceFunctionManager::GetDeviceFunctionDelegate() const {
    boost::unique_lock<boost::mutex> lock(m_mutex);
    return m_spDeviceFunction;
}

std::shared_ptr<CPtzDelegate> CDeviceFunctionManager::GetPtzDelegate() const {
    boost::unique_lock<boost::mutex> lock(m_mutex);
    return m_spPtz;
}

std::shared_ptr<CFaceFunctionDelegate> CDeviceFunctionManager::GetFaceFunctionDelegate() const {
    boost::unique_lock<boost::mutex> lock(m_mutex);
    return m_spFaceFunction;
}

// Each event goes to the delegate of its worker, if that delegate exists.
#define KESTREL_ROUTE(Operation, Getter)                                     \
    void CDeviceFunctionManager::Operation(void* data, unsigned int size) { \
        if (auto delegate = Getter()) delegate->Operation(data, size);       \
    }

KESTREL_ROUTE(OnLockStatusNotify, GetPtzDelegate)
KESTREL_ROUTE(OnSmartTrackObjectNotify, GetDeviceFunctionDelegate)
KESTREL_ROUTE(OnFaceInfoNotify, GetFaceFunctionDelegate)
KESTREL_ROUTE(OnTrafficInfoNotify, GetDeviceFunctionDelegate)
KESTREL_ROUTE(OnIMSAlarmInfoNotify, GetDeviceFunctionDelegate)
KESTREL_ROUTE(OnTrafficRealAlarmInfo, GetDeviceFunctionDelegate)
KESTREL_ROUTE(OnTrafficScoreAlarmInfo, GetDeviceFunctionDelegate)

#undef KESTREL_ROUTE

}  // namespace Kestrel
