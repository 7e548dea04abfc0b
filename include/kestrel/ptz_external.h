#pragma once
#include <memory>
#include <string>
#include <vector>

#include "kestrel/kestrel_export.h"
#include "kestrel/ptz_motion_policy.h"
#include "kestrel/ptz_types.h"

namespace Datahub { class IObserver; }

namespace Kestrel {

class CPtzDelegate;
class CPtzExternalPrivate;

// PTZ control. Operations that reach the platform return at once with a
// sequence number that comes back in the result's Seq; results arrive on the
// UI loop as CPtzParam objects (the lock-status notice on a pool thread).
// The Get... operations answer from the caches of the last queries.
class KESTREL_API CPtzExternal {
public:
    explicit CPtzExternal(std::shared_ptr<CPtzDelegate> delegate);
    ~CPtzExternal();
    // Binds this handle to the other's delegate; each keeps its own private part.
    CPtzExternal& operator=(const CPtzExternal& other);
    CPtzExternal(const CPtzExternal&) = delete;

    bool RegisterObserver(Datahub::IObserver* observer);
    bool UnRegisterObserver(Datahub::IObserver* observer);

    // Movement and positioning.
    int PtzDirection(std::string code, Direction_e direction, bool stop, int speed,
                     const std::string& menuKey);
    // -1 for an operation outside 0 to 5 (nothing sent).
    int PtzControl(std::string code, Ptz_Operator_e op, bool stop, int speed,
                   const std::string& menuKey);
    int PtzSite(std::string code, double x, double y, double z, int value);
    // Writes the sequence number into param.seq as well.
    int PtzSiteEx(PtzSiteParam& param, const std::string& menuKey);
    void RainWiper(std::string code, PtzOperation& op);
    void SetScanMargin(std::string code, PtzOperation& op);
    void AutoScan(std::string code, PtzOperation& op);

    // The motion policy (ptz_motion_policy.h); all of it is off until set.
    // It applies to requests made from then on.
    void SetMotionPolicy(const PtzMotionPolicy& policy);
    PtzMotionPolicy GetMotionPolicy();

    // The PTZ lock. A granted lock is released by itself once lockTime
    // seconds have passed (PTZ_EVENT_LOCK_EXPIRED, then the release).
    int SetLock(std::string code, Lock_e lock, int reserved, const std::string& menuKey,
                int lockTime);
    int QueryLockState(std::string code);
    bool IsLock(std::string code);
    // 1 when the channel was recorded as locked, 0 otherwise.
    int DelLockCamera(std::string code);
    void SetMaxLockTime(int seconds);

    // Presets, cruise and guard presets.
    int QueryPrePoint(std::string code, bool ar);
    std::vector<PrePointInfo> GetPrePointInfo(std::string code);
    // -1 when the resource tree does not know the channel.
    int OperatorPrePoint(PrePoint_Oper_e op, std::string code, unsigned int index,
                         std::string& name, const std::string& menuKey);
    int QueryCruisePreset(std::string code, int reserved, std::string menuKey);
    std::vector<CruisePresetInfo> GetCruisePresetInfo(std::string code);
    int AddCruisePreset(std::string code, const std::vector<CruisePresetInfo>& list,
                        std::string menuKey);
    int QueryGuardPreset(std::string code, int value, std::string menuKey);
    std::vector<CruisePresetInfo> GetGuardPresetInfo(std::string code);
    int AddGuardPreset(std::string code, int value, std::vector<CruisePresetInfo>& list,
                       std::string menuKey);
    // The server's task id of the last guard-preset save, or -1.
    long GetGuardPresetId(std::string code);
    int DelGuardPreset(std::string code, long id, std::string menuKey);
    int SetIdleMonitor(std::string code, PtzIdleMotior& motion, std::string menuKey);

private:
    CPtzExternalPrivate* d_func();
    const CPtzExternalPrivate* d_func() const;
    CPtzExternalPrivate* d_ptr;
};

}  // namespace Kestrel
