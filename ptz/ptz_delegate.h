#pragma once
#include <string>
#include <vector>

#include "ptz/ptz.h"
#include "tasks/function_delegate.h"

namespace Kestrel {

// Between the PTZ façade and its worker: passes every call on unchanged
// (plain positioning becomes a default PtzSiteParam).
class CPtzDelegate : public CFunctionDelegate<CPtz> {
public:
    using CFunctionDelegate::CFunctionDelegate;

    int PtzDirection(std::string code, Direction_e direction, bool stop, int speed, const std::string& menuKey) {
        return m_spWorker->PtzDirection(code, direction, stop, speed, menuKey);
    }
    int PtzControl(std::string code, Ptz_Operator_e op, bool stop, int speed, const std::string& menuKey) {
        return m_spWorker->PtzControl(code, op, stop, speed, menuKey);
    }
    int PtzSite(std::string code, double x, double y, double z, int value);
    int PtzSiteEx(PtzSiteParam& param, const std::string& menuKey);
    void RainWiper(std::string code, PtzOperation& op) { m_spWorker->RainWiper(code, op); }
    void SetScanMargin(std::string code, PtzOperation& op) { m_spWorker->SetScanMargin(code, op); }
    void AutoScan(std::string code, PtzOperation& op) { m_spWorker->AutoScan(code, op); }
    void SetMotionPolicy(const PtzMotionPolicy& policy) { m_spWorker->SetMotionPolicy(policy); }
    PtzMotionPolicy GetMotionPolicy() { return m_spWorker->GetMotionPolicy(); }

    int SetLock(std::string code, Lock_e lock, int, const std::string& menuKey, int lockTime) {
        return m_spWorker->SetLock(code, lock, menuKey, lockTime);
    }
    int QueryLockState(std::string code) { return m_spWorker->QueryLockState(code); }
    bool IsLock(std::string code) { return m_spWorker->IsLock(code); }
    int DelLockCamera(std::string code) { return m_spWorker->DelLockCamera(code); }
    void SetMaxLockTime(int seconds) { m_spWorker->SetMaxLockTime(seconds); }

    int QueryPrePoint(std::string code, bool ar) { return m_spWorker->QueryPrePoint(code, ar); }
    std::vector<PrePointInfo> GetPrePointInfo(std::string code) { return m_spWorker->GetPrePointInfo(code); }
    int OperatorPrePoint(PrePoint_Oper_e op, std::string code, unsigned int index, std::string& name,
                         const std::string& menuKey) {
        return m_spWorker->OperatorPrePoint(op, code, index, name, menuKey);
    }
    int QueryCruisePreset(std::string code, int, std::string menuKey) {
        return m_spWorker->QueryCruisePreset(code, menuKey);
    }
    std::vector<CruisePresetInfo> GetCruisePresetInfo(std::string code) {
        return m_spWorker->GetCruisePresetInfo(code);
    }
    int AddCruisePreset(std::string code, const std::vector<CruisePresetInfo>& list, std::string menuKey) {
        return m_spWorker->AddCruisePreset(code, list, menuKey);
    }
    int QueryGuardPreset(std::string code, int value, std::string menuKey) {
        return m_spWorker->QueryGuardPreset(code, value, menuKey);
    }
    std::vector<CruisePresetInfo> GetGuardPresetInfo(std::string code) {
        return m_spWorker->GetGuardPresetInfo(code);
    }
    int AddGuardPreset(std::string code, int value, std::vector<CruisePresetInfo>& list, std::string menuKey) {
        return m_spWorker->AddGuardPreset(code, value, list, menuKey);
    }
    long GetGuardPresetId(std::string code) { return m_spWorker->GetGuardPresetId(code); }
    int DelGuardPreset(std::string code, long id, std::string menuKey) {
        return m_spWorker->DelGuardPreset(code, id, menuKey);
    }
    int SetIdleMonitor(std::string code, PtzIdleMotior& motion, std::string menuKey) {
        return m_spWorker->SetIdleMonitor(code, motion, menuKey);
    }

    void OnLockStatusNotify(void* data, unsigned int size) {
        if (m_spWorker) m_spWorker->OnLockStatusNotify(data, size);
    }
};

}  // namespace Kestrel
