#include "device/device_function_delegate.h"

#include <utility>

namespace Kestrel {

int CDeviceFunctionDelegate::SnapPicture(std::string code, int value, Snap_Picture_e type) {
    return m_spWorker->SnapPicture(code, value, type);
}

int CDeviceFunctionDelegate::MasterSlaveIntellManualTrack(std::string code, int value) {
    return m_spWorker->MasterSlaveIntellManualTrack(code, value);
}

int CDeviceFunctionDelegate::MasterSlaveIntellFixedPointTrack(std::string code, unsigned int first,
                                                              unsigned int second) {
    return m_spWorker->MasterSlaveIntellFixedPointTrack(code, first, second);
}

int CDeviceFunctionDelegate::StartRecord(std::string code, int streamType, int value, std::string text,
                                         const std::string& menuKey) {
    return m_spWorker->StartRecord(StartRemoteRecordReq{menuKey, std::move(code), std::move(text), streamType, value});
}

int CDeviceFunctionDelegate::StopRecord(std::string code, int streamType, bool flag,
                                        const std::string& menuKey) {
    StopRemoteRecordReq req;
    req.menuKey = menuKey;
    req.code = std::move(code);
    req.streamType = streamType;
    req.flag = flag;
    return m_spWorker->StopRecord(std::move(req));
}

int CDeviceFunctionDelegate::SetIFrame(std::string code) { return m_spWorker->SetIFrame(code); }

int CDeviceFunctionDelegate::StartAPPChannelRecord(std::string code, std::string secondCode, int streamType,
                                                   int value, std::string text) {
    StartAPPRemoteRecordReq req;
    req.code = std::move(code);
    req.secondCode = std::move(secondCode);
    req.streamType = streamType;
    req.value = value;
    req.text = std::move(text);
    return m_spWorker->StartAPPChannelRecord(std::move(req));
}

int CDeviceFunctionDelegate::SmartTrackOperate(const Kestrel::SmartTrackOperate& operate) {
    return m_spWorker->SmartTrackOperate(operate);
}

int CDeviceFunctionDelegate::OpenVehilceMonitor(const std::vector<std::string>& codes) {
    return m_spWorker->OpenVehilceMonitor(codes);
}

int CDeviceFunctionDelegate::GetBindingResource(std::string code, long long tag) {
    return m_spWorker->GetBindingResource(code, tag);
}

bool CDeviceFunctionDelegate::RestartDevice(const std::string& deviceCode) {
    return m_spWorker->RestartDevice(deviceCode);
}

void CDeviceFunctionDelegate::OnSmartTrackObjectNotify(void* data, unsigned int size) {
    m_spWorker->OnSmartTrackObjectNotify(data, size);
}

void CDeviceFunctionDelegate::OnTrafficInfoNotify(void* data, unsigned int size) {
    m_spWorker->OnTrafficInfoNotify(data, size);
}

void CDeviceFunctionDelegate::OnIMSAlarmInfoNotify(void* data, unsigned int size) {
    m_spWorker->OnIMSAlarmInfoNotify(data, size);
}

void CDeviceFunctionDelegate::OnTrafficRealAlarmInfo(void* data, unsigned int size) {
    m_spWorker->OnTrafficRealAlarmInfo(data, size);
}

void CDeviceFunctionDelegate::OnTrafficScoreAlarmInfo(void* data, unsigned int size) {
    m_spWorker->OnTrafficScoreAlarmInfo(data, size);
}

}  // namespace Kestrel
