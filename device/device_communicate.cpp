#include "device/device_communicate.h"

#include <cstring>
#include <memory>

#include "accountlogic/login_manager.h"
#include "accountlogic/user_manager.h"
#include "datahub/interface_set_manager.h"
#include "kestrel/device_function_param.h"
#include "tasks/queue_keys.h"
#include "tasks/time_text.h"
#include "vkl/log.h"
#include "vkl/str.h"
#include "zrsdk/zrsdk.h"

namespace Kestrel {

namespace {
// The operator tag the platform records with every smart-track operation.
const std::string g_operatorTag = "Obelo-Obj";

// Result of a request that could not be sent: no logged-in user.
constexpr int kRefused = -1;
}  // namespace

CDeviceCommunicate::CDeviceCommunicate() = default;
CDeviceCommunicate::~CDeviceCommunicate() = default;

bool CDeviceCommunicate::Init(Datahub::CInterfaceSetManager* set) {
    if (set == nullptr) return false;
    AccountLogic::CUserManagerExternal* user = set->GetUserManagerExternal();
    m_userManager = user;
    m_loginManager = user != nullptr ? user->GetLoginManager() : nullptr;
    return true;
}

void CDeviceCommunicate::UnInit() {
    m_userManager = nullptr;
    m_loginManager = nullptr;
}

bool CDeviceCommunicate::GetSession(int& sessionId) const {
    AccountLogic::CUserManagerExternal* user = m_userManager.load();
    if (user == nullptr) return false;
    sessionId = user->GetUserSessionId();
    return true;
}

// Menu code and name of the operator record; both stay as given when there is
// no login manager or it does not know the key.
void CDeviceCommunicate::ResolveMenu(const std::string& menuKey, std::string& menuCode,
                                     std::string& menuName) const {
    menuCode = menuKey;
    menuName.clear();
    if (AccountLogic::CLoginManagerExternal* login = m_loginManager.load())
        login->GetMenuName(menuCode, menuName);
}

uint64_t CDeviceCommunicate::ParseTimeText(const char* text) {
    return static_cast<uint64_t>(ParseLocalTimeText(text));
}

// ---- posting -------------------------------------------------------------------------

int CDeviceCommunicate::SnapPicture(std::string, int, Snap_Picture_e) { return -1; }

int CDeviceCommunicate::MasterSlaveIntellManualTrack(std::string code, int value) {
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleMasterSlaveManualTrack,
                MasterSlaveManualTrackReq{code, value});
    return 0;
}

int CDeviceCommunicate::MasterSlaveIntellFixedPointTrack(std::string code, unsigned int first,
                                                         unsigned int second) {
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleMasterSlaveFixedPointTrack,
                MasterSlaveFixedPointTrackReq{code, first, second});
    return 0;
}

int CDeviceCommunicate::StartRecord(const StartRemoteRecordReq& req) {
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleStartRemoteRecord, req);
    return 0;
}

int CDeviceCommunicate::StopRecord(const StopRemoteRecordReq& req) {
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleStopRemoteRecord, req);
    return 0;
}

int CDeviceCommunicate::StartAPPChannelRecord(const StartAPPRemoteRecordReq& req) {
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleStartAPPRemoteRecord, req);
    return 0;
}

int CDeviceCommunicate::StopAPPChannelRecord(const StopAPPRemoteRecordReq& req) {
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleStopAPPRemoteRecord, req);
    return 0;
}

int CDeviceCommunicate::SmartTrackOperate(const Kestrel::SmartTrackOperate& operate) {
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleSmartTrackOperate, operate);
    return 0;
}

int CDeviceCommunicate::OpenVehilceMonitor(const std::vector<std::string>& codes) {
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleVehiclePreviewConfig, codes);
    return 0;
}

int CDeviceCommunicate::GetBindingResource(std::string code, long long tag) {
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleGetResourceBinding,
                ChannelBindResourceReq{code, tag});
    return 0;
}

int CDeviceCommunicate::SetIFrame(std::string code) {
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleSetIFrame, code);
    return 0;
}

bool CDeviceCommunicate::RestartDevice(const std::string& deviceCode) {
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleRestartDevice, deviceCode);
    return true;
}

// ---- handlers ---------------------------------------------------------------------------

// Master/slave tracking has no platform call: the request ends here.
void CDeviceCommunicate::HandleMasterSlaveManualTrack(WeakPtr weak, const MasterSlaveManualTrackReq&) {
    boost::shared_ptr<CDeviceCommunicate> self = weak.lock();
    int sessionId = 0;
    if (!self || !self->GetSession(sessionId)) return;
}

void CDeviceCommunicate::HandleMasterSlaveFixedPointTrack(WeakPtr weak, const MasterSlaveFixedPointTrackReq&) {
    boost::shared_ptr<CDeviceCommunicate> self = weak.lock();
    int sessionId = 0;
    if (!self || !self->GetSession(sessionId)) return;
}

