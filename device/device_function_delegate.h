#pragma once
#include <string>
#include <vector>

#include "device/device_communicate.h"
#include "tasks/function_delegate.h"

namespace Kestrel {

// Between the device façade and its worker: passes every call on unchanged.
class CDeviceFunctionDelegate : public CFunctionDelegate<CDeviceCommunicate> {
public:
    using CFunctionDelegate::CFunctionDelegate;

    int SnapPicture(std::string code, int value, Snap_Picture_e type);
    int MasterSlaveIntellManualTrack(std::string code, int value);
    int MasterSlaveIntellFixedPointTrack(std::string code, unsigned int first, unsigned int second);
    int StartRecord(std::string code, int streamType, int value, std::string text,
                    const std::string& menuKey);
    int StopRecord(std::string code, int streamType, bool flag, const std::string& menuKey);
    int SetIFrame(std::string code);
    int StartAPPChannelRecord(std::string code, std::string secondCode, int streamType, int value,
                              std::string text);
    int SmartTrackOperate(const Kestrel::SmartTrackOperate& operate);
    int OpenVehilceMonitor(const std::vector<std::string>& codes);
    int GetBindingResource(std::string code, long long tag);
    bool RestartDevice(const std::string& deviceCode);

    void OnSmartTrackObjectNotify(void* data, unsigned int size);
    void OnTrafficInfoNotify(void* data, unsigned int size);
    void OnIMSAlarmInfoNotify(void* data, unsigned int size);
    void OnTrafficRealAlarmInfo(void* data, unsigned int size);
    void OnTrafficScoreAlarmInfo(void* data, unsigned int size);
};

}  // namespace Kestrel
