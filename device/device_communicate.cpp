#include "device/device_communicate.h"

#include <cstring>
#include <memory>
#include <utility>

#include "accountlogic/login_manager.h"
#include "accountlogic/user_manager.h"
#include "datahub/interface_set_manager.h"
#include "kestrel/device_function_param.h"
#include "tasks/platform_user.h"
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
    return ReadSessionId(m_userManager.load(), sessionId);
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

int CDeviceCommunicate::StartRecord(StartRemoteRecordReq req) {
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleStartRemoteRecord, std::move(req));
    return 0;
}

int CDeviceCommunicate::StopRecord(StopRemoteRecordReq req) {
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleStopRemoteRecord, std::move(req));
    return 0;
}

int CDeviceCommunicate::StartAPPChannelRecord(StartAPPRemoteRecordReq req) {
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleStartAPPRemoteRecord, std::move(req));
    return 0;
}

int CDeviceCommunicate::StopAPPChannelRecord(StopAPPRemoteRecordReq req) {
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleStopAPPRemoteRecord, std::move(req));
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
        outcome.planId = result.planId;
        outcome.time = CDeviceCommunicate::ParseTimeText(FieldText(result.timeText).c_str());
    }
    return outcome;
}
}  // namespace

// The four recording calls share one shape: without a user the request is
// refused with -1; otherwise `call` fills the platform's records and makes
// the call; the outcome is reported whatever the platform answered.
template <class Call>
void CDeviceCommunicate::RunRecordCall(WeakPtr weak, CDeviceFunctionParam::EventType type, const std::string& code,
                                       int streamType, Call call) {
    boost::shared_ptr<CDeviceCommunicate> self = weak.lock();
    if (!self) return;
    int sessionId = 0;
    int ret = kRefused;
    ZRSDK_RECORD_RESULT result{};
    if (self->GetSession(sessionId)) ret = call(*self, sessionId, result);
    self->PostRecordResult(type, ret, code, streamType, ReadRecordResult(ret, result));
}

void CDeviceCommunicate::HandleStartRemoteRecord(WeakPtr weak, const StartRemoteRecordReq& req) {
    RunRecordCall(weak, CDeviceFunctionParam::DEVICE_EVENT_START_RECORD, req.code, req.streamType,
                  [&](CDeviceCommunicate& self, int sessionId, ZRSDK_RECORD_RESULT& result) {
                      ZRSDK_RECORD_INFO info{};
                      CopyText(info.channelCode, req.code);
                      info.streamType = req.streamType;
                      info.secondValue = req.value;
                      CopyText(info.text, req.text);
                      ZRSDK_OPERATE_INFO operate;
                      FillOperateInfo(self.m_loginManager.load(), req.menuKey, operate);
                      return ZRSDK_StartRemoteRecord(sessionId, &info, &result, &operate);
                  });
}

void CDeviceCommunicate::HandleStopRemoteRecord(WeakPtr weak, const StopRemoteRecordReq& req) {
    RunRecordCall(weak, CDeviceFunctionParam::DEVICE_EVENT_STOP_RECORD, req.code, req.streamType,
                  [&](CDeviceCommunicate& self, int sessionId, ZRSDK_RECORD_RESULT& result) {
                      ZRSDK_STOP_RECORD_INFO info{};
                      CopyText(info.channelCode, req.code);
                      info.streamType = req.streamType;
                      info.flag = req.flag ? 1 : 0;
                      ZRSDK_OPERATE_INFO operate;
                      FillOperateInfo(self.m_loginManager.load(), req.menuKey, operate);
                      return ZRSDK_StopRemoteRecord(sessionId, &info, &result, &operate);
                  });
}

void CDeviceCommunicate::HandleStartAPPRemoteRecord(WeakPtr weak, const StartAPPRemoteRecordReq& req) {
    RunRecordCall(weak, CDeviceFunctionParam::DEVICE_EVENT_START_APP_RECORD, req.code, req.streamType,
                  [&](CDeviceCommunicate&, int sessionId, ZRSDK_RECORD_RESULT& result) {
                      ZRSDK_APP_RECORD_INFO info{};
                      CopyText(info.channelCode, req.code);
                      CopyText(info.secondCode, req.secondCode);
                      info.streamType = req.streamType;
                      info.secondValue = req.value;
                      CopyText(info.text, req.text);
                      return ZRSDK_StartAPPRemoteRecord(sessionId, &info, &result);
                  });
}

void CDeviceCommunicate::HandleStopAPPRemoteRecord(WeakPtr weak, const StopAPPRemoteRecordReq& req) {
    RunRecordCall(weak, CDeviceFunctionParam::DEVICE_EVENT_STOP_APP_RECORD, req.code, req.streamType,
                  [&](CDeviceCommunicate&, int sessionId, ZRSDK_RECORD_RESULT& result) {
                      ZRSDK_STOP_APP_RECORD_INFO info{};  // the second code is not sent
                      CopyText(info.channelCode, req.code);
                      info.streamType = req.streamType;
                      info.flag = req.flag ? 1 : 0;
                      return ZRSDK_StopAPPRemoteRecord(sessionId, &info, &result);
                  });
}

// The platform's answer to a smart-track operation is not reported.
void CDeviceCommunicate::HandleSmartTrackOperate(WeakPtr weak, const Kestrel::SmartTrackOperate& req) {
    boost::shared_ptr<CDeviceCommunicate> self = weak.lock();
    int sessionId = 0;
    if (!self || !self->GetSession(sessionId)) return;
    ZRSDK_SMARTTRACK_OPERATE operate{};
    CopyText(operate.code, req.code);
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
        for (std::size_t i = 0; i < codes.size(); ++i) CopyText(slots[i], codes[i]);
        preview.codes = slots.get();
    }
    ZRSDK_VehiclePreviewConfig(sessionId, &preview);
}

void CDeviceCommunicate::HandleSetIFrame(WeakPtr weak, const std::string& code) {
    boost::shared_ptr<CDeviceCommunicate> self = weak.lock();
    int sessionId = 0;
    if (!self || !self->GetSession(sessionId)) return;
    const int ret = ZRSDK_GetFlowSetIFrame(sessionId, code.c_str());
    if (ret != 0)
        vkl::DPrintLog::instance()->Log("DeviceCommunicate", 941, "Kestrel::CDeviceCommunicate::HandleSetIFrame", "",
                                        vkl::LOG_LEVEL_WARN, "Set SetIFrame failed. errorcode = %d", ret);
}

void CDeviceCommunicate::HandleRestartDevice(WeakPtr weak, const std::string& deviceCode) {
    boost::shared_ptr<CDeviceCommunicate> self = weak.lock();
    if (!self) return;
    self->HandleResetDevice(deviceCode);
}

}  // namespace Kestrel