void CDeviceCommunicate::PostRecordResult(CDeviceFunctionParam::EventType type, int result,
                                          const std::string& code, int streamType,
                                          const RemoteRecordResult& outcome) {
    auto param = std::make_shared<CDeviceFunctionParam>(type, result);
    param->SetCode(code);
    param->SetStreamType(streamType);
    param->SetPlanId(outcome.planId);
    param->SetUi64Now(outcome.time);
    PostResultToUI(param);
}

namespace {
RemoteRecordResult ReadRecordResult(int ret, const ZRSDK_RECORD_RESULT& result) {
    RemoteRecordResult outcome;
    if (ret == 0) {
        char time[sizeof(result.timeText) + 1] = {};
        std::memcpy(time, result.timeText, sizeof(result.timeText));
        outcome.planId = result.planId;
        outcome.time = CDeviceCommunicate::ParseTimeText(time);
    }
    return outcome;
}
}  // namespace

void CDeviceCommunicate::HandleStartRemoteRecord(WeakPtr weak, const StartRemoteRecordReq& req) {
    boost::shared_ptr<CDeviceCommunicate> self = weak.lock();
    if (!self) return;
    int sessionId = 0;
    if (!self->GetSession(sessionId)) {
        self->PostRecordResult(CDeviceFunctionParam::DEVICE_EVENT_START_RECORD, kRefused, req.code,
                               req.streamType, RemoteRecordResult());
        return;
    }
    ZRSDK_RECORD_INFO info{};
    vkl::DStr::strcpy_x(info.channelCode, sizeof(info.channelCode), req.code.c_str());
    info.streamType = req.streamType;
    info.secondValue = req.value;
    vkl::DStr::strcpy_x(info.text, sizeof(info.text), req.text.c_str());

    std::string menuCode, menuName;
    self->ResolveMenu(req.menuKey, menuCode, menuName);
    ZRSDK_OPERATE_INFO operate{};
    vkl::DStr::strcpy_x(operate.menuKey, sizeof(operate.menuKey), menuCode.c_str());
    vkl::DStr::strcpy_x(operate.menuName, sizeof(operate.menuName), menuName.c_str());

    ZRSDK_RECORD_RESULT result{};
    const int ret = ZRSDK_StartRemoteRecord(sessionId, &info, &result, &operate);
    self->PostRecordResult(CDeviceFunctionParam::DEVICE_EVENT_START_RECORD, ret, req.code, req.streamType,
                           ReadRecordResult(ret, result));
}

void CDeviceCommunicate::HandleStopRemoteRecord(WeakPtr weak, const StopRemoteRecordReq& req) {
    boost::shared_ptr<CDeviceCommunicate> self = weak.lock();
    if (!self) return;
    int sessionId = 0;
    if (!self->GetSession(sessionId)) {
        self->PostRecordResult(CDeviceFunctionParam::DEVICE_EVENT_STOP_RECORD, kRefused, req.code,
                               req.streamType, RemoteRecordResult());
        return;
    }
    ZRSDK_STOP_RECORD_INFO info{};
    vkl::DStr::strcpy_x(info.channelCode, sizeof(info.channelCode), req.code.c_str());
    info.streamType = req.streamType;
    info.flag = req.flag ? 1 : 0;

    std::string menuCode, menuName;
    self->ResolveMenu(req.menuKey, menuCode, menuName);
    ZRSDK_OPERATE_INFO operate{};
    vkl::DStr::strcpy_x(operate.menuKey, sizeof(operate.menuKey), menuCode.c_str());
    vkl::DStr::strcpy_x(operate.menuName, sizeof(operate.menuName), menuName.c_str());

    ZRSDK_RECORD_RESULT result{};
    const int ret = ZRSDK_StopRemoteRecord(sessionId, &info, &result, &operate);
    self->PostRecordResult(CDeviceFunctionParam::DEVICE_EVENT_STOP_RECORD, ret, req.code, req.streamType,
                           ReadRecordResult(ret, result));
}

void CDeviceCommunicate::HandleStartAPPRemoteRecord(WeakPtr weak, const StartAPPRemoteRecordReq& req) {
    boost::shared_ptr<CDeviceCommunicate> self = weak.lock();
    if (!self) return;
    int sessionId = 0;
    if (!self->GetSession(sessionId)) {
        self->PostRecordResult(CDeviceFunctionParam::DEVICE_EVENT_START_APP_RECORD, kRefused, req.code,
                               req.streamType, RemoteRecordResult());
        return;
    }
    ZRSDK_APP_RECORD_INFO info{};
    vkl::DStr::strcpy_x(info.channelCode, sizeof(info.channelCode), req.code.c_str());
    vkl::DStr::strcpy_x(info.secondCode, sizeof(info.secondCode), req.secondCode.c_str());
    info.streamType = req.streamType;
    info.secondValue = req.value;
    vkl::DStr::strcpy_x(info.text, sizeof(info.text), req.text.c_str());

    ZRSDK_RECORD_RESULT result{};
    const int ret = ZRSDK_StartAPPRemoteRecord(sessionId, &info, &result);
    self->PostRecordResult(CDeviceFunctionParam::DEVICE_EVENT_START_APP_RECORD, ret, req.code,
                           req.streamType, ReadRecordResult(ret, result));
}

