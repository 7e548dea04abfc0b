#pragma once
// The PTZ worker: movement, lens, positioning, wiper and scanning requests,
// the PTZ lock with its automatic release, presets, cruise, guard presets and
// idle motion. Requests run on the SDK pool; results reach the observers on
// the UI loop, the lock-status notice on the "PTZ" pool thread.
#include <array>
#include <atomic>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "kestrel/ptz_motion_policy.h"
#include "kestrel/ptz_param.h"
#include "kestrel/ptz_types.h"
#include "ptz/device_timer.h"
#include "ptz/ptz_motion.h"
#include "ptz/ptz_requests.h"
#include "ptz/timer_listener.h"
#include "tasks/task_worker.h"
#include "vkl/mutex.h"
#include "vkl/ref_obj.h"

struct ZRSDK_OPERATE_INFO;

namespace Datahub { class CInterfaceSetManager; }
namespace AccountLogic {
class CUserManagerExternal;
class CLoginManagerExternal;
}  // namespace AccountLogic
namespace ResourceTree { class CGroupManagerExternal; }

namespace Kestrel {

// The benchmarks' way into the lock table and the caches (bench/).
class CPtzBenchAccess;

using LockStatusRecord = std::array<unsigned char, 344>;

class CPtz : public CTaskWorker<CPtz>, public ITimerListener {
public:
    CPtz();
    // Stops a lock timer that UnInit did not stop, so no tick can reach a
    // destroyed worker.
    ~CPtz() override;

    // True only when the resource tree, the user and the login manager are
    // all there; the worker is used in any case.
    bool Init(Datahub::CInterfaceSetManager* set);
    // Stops the lock timer, empties the lock table and forgets the managers;
    // the preset, cruise and guard caches stay.
    void UnInit();

    // Movement and positioning; each returns the request's sequence number.
    int PtzDirection(const std::string& code, int direction, bool stop, int speed,
                     const std::string& menuKey);
    int PtzControl(const std::string& code, int op, bool stop, int speed, const std::string& menuKey);
    int PtzSite(const PtzSiteParam& param, const std::string& menuKey);
    void RainWiper(const std::string& code, const PtzOperation& op);
    void SetScanMargin(const std::string& code, const PtzOperation& op);
    void AutoScan(const std::string& code, const PtzOperation& op);
    void SetMotionPolicy(const PtzMotionPolicy& policy) { m_motion.SetPolicy(policy); }
    PtzMotionPolicy GetMotionPolicy() { return m_motion.Policy(); }

    // The PTZ lock.
    int SetLock(const std::string& code, int lock, const std::string& menuKey, int lockTime);
    int QueryLockState(const std::string& code);
    bool IsLock(const std::string& code);
    int DelLockCamera(const std::string& code);
    void SetMaxLockTime(int seconds);
    void OnLockStatusNotify(const void* data, unsigned int size);
    void OnTimer(unsigned int timerId) override;

    // Presets, cruise and guard presets.
    int QueryPrePoint(const std::string& code, bool ar);
    std::vector<PrePointInfo> GetPrePointInfo(const std::string& code);
    int OperatorPrePoint(int op, const std::string& code, unsigned int index, const std::string& name,
                         const std::string& menuKey);
    int QueryCruisePreset(const std::string& code, const std::string& menuKey);
    std::vector<CruisePresetInfo> GetCruisePresetInfo(const std::string& code);
    int AddCruisePreset(const std::string& code, const std::vector<CruisePresetInfo>& list,
                        const std::string& menuKey);
    int QueryGuardPreset(const std::string& code, int value, const std::string& menuKey);
    std::vector<CruisePresetInfo> GetGuardPresetInfo(const std::string& code);
    int AddGuardPreset(const std::string& code, int value, const std::vector<CruisePresetInfo>& list,
                       const std::string& menuKey);
    long GetGuardPresetId(const std::string& code);
    int DelGuardPreset(const std::string& code, long id, const std::string& menuKey);
    int SetIdleMonitor(const std::string& code, const PtzIdleMotior& motion, const std::string& menuKey);

    // Callback of the platform's cruise query: copies message 104 (a
    // ZRSDK_CRUISE_PRESET) into the CruiseQueryResult passed as user; other
    // messages, null pointers and records shorter than a ZRSDK_CRUISE_PRESET
    // are ignored. Several deliveries append to the same list.
    static void OnCruisePresetData(int type, void* data, unsigned int length, void* user);
    // Copies of the lock table and the timer state, for diagnostics.
    std::map<std::string, LockCameraInfo> GetLockTable();
    bool IsLockTimerRunning();

private:
    friend class CPtzBenchAccess;

    // Session id of the logged-in user; false when there is no user manager
    // (before Init, after UnInit): the handler then reports -1 without
    // calling the platform.
    bool GetSession(int& sessionId) const;
    // The operator record of a platform call: menu code and name of the key.
    void FillOperateInfo(const std::string& menuKey, ZRSDK_OPERATE_INFO& info) const;
    void PostPtzResult(CPtzParam::EventType type, int result, const std::string& code, int seq);
    void PostMoveResult(CPtzParam::EventType type, int result, const std::string& code, int seq, int value, int start);
    // Queues a move made by the motion policy.
    void PostMove(const PtzMove& move);
    // The answer of a move: its result event, the dead-man's event for a
    // dead-man stop, none for a stop sent while leaving.
    template <class Request>
    void FinishMove(const Request& req, CPtzParam::EventType type, int result, int value);
    // The platform call of one request, made for the logged-in user; without
    // one nothing is sent and the result is -1. call(sessionId) makes the
    // call and returns the platform's code. (Defined in ptz/ptz_call.h.)
    template <class Call>
    int CallForUser(Call call) const;
    // The same with the operator record of the menu key:
    // call(sessionId, operatorRecord).
    template <class Call>
    int CallWithOperator(const std::string& menuKey, Call call) const;
    // The same for calls answered with a PTZ result record, read into
    // outcome as every PTZ answer is: call(sessionId, operatorRecord, result).
    template <class Call>
    int CallWithResult(const std::string& menuKey, PtzOperateResult& outcome, Call call) const;

