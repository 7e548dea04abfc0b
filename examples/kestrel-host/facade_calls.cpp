#include "facade_calls.h"

#include "host_session.h"
#include "kestrel/device_function_param.h"
#include "kestrel/face_function_param.h"
#include "kestrel/ptz_external.h"
#include "kestrel/ptz_param.h"
#include "platform_events.h"

namespace kestrel_host {

namespace {

using Kestrel::CDeviceFunctionParam;
using Kestrel::CPtzParam;

AnswerMatch DeviceEvent(int type) {
    AnswerMatch match;
    match.facade = Facade::Device;
    match.eventTypes = {type};
    return match;
}

AnswerMatch PtzBySeq(std::vector<int> types) {
    AnswerMatch match;
    match.facade = Facade::Ptz;
    match.eventTypes = std::move(types);
    match.bySeq = true;
    return match;
}

// PTZ answers that carry no seq: in sending order, for the same channel.
AnswerMatch PtzForCode(int type, const std::string& code) {
    AnswerMatch match;
    match.facade = Facade::Ptz;
    match.eventTypes = {type};
    match.accept = [code](const EventRecord& event) { return event.Text("code") == code; };
    return match;
}

AnswerMatch PtzInOrder(int type) {
    AnswerMatch match;
    match.facade = Facade::Ptz;
    match.eventTypes = {type};
    return match;
}

bool NotRefused(int value) { return value != -1; }

}  // namespace

// ---- device functions ----------------------------------------------------------------------

int FacadeCalls::StartRecord(const std::string& code, int streamType, int value, const std::string& text,
                             const std::string& menuKey, Expect expect) {
    return m_session.Tracker().Send("StartRecord", code, DeviceEvent(CDeviceFunctionParam::DEVICE_EVENT_START_RECORD),
                                    expect, [&] {
                                        return m_session.Device().StartRecord(code, streamType, value, text, menuKey);
                                    });
}

int FacadeCalls::StopRecord(const std::string& code, int streamType, bool flag, const std::string& menuKey,
                            Expect expect) {
    return m_session.Tracker().Send("StopRecord", code, DeviceEvent(CDeviceFunctionParam::DEVICE_EVENT_STOP_RECORD),
                                    expect, [&] { return m_session.Device().StopRecord(code, streamType, flag, menuKey); });
}

int FacadeCalls::StartAPPChannelRecord(const std::string& code, const std::string& secondCode, int streamType,
                                       int value, const std::string& text, Expect expect) {
    return m_session.Tracker().Send(
        "StartAPPChannelRecord", code, DeviceEvent(CDeviceFunctionParam::DEVICE_EVENT_START_APP_RECORD), expect,
        [&] { return m_session.Device().StartAPPChannelRecord(code, secondCode, streamType, value, text); });
}

int FacadeCalls::GetBindingResource(const std::string& code, long long tag, Expect expect) {
    AnswerMatch match = DeviceEvent(CDeviceFunctionParam::DEVICE_EVENT_BINDING_RESOURCE);
    // The tag comes back in Ui64Now.
    match.accept = [tag](const EventRecord& event) {
        return static_cast<unsigned long long>(event.Int("ui64Now")) == static_cast<unsigned long long>(tag);
    };
    return m_session.Tracker().Send("GetBindingResource", code, match, expect,
                                    [&] { return m_session.Device().GetBindingResource(code, tag); });
}

int FacadeCalls::SetIFrame(const std::string& code) {
    m_session.Tracker().NoteEffect("SetIFrame");
    return m_session.Device().SetIFrame(code);
}

int FacadeCalls::SmartTrackOperate(const Kestrel::SmartTrackOperate& operate) {
    m_session.Tracker().NoteEffect("SmartTrackOperate");
    return m_session.Device().SmartTrackOperate(operate);
}

int FacadeCalls::OpenVehilceMonitor(const std::vector<std::string>& codes) {
    m_session.Tracker().NoteEffect("OpenVehilceMonitor");
    return m_session.Device().OpenVehilceMonitor(codes);
}

bool FacadeCalls::RestartDevice(const std::string& deviceCode) {
    m_session.Tracker().NoteEffect("RestartDevice");
    return m_session.Device().RestartDevice(deviceCode);
}

int FacadeCalls::SnapPicture(const std::string& code, int value, int type) {
    const int ret = m_session.Device().SnapPicture(code, value, static_cast<Kestrel::Snap_Picture_e>(type));
    m_session.Tracker().NoteLocal("SnapPicture", ret);
    return ret;
}

int FacadeCalls::MasterSlaveIntellManualTrack(const std::string& code, int value) {
    m_session.Tracker().NoteEffect("MasterSlaveIntellManualTrack");
    return m_session.Device().MasterSlaveIntellManualTrack(code, value);
}

int FacadeCalls::MasterSlaveIntellFixedPointTrack(const std::string& code, unsigned int first, unsigned int second) {
    m_session.Tracker().NoteEffect("MasterSlaveIntellFixedPointTrack");
    return m_session.Device().MasterSlaveIntellFixedPointTrack(code, first, second);
}

// ---- PTZ: movement and positioning ----------------------------------------------------------

int FacadeCalls::PtzDirection(const std::string& code, int direction, bool stop, int speed,
                              const std::string& menuKey, Expect expect) {
    return m_session.Tracker().Send("PtzDirection", code, PtzBySeq({CPtzParam::PTZ_EVENT_DIRECTION}), expect, [&] {
        return m_session.Ptz().PtzDirection(code, static_cast<Kestrel::Direction_e>(direction), stop, speed, menuKey);
    });
}

int FacadeCalls::PtzControl(const std::string& code, int op, bool stop, int speed, const std::string& menuKey,
                            Expect expect) {
    return m_session.Tracker().Send(
        "PtzControl", code, PtzBySeq({CPtzParam::PTZ_EVENT_CAMERA}), expect,
        [&] {
            return m_session.Ptz().PtzControl(code, static_cast<Kestrel::Ptz_Operator_e>(op), stop, speed, menuKey);
        },
        NotRefused);
}

int FacadeCalls::PtzSite(const std::string& code, double x, double y, double z, int value, Expect expect) {
    return m_session.Tracker().Send("PtzSite", code, PtzBySeq({CPtzParam::PTZ_EVENT_SITE}), expect,
                                    [&] { return m_session.Ptz().PtzSite(code, x, y, z, value); });
}

int FacadeCalls::PtzSiteEx(Kestrel::PtzSiteParam& param, const std::string& menuKey, Expect expect) {
    return m_session.Tracker().Send("PtzSiteEx", param.code, PtzBySeq({CPtzParam::PTZ_EVENT_SITE}), expect,
                                    [&] { return m_session.Ptz().PtzSiteEx(param, menuKey); });
}

void FacadeCalls::RainWiper(const std::string& code, Kestrel::PtzOperation op, Expect expect) {
    m_session.Tracker().Send("RainWiper", code, PtzForCode(CPtzParam::PTZ_EVENT_RAIN_WIPER, code), expect, [&] {
        m_session.Ptz().RainWiper(code, op);
        return 0;
    });
}

void FacadeCalls::SetScanMargin(const std::string& code, Kestrel::PtzOperation op, Expect expect) {
    m_session.Tracker().Send("SetScanMargin", code, PtzForCode(CPtzParam::PTZ_EVENT_SCAN_MARGIN, code), expect, [&] {
        m_session.Ptz().SetScanMargin(code, op);
        return 0;
    });
}

void FacadeCalls::AutoScan(const std::string& code, Kestrel::PtzOperation op, Expect expect) {
    m_session.Tracker().Send("AutoScan", code, PtzForCode(CPtzParam::PTZ_EVENT_AUTO_SCAN, code), expect, [&] {
        m_session.Ptz().AutoScan(code, op);
        return 0;
    });
}

// ---- PTZ lock ---------------------------------------------------------------------------

int FacadeCalls::SetLock(const std::string& code, int lock, int reserved, const std::string& menuKey, int lockTime,
                         Expect expect) {
    return m_session.Tracker().Send("SetLock", code, PtzBySeq({CPtzParam::PTZ_EVENT_LOCK}), expect, [&] {
        return m_session.Ptz().SetLock(code, static_cast<Kestrel::Lock_e>(lock), reserved, menuKey, lockTime);
    });
}

int FacadeCalls::QueryLockState(const std::string& code, Expect expect) {
    return m_session.Tracker().Send("QueryLockState", code, PtzBySeq({CPtzParam::PTZ_EVENT_LOCK}), expect,
                                    [&] { return m_session.Ptz().QueryLockState(code); });
}

bool FacadeCalls::IsLock(const std::string& code) {
    const bool locked = m_session.Ptz().IsLock(code);
    m_session.Tracker().NoteLocal("IsLock", locked ? 1 : 0);
    return locked;
}

int FacadeCalls::DelLockCamera(const std::string& code) {
    const int removed = m_session.Ptz().DelLockCamera(code);
    m_session.Tracker().NoteLocal("DelLockCamera", removed);
    return removed;
}

void FacadeCalls::SetMaxLockTime(int seconds) {
    m_session.Ptz().SetMaxLockTime(seconds);
    m_session.Tracker().NoteLocal("SetMaxLockTime", 0);
}

// ---- presets, cruise, guard presets, idle motion ----------------------------------------------

int FacadeCalls::QueryPrePoint(const std::string& code, bool ar, Expect expect) {
    return m_session.Tracker().Send("QueryPrePoint", code, PtzBySeq({CPtzParam::PTZ_EVENT_QUERY_PRESET_POINTS}),
                                    expect, [&] { return m_session.Ptz().QueryPrePoint(code, ar); });
}

std::vector<Kestrel::PrePointInfo> FacadeCalls::GetPrePointInfo(const std::string& code) {
    std::vector<Kestrel::PrePointInfo> list = m_session.Ptz().GetPrePointInfo(code);
    m_session.Tracker().NoteLocal("GetPrePointInfo", static_cast<long long>(list.size()));
    return list;
}

int FacadeCalls::OperatorPrePoint(int op, const std::string& code, unsigned int index, const std::string& name,
                                  const std::string& menuKey, Expect expect) {
    std::string text = name;
    return m_session.Tracker().Send(
        "OperatorPrePoint", code,
        PtzBySeq({CPtzParam::PTZ_EVENT_PRESET_GOTO, CPtzParam::PTZ_EVENT_PRESET_SET, CPtzParam::PTZ_EVENT_PRESET_DELETE,
                  CPtzParam::PTZ_EVENT_NONE}),
        expect,
        [&] {
            return m_session.Ptz().OperatorPrePoint(static_cast<Kestrel::PrePoint_Oper_e>(op), code, index, text,
                                                    menuKey);
        },
        NotRefused);
}

int FacadeCalls::QueryCruisePreset(const std::string& code, int reserved, const std::string& menuKey, Expect expect) {
    return m_session.Tracker().Send("QueryCruisePreset", code, PtzBySeq({CPtzParam::PTZ_EVENT_QUERY_CRUISE}), expect,
                                    [&] { return m_session.Ptz().QueryCruisePreset(code, reserved, menuKey); });
}

std::vector<Kestrel::CruisePresetInfo> FacadeCalls::GetCruisePresetInfo(const std::string& code) {
    std::vector<Kestrel::CruisePresetInfo> list = m_session.Ptz().GetCruisePresetInfo(code);
    m_session.Tracker().NoteLocal("GetCruisePresetInfo", static_cast<long long>(list.size()));
    return list;
}

int FacadeCalls::AddCruisePreset(const std::string& code, const std::vector<Kestrel::CruisePresetInfo>& list,
                                 const std::string& menuKey, Expect expect) {
    return m_session.Tracker().Send("AddCruisePreset", code, PtzBySeq({CPtzParam::PTZ_EVENT_ADD_CRUISE}), expect,
                                    [&] { return m_session.Ptz().AddCruisePreset(code, list, menuKey); });
}

int FacadeCalls::QueryGuardPreset(const std::string& code, int value, const std::string& menuKey, Expect expect) {
    return m_session.Tracker().Send("QueryGuardPreset", code, PtzBySeq({CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET}),
                                    expect, [&] { return m_session.Ptz().QueryGuardPreset(code, value, menuKey); });
}

std::vector<Kestrel::CruisePresetInfo> FacadeCalls::GetGuardPresetInfo(const std::string& code) {
    std::vector<Kestrel::CruisePresetInfo> list = m_session.Ptz().GetGuardPresetInfo(code);
    m_session.Tracker().NoteLocal("GetGuardPresetInfo", static_cast<long long>(list.size()));
    return list;
}

int FacadeCalls::AddGuardPreset(const std::string& code, int value, std::vector<Kestrel::CruisePresetInfo> list,
                                const std::string& menuKey, Expect expect) {
    return m_session.Tracker().Send("AddGuardPreset", code, PtzInOrder(CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET), expect,
                                    [&] { return m_session.Ptz().AddGuardPreset(code, value, list, menuKey); });
}

long FacadeCalls::GetGuardPresetId(const std::string& code) {
    const long id = m_session.Ptz().GetGuardPresetId(code);
    m_session.Tracker().NoteLocal("GetGuardPresetId", id);
    return id;
}

int FacadeCalls::DelGuardPreset(const std::string& code, long id, const std::string& menuKey, Expect expect) {
    return m_session.Tracker().Send("DelGuardPreset", code, PtzInOrder(CPtzParam::PTZ_EVENT_DEL_GUARD_PRESET), expect,
                                    [&] { return m_session.Ptz().DelGuardPreset(code, id, menuKey); });
}

int FacadeCalls::SetIdleMonitor(const std::string& code, Kestrel::PtzIdleMotior motion, const std::string& menuKey,
                                Expect expect) {
    return m_session.Tracker().Send("SetIdleMonitor", code, PtzInOrder(CPtzParam::PTZ_EVENT_SET_IDLE_MONITOR), expect,
                                    [&] { return m_session.Ptz().SetIdleMonitor(code, motion, menuKey); });
}

// ---- server events ------------------------------------------------------------------------

bool FacadeCalls::Push(const PushKind& kind, const std::map<std::string, std::string>& values, bool broken,
                       Expect expect) {
    const PushPlan plan = BuildPush(kind, values, broken);
    const int session = m_session.SessionId();
    const std::string operation = "push " + kind.name + (broken ? " (broken)" : "");
    if (broken) {
        // Kestrel drops a record it cannot read whole; nothing is awaited.
        m_session.Tracker().NoteEffect(operation);
        return zrsdk::control::Push(session, plan.event);
    }
    const int taken = m_session.Tracker().Send(
        operation, plan.subject, plan.match, expect,
        [&] { return zrsdk::control::Push(session, plan.event) ? 1 : 0; }, [](int pushed) { return pushed == 1; });
    return taken == 1;
}

}  // namespace kestrel_host