void CDeviceCommunicate::HandleStopAPPRemoteRecord(WeakPtr weak, const StopAPPRemoteRecordReq& req) {
    boost::shared_ptr<CDeviceCommunicate> self = weak.lock();
    if (!self) return;
    int sessionId = 0;
    if (!self->GetSession(sessionId)) {
        self->PostRecordResult(CDeviceFunctionParam::DEVICE_EVENT_STOP_APP_RECORD, kRefused, req.code,
                               req.streamType, RemoteRecordResult());
        return;
    }
    ZRSDK_STOP_APP_RECORD_INFO info{};  // the second code is not sent
    vkl::DStr::strcpy_x(info.channelCode, sizeof(info.channelCode), req.code.c_str());
    info.streamType = req.streamType;
    info.flag = req.flag ? 1 : 0;

    ZRSDK_RECORD_RESULT result{};
    const int ret = ZRSDK_StopAPPRemoteRecord(sessionId, &info, &result);
    self->PostRecordResult(CDeviceFunctionParam::DEVICE_EVENT_STOP_APP_RECORD, ret, req.code,
                           req.streamType, ReadRecordResult(ret, result));
}

// The platform's answer to a smart-track operation is not reported.
void CDeviceCommunicate::HandleSmartTrackOperate(WeakPtr weak, const Kestrel::SmartTrackOperate& req) {
    boost::shared_ptr<CDeviceCommunicate> self = weak.lock();
    int sessionId = 0;
    if (!self || !self->GetSession(sessionId)) return;
    ZRSDK_SMARTTRACK_OPERATE operate{};
    vkl::DStr::strcpy_x(operate.code, sizeof(operate.code), req.code.c_str());
    operate.value2 = req.value2;
    operate.value1 = req.value1;
    operate.flag = req.flag ? 1 : 0;
    operate.version = 1;
    operate.value3 = req.value3;
    for (int i = 0; i < 6; ++i) operate.values[i] = req.values[i];
    vkl::DStr::sprintf_x(operate.operatorTag, sizeof(operate.operatorTag), "%s", g_operatorTag.c_str());
    ZRSDK_SmartTrackOperate(sessionId, &operate);
}

// The platform's answer to a vehicle-monitoring request is not reported.
void CDeviceCommunicate::HandleVehiclePreviewConfig(WeakPtr weak, const std::vector<std::string>& codes) {
    boost::shared_ptr<CDeviceCommunicate> self = weak.lock();
    int sessionId = 0;
    if (!self || !self->GetSession(sessionId)) return;
    ZRSDK_VEHICLE_PREVIEW preview{};
    preview.count = static_cast<uint32_t>(codes.size());
    std::unique_ptr<char[][64]> slots;
    if (!codes.empty()) {
        slots.reset(new char[codes.size()][64]());
        for (std::size_t i = 0; i < codes.size(); ++i) vkl::DStr::strcpy_x(slots[i], 64, codes[i].c_str());
        preview.codes = slots.get();
    }
    ZRSDK_VehiclePreviewConfig(sessionId, &preview);
}

void CDeviceCommunicate::HandleSetIFrame(WeakPtr weak, const std::string& code) {
    boost::shared_ptr<CDeviceCommunicate> self = weak.lock();
    int sessionId = 0;
    if (!self || !self->GetSession(sessionId)) return;
    // The platform takes a channel code of at most 63 characters.
    char channel[64] = {};
    vkl::DStr::strcpy_x(channel, sizeof(channel), code.c_str());
    const int ret = ZRSDK_GetFlowSetIFrame(sessionId, channel);
    if (ret != 0)
        vkl::DPrintLog::instance()->Log(vkl::LOG_LEVEL_WARN, "DeviceCommunicate", 941,
                                        "Kestrel::CDeviceCommunicate::HandleSetIFrame", "",
                                        "Set SetIFrame failed. errorcode = %d", ret);
}

void CDeviceCommunicate::HandleRestartDevice(WeakPtr weak, const std::string& deviceCode) {
    boost::shared_ptr<CDeviceCommunicate> self = weak.lock();
    if (!self) return;
    self->HandleResetDevice(deviceCode);
}

}  // namespace Kestrel
