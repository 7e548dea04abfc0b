#include "kestrel/device_function_external.h"

#include "device/device_function_external_p.h"

namespace Kestrel {

KESTREL_FACADE_BASICS(CDeviceFunctionExternal, CDeviceFunctionDelegate)

int CDeviceFunctionExternal::SnapPicture(std::string code, int value, Snap_Picture_e type) {
    return d_func()->m_delegate->SnapPicture(code, value, type);
}

int CDeviceFunctionExternal::MasterSlaveIntellManualTrack(std::string code, int value) {
    return d_func()->m_delegate->MasterSlaveIntellManualTrack(code, value);
}

int CDeviceFunctionExternal::MasterSlaveIntellFixedPointTrack(std::string code, unsigned int first,
                                                              unsigned int second) {
    return d_func()->m_delegate->MasterSlaveIntellFixedPointTrack(code, first, second);
}

int CDeviceFunctionExternal::StartRecord(std::string code, int streamType, int value, std::string text,
                                         const std::string& menuKey) {
    return d_func()->m_delegate->StartRecord(code, streamType, value, text, menuKey);
}

int CDeviceFunctionExternal::StopRecord(std::string code, int streamType, bool flag,
                                        const std::string& menuKey) {
    return d_func()->m_delegate->StopRecord(code, streamType, flag, menuKey);
}

int CDeviceFunctionExternal::SetIFrame(std::string code) { return d_func()->m_delegate->SetIFrame(code); }

int CDeviceFunctionExternal::StartAPPChannelRecord(std::string code, std::string secondCode, int streamType,
                                                   int value, std::string text) {
    return d_func()->m_delegate->StartAPPChannelRecord(code, secondCode, streamType, value, text);
}

int CDeviceFunctionExternal::SmartTrackOperate(const Kestrel::SmartTrackOperate& operate) {
    return d_func()->m_delegate->SmartTrackOperate(operate);
}

int CDeviceFunctionExternal::OpenVehilceMonitor(const std::vector<std::string>& codes) {
    return d_func()->m_delegate->OpenVehilceMonitor(codes);
}

int CDeviceFunctionExternal::GetBindingResource(std::string code, long long tag) {
    return d_func()->m_delegate->GetBindingResource(code, tag);
}

bool CDeviceFunctionExternal::RestartDevice(const std::string& deviceCode) {
    return d_func()->m_delegate->RestartDevice(deviceCode);
}

}  // namespace Kestrel
