#pragma once
// The device worker: turns device requests into platform calls on the SDK
// pool, and device events of the server into CDeviceFunctionParam objects.
#include <array>
#include <atomic>
#include <string>
#include <vector>

#include "device/device_requests.h"
#include "kestrel/device_function_param.h"
#include "kestrel/device_function_external.h"
#include "kestrel/notify_records.h"
#include "tasks/task_worker.h"

struct ZRSDK_RESOURCE_BINDING;
namespace Datahub { class CInterfaceSetManager; }
namespace AccountLogic {
class CUserManagerExternal;
class CLoginManagerExternal;
}  // namespace AccountLogic

namespace Kestrel {

// The smart-track object record of the server event, carried whole.
using SmartTrackObjectRecord = std::array<unsigned char, 88>;

class CDeviceCommunicate : public CTaskWorker<CDeviceCommunicate> {
public:
    CDeviceCommunicate();
    virtual ~CDeviceCommunicate();

    // Keeps the user manager and its login manager; false for a null set.
    bool Init(Datahub::CInterfaceSetManager* set);
    // Forgets both managers: requests handled afterwards are refused (-1
    // where they report a result) without reaching the platform.
    void UnInit();

    // Requests: each posts a copy under "CDeviceCommunicate" and returns at once.
    int SnapPicture(std::string code, int value, Snap_Picture_e type);
    int MasterSlaveIntellManualTrack(std::string code, int value);
    int MasterSlaveIntellFixedPointTrack(std::string code, unsigned int first, unsigned int second);
    int StartRecord(StartRemoteRecordReq req);
    int StopRecord(StopRemoteRecordReq req);
    int StartAPPChannelRecord(StartAPPRemoteRecordReq req);
    // Reached by no façade operation; kept for the platform's APP recording.
    int StopAPPChannelRecord(StopAPPRemoteRecordReq req);
    int SmartTrackOperate(const Kestrel::SmartTrackOperate& operate);
    int OpenVehilceMonitor(const std::vector<std::string>& codes);
    virtual int GetBindingResource(std::string code, long long tag);
    int SetIFrame(std::string code);
    bool RestartDevice(const std::string& deviceCode);

    // Server events (login connection thread): checked, copied, posted.
    void OnSmartTrackObjectNotify(const void* data, unsigned int length);
    void OnTrafficInfoNotify(const void* data, unsigned int length);
    void OnTrafficRealAlarmInfo(const void* data, unsigned int length);
    void OnTrafficScoreAlarmInfo(const void* data, unsigned int length);
    void OnIMSAlarmInfoNotify(const void* data, unsigned int length);

    // 14-digit local time text to seconds since 1970; 0 for null, for text
    // that does not hold six numbers, and for times before 1970.
    static uint64_t ParseTimeText(const char* text);

    // Callback of the binding query: deep-copies message 3401 into the
    // ZRSDK_RESOURCE_BINDING record passed as user, replacing what an
    // earlier delivery left there.
    static void OnResourceBindingData(int message, const void* data, unsigned int length, void* user);
    // Frees the groups and items the callback copied into the record.
    static void ReleaseResourceBinding(ZRSDK_RESOURCE_BINDING* binding);

private:
    // Session id of the logged-in user; false when there is no user manager.
    bool GetSession(int& sessionId) const;
    void PostRecordResult(CDeviceFunctionParam::EventType type, int result, const std::string& code,
                          int streamType, const RemoteRecordResult& outcome);

    template <class Call>
    static void RunRecordCall(WeakPtr weak, CDeviceFunctionParam::EventType type, const std::string& code,
                              int streamType, Call call);
    static void HandleMasterSlaveManualTrack(WeakPtr weak, const MasterSlaveManualTrackReq& req);
    static void HandleMasterSlaveFixedPointTrack(WeakPtr weak, const MasterSlaveFixedPointTrackReq& req);
    static void HandleStartRemoteRecord(WeakPtr weak, const StartRemoteRecordReq& req);
    static void HandleStopRemoteRecord(WeakPtr weak, const StopRemoteRecordReq& req);
    static void HandleStartAPPRemoteRecord(WeakPtr weak, const StartAPPRemoteRecordReq& req);
    static void HandleStopAPPRemoteRecord(WeakPtr weak, const StopAPPRemoteRecordReq& req);
    static void HandleSmartTrackOperate(WeakPtr weak, const Kestrel::SmartTrackOperate& req);
    static void HandleVehiclePreviewConfig(WeakPtr weak, const std::vector<std::string>& codes);
    static void HandleGetResourceBinding(WeakPtr weak, const ChannelBindResourceReq& req);
    static void HandleSetIFrame(WeakPtr weak, const std::string& code);
    static void HandleRestartDevice(WeakPtr weak, const std::string& deviceCode);
    // The REST exchange of a device restart; the outcome is only logged.
    void HandleResetDevice(const std::string& deviceCode);

    static void HandleSmartTrackObjectNotify(WeakPtr weak, const SmartTrackObjectRecord& record);
    static void HandleTrafficInfoNotify(WeakPtr weak, const TrafficInfoNotify& info);
    static void HandleTrafficRealAlarmInfo(WeakPtr weak, const TrafficRealAlarmInfo& info);
    static void HandleTrafficScoreAlarmInfo(WeakPtr weak, const TrafficScoreAlarmInfo& info);
    static void HandleIMSAlarmInfoNotify(WeakPtr weak, const IMSAlarmInfoNotify& info);

    // Read on pool threads, cleared by UnInit on the host's thread.
    std::atomic<AccountLogic::CUserManagerExternal*> m_userManager{nullptr};
    std::atomic<AccountLogic::CLoginManagerExternal*> m_loginManager{nullptr};
};

}  // namespace Kestrel
