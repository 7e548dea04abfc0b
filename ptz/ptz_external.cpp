#include "kestrel/ptz_external.h"

#include "ptz/ptz_external_p.h"

namespace Kestrel {

KESTREL_FACADE_BASICS(CPtzExternal, CPtzDelegate)

int CPtzExternal::PtzDirection(std::string code, Direction_e direction, bool stop, int speed, const std::string& menuKey) {
    return d_func()->m_delegate->PtzDirection(code, direction, stop, speed, menuKey);
}

int CPtzExternal::PtzControl(std::string code, Ptz_Operator_e op, bool stop, int speed, const std::string& menuKey) {
    return d_func()->m_delegate->PtzControl(code, op, stop, speed, menuKey);
}

int CPtzExternal::PtzSite(std::string code, double x, double y, double z, int value) {
    return d_func()->m_delegate->PtzSite(code, x, y, z, value);
}

int CPtzExternal::PtzSiteEx(PtzSiteParam& param, const std::string& menuKey) {
    return d_func()->m_delegate->PtzSiteEx(param, menuKey);
}

void CPtzExternal::RainWiper(std::string code, PtzOperation& op) {
    d_func()->m_delegate->RainWiper(code, op);
}

void CPtzExternal::SetScanMargin(std::string code, PtzOperation& op) {
    d_func()->m_delegate->SetScanMargin(code, op);
}

void CPtzExternal::AutoScan(std::string code, PtzOperation& op) {
    d_func()->m_delegate->AutoScan(code, op);
}

void CPtzExternal::SetMotionPolicy(const PtzMotionPolicy& policy) {
    d_func()->m_delegate->SetMotionPolicy(policy);
}

PtzMotionPolicy CPtzExternal::GetMotionPolicy() {
    return d_func()->m_delegate->GetMotionPolicy();
}

int CPtzExternal::SetLock(std::string code, Lock_e lock, int reserved, const std::string& menuKey, int lockTime) {
    return d_func()->m_delegate->SetLock(code, lock, reserved, menuKey, lockTime);
}

int CPtzExternal::QueryLockState(std::string code) {
    return d_func()->m_delegate->QueryLockState(code);
}

bool CPtzExternal::IsLock(std::string code) {
    return d_func()->m_delegate->IsLock(code);
}

int CPtzExternal::DelLockCamera(std::string code) {
    return d_func()->m_delegate->DelLockCamera(code);
}

void CPtzExternal::SetMaxLockTime(int seconds) {
    d_func()->m_delegate->SetMaxLockTime(seconds);
}

int CPtzExternal::QueryPrePoint(std::string code, bool ar) {
    return d_func()->m_delegate->QueryPrePoint(code, ar);
}

std::vector<PrePointInfo> CPtzExternal::GetPrePointInfo(std::string code) {
    return d_func()->m_delegate->GetPrePointInfo(code);
}

int CPtzExternal::OperatorPrePoint(PrePoint_Oper_e op, std::string code, unsigned int index, std::string& name, const std::string& menuKey) {
    return d_func()->m_delegate->OperatorPrePoint(op, code, index, name, menuKey);
}

int CPtzExternal::QueryCruisePreset(std::string code, int reserved, std::string menuKey) {
    return d_func()->m_delegate->QueryCruisePreset(code, reserved, menuKey);
}

std::vector<CruisePresetInfo> CPtzExternal::GetCruisePresetInfo(std::string code) {
    return d_func()->m_delegate->GetCruisePresetInfo(code);
}

int CPtzExternal::AddCruisePreset(std::string code, const std::vector<CruisePresetInfo>& list, std::string menuKey) {
    return d_func()->m_delegate->AddCruisePreset(code, list, menuKey);
}

int CPtzExternal::QueryGuardPreset(std::string code, int value, std::string menuKey) {
    return d_func()->m_delegate->QueryGuardPreset(code, value, menuKey);
}

std::vector<CruisePresetInfo> CPtzExternal::GetGuardPresetInfo(std::string code) {
    return d_func()->m_delegate->GetGuardPresetInfo(code);
}

int CPtzExternal::AddGuardPreset(std::string code, int value, std::vector<CruisePresetInfo>& list, std::string menuKey) {
    return d_func()->m_delegate->AddGuardPreset(code, value, list, menuKey);
}

long CPtzExternal::GetGuardPresetId(std::string code) {
    return d_func()->m_delegate->GetGuardPresetId(code);
}

int CPtzExternal::DelGuardPreset(std::string code, long id, std::string menuKey) {
    return d_func()->m_delegate->DelGuardPreset(code, id, menuKey);
}

int CPtzExternal::SetIdleMonitor(std::string code, PtzIdleMotior& motion, std::string menuKey) {
    return d_func()->m_delegate->SetIdleMonitor(code, motion, menuKey);
}

}  // namespace Kestrel
