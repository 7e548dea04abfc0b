#pragma once
#include <memory>

#include <boost/thread/mutex.hpp>

namespace Datahub { class CInterfaceSetManager; }

namespace Kestrel {

class CDeviceFunctionDelegate;
class CPtzDelegate;
class CFaceFunctionDelegate;

// Owns the three function delegates while the plug-in runs, and routes the
// server events to them. Events for a delegate that does not exist (before
// Init, after UnInit) are dropped.
class CDeviceFunctionManager {
public:
    CDeviceFunctionManager();
    ~CDeviceFunctionManager();

    // Creates the device, PTZ and face delegates in that order; false (and
    // nothing created) for a null interface set.
    bool Init(Datahub::CInterfaceSetManager* set);
    // Stops and releases the device, PTZ and face delegates in that order.
    void UnInit();

    std::shared_ptr<CDeviceFunctionDelegate> GetDeviceFunctionDelegate() const;
    std::shared_ptr<CPtzDelegate> GetPtzDelegate() const;
    std::shared_ptr<CFaceFunctionDelegate> GetFaceFunctionDelegate() const;

    void OnLockStatusNotify(void* data, unsigned int size);
    void OnSmartTrackObjectNotify(void* data, unsigned int size);
    void OnFaceInfoNotify(void* data, unsigned int size);
    void OnTrafficInfoNotify(void* data, unsigned int size);
    void OnIMSAlarmInfoNotify(void* data, unsigned int size);
    void OnTrafficRealAlarmInfo(void* data, unsigned int size);
    void OnTrafficScoreAlarmInfo(void* data, unsigned int size);

    CDeviceFunctionManager(const CDeviceFunctionManager&) = delete;
    CDeviceFunctionManager& operator=(const CDeviceFunctionManager&) = delete;

private:
    // Guards the three fields: the login manager's thread reads them while
    // the host's thread may be running Init or UnInit.
    mutable boost::mutex m_mutex;
    std::shared_ptr<CDeviceFunctionDelegate> m_spDeviceFunction;
    std::shared_ptr<CPtzDelegate> m_spPtz;
    std::shared_ptr<CFaceFunctionDelegate> m_spFaceFunction;
};

}  // namespace Kestrel