    // Lock table and timer; all under m_mutex.
    void AddLockCamera(const std::string& code, int duration);
    // 1 when the code was recorded, 0 otherwise.
    int RemoveLockCamera(const std::string& code);
    void ClearLockTable();
    // The lock table after a lock, release or query answered by the platform.
    void ApplyLockOutcome(const PtzArrangePtzReq& req, int ret, int status);
    void UpdateLockTimer();
    void CheckLockTimeout();
    // Stops the timers UpdateLockTimer took out of service; called with
    // m_mutex not held, so that a tick waiting for m_mutex can finish.
    void ReleaseRetiredTimers();
    void PostArrangePtz(const PtzArrangePtzReq& req);

    static void HandlePtzOperateDirectReq(WeakPtr weak, const PtzOperateDirectReq& req);
    static void HandlePtzOperateCameraReq(WeakPtr weak, const PtzOperateCameraReq& req);
    static void HandlePtzSiteReq(WeakPtr weak, const PtzSiteParam& param, const std::string& menuKey);
    static void HandleRainWiperReq(WeakPtr weak, const PtzOperationReq& req);
    static void HandleSetScanMarginReq(WeakPtr weak, const PtzOperationReq& req);
    static void HandleAutoScanReq(WeakPtr weak, const PtzOperationReq& req);
    static void HandlePtzArrangePtzReq(WeakPtr weak, const PtzArrangePtzReq& req);
    static void HandleLockStatusNotify(WeakPtr weak, const LockStatusRecord& record);
    static void HandlePtzGetPresetPointReq(WeakPtr weak, const PtzGetPresetPointReq& req);
    static void HandlePtzOperatePresetPointReq(WeakPtr weak, const PtzOperatePresetPointReq& req);
    static void HandleCruiseGetCruisePresetReq(WeakPtr weak, const CruiseGetCruisePresetReq& req);
    static void HandleCruiseSaveCruisePresetReq(WeakPtr weak, const CruiseSaveCruisePresetReq& req);
    // Guard presets and idle motion go to the management server.
    static void HandleGuardGetCruisePresetTask(WeakPtr weak, const CruiseGetCruisePresetReq& req);
    static void HandleGuardSaveGuardPresetTask(WeakPtr weak, const CruiseSaveCruisePresetReq& req);
    static void HandlDeleGuardPresetTask(WeakPtr weak, const DelCruisePresetReq& req);
    static void HandleSetIdleMonitorTask(WeakPtr weak, const IdleMonitorReq& req);
    int HandleGuardGetCruisePreset(int sessionId, const CruiseGetCruisePresetReq& req);
    int HandleGuardSaveGuardPreset(int sessionId, const CruiseSaveCruisePresetReq& req);
    int HandlDeleGuardPreset(int sessionId, const DelCruisePresetReq& req);
    int HandleSetIdleMonitor(int sessionId, const IdleMonitorReq& req);

    CPtzMotion m_motion;
    std::atomic<ResourceTree::CGroupManagerExternal*> m_groupManager{nullptr};
    std::atomic<AccountLogic::CUserManagerExternal*> m_userManager{nullptr};
    std::atomic<AccountLogic::CLoginManagerExternal*> m_loginManager{nullptr};
    vkl::DMutex m_mutex;
    std::map<std::string, std::vector<PrePointInfo>> m_presetCache;
    std::map<std::string, std::vector<CruisePresetInfo>> m_cruiseCache;
    // The lock table's entries by the second after which they have run out
    // (startTime + duration), so that a tick visits only those. The entries
    // point into m_lockTable, whose elements keep their addresses.
    using LockDeadlines = std::multimap<int64_t, const LockCameraInfo*>;
    struct LockedChannel {
        LockCameraInfo info;
        LockDeadlines::iterator due;
    };
    // Looked up by every IsLock, DelLockCamera and lock answer: hashed, and
    // each entry knows its place among the deadlines, so that these cost
    // the same with ten locked channels or a hundred thousand. Ordered views
    // (ticks, diagnostics) sort what they take.
    std::unordered_map<std::string, LockedChannel> m_lockTable;
    LockDeadlines m_lockDeadlines;
    vkl::DRefPtr<CDeviceTimer> m_timer;
    // Compared by OnTimer before it takes m_mutex.
    std::atomic<unsigned int> m_timerId{kNoTimer};
    int m_maxLockTime = 1800;
    std::map<std::string, std::vector<CruisePresetInfo>> m_guardCache;
    std::map<std::string, int32_t> m_guardTaskId;
    // Timers taken out of service, with their ids, to be stopped outside m_mutex.
    std::vector<std::pair<vkl::DRefPtr<CDeviceTimer>, unsigned int>> m_retiredTimers;
};

}  // namespace Kestrel
