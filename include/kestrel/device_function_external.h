#pragma once
#include <memory>
#include <string>
#include <vector>

#include "kestrel/kestrel_export.h"

namespace Datahub { class IObserver; }

namespace Kestrel {

class CDeviceFunctionDelegate;
class CDeviceFunctionExternalPrivate;

// One smart-track operation; the platform gives the fields their meaning.
struct SmartTrackOperate {
    int value1 = 0;
    std::string code;  // channel code
    int value2 = 0;
    bool flag = false;
    int value3 = 0;
    int values[6] = {0, 0, 0, 0, 0, 0};
};

// Picture kinds of SnapPicture, which the platform does not offer.
enum Snap_Picture_e {
    SNAP_PICTURE_NONE = 0,
};

// Device functions. Every operation returns at once; outcomes reach the
// registered observers on the UI loop as CDeviceFunctionParam objects.
class KESTREL_API CDeviceFunctionExternal {
public:
    explicit CDeviceFunctionExternal(std::shared_ptr<CDeviceFunctionDelegate> delegate);
    ~CDeviceFunctionExternal();
    // Binds this handle to the other's delegate; each keeps its own private part.
    CDeviceFunctionExternal& operator=(const CDeviceFunctionExternal& other);
    CDeviceFunctionExternal(const CDeviceFunctionExternal&) = delete;

    // False for a null observer. An observer registered twice is called twice.
    bool RegisterObserver(Datahub::IObserver* observer);
    // Removes one registration; true in every case.
    bool UnRegisterObserver(Datahub::IObserver* observer);

    // Not offered by the platform: always -1, nothing is sent.
    int SnapPicture(std::string code, int value, Snap_Picture_e type);
    int MasterSlaveIntellManualTrack(std::string code, int value);
    int MasterSlaveIntellFixedPointTrack(std::string code, unsigned int first, unsigned int second);
    // Result: DEVICE_EVENT_START_RECORD with the plan id and start time.
    int StartRecord(std::string code, int streamType, int value, std::string text,
                    const std::string& menuKey);
    // Result: DEVICE_EVENT_STOP_RECORD.
    int StopRecord(std::string code, int streamType, bool flag, const std::string& menuKey);
    int SetIFrame(std::string code);
    // Result: DEVICE_EVENT_START_APP_RECORD.
    int StartAPPChannelRecord(std::string code, std::string secondCode, int streamType, int value,
                              std::string text);
    int SmartTrackOperate(const Kestrel::SmartTrackOperate& operate);
    int OpenVehilceMonitor(const std::vector<std::string>& codes);
    // Result: DEVICE_EVENT_BINDING_RESOURCE, carrying tag in Ui64Now.
    int GetBindingResource(std::string code, long long tag);
    // The outcome is only logged; always true.
    bool RestartDevice(const std::string& deviceCode);

private:
    CDeviceFunctionExternalPrivate* d_func();
    const CDeviceFunctionExternalPrivate* d_func() const;
    CDeviceFunctionExternalPrivate* d_ptr;
};

}  // namespace Kestrel
