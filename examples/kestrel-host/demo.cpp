#include "demo.h"

#include <algorithm>
#include <string>
#include <vector>

#include <boost/json/array.hpp>
#include <boost/json/object.hpp>

#include "demo_checks.h"
#include "event_names.h"
#include "facade_calls.h"
#include "host_session.h"
#include "kestrel/device_function_param.h"
#include "kestrel/face_function_param.h"
#include "kestrel/ptz_external.h"
#include "kestrel/ptz_param.h"
#include "mgmt_server/server.h"
#include "output.h"
#include "platform_events.h"
#include "stats_table.h"
#include "zrsdk/zrsdk_control.h"
#include "zrsdk/zrsdk_errors.h"

namespace kestrel_host {

namespace {

namespace control = zrsdk::control;
using Kestrel::CPtzParam;

// The channels of the stand-in platform the tour uses.
const std::string kCamera = "ch-0001";        // PTZ, presets, cruise, bindings
const std::string kHeldCamera = "ch-0003";    // PTZ; the supervisor locks it
const std::string kShortLock = "ch-0005";     // PTZ; a one-second lock runs out
const std::string kFixedCamera = "ch-0002";   // no PTZ
const std::string kMenuPtz = "menu.ptz";
const std::string kMenuRecord = "menu.record";
constexpr int kLockRefused = -501;

class Demo {
public:
    explicit Demo(HostSession& session) : m_session(session), m_calls(session), m_out(session.Out()) {}

    int Run() {
        m_session.Hub().SetListener([this](const EventRecord& event) { m_checks.OnEvent(event); });
        ShortLock();
        DeviceFunctions();
        Movement();
        DeadMan();
        GrantedLock();
        RefusedLock();
        Presets();
        Cruise();
        GuardPresetsAndIdleMotion();
        ServerEvents();
        WaitForShortLock();
        m_session.Hub().SetListener({});
        return Report();
    }

private:
    // Until every request sent so far is answered and the host is idle.
    void Settle(const std::string& phase) {
        if (!m_session.WaitAll(m_session.Options().timeout))
            m_checks.Check(false, "everything answered after " + phase);
    }

    void ExpectPtz(const std::string& what, int type, const std::string& code, int result,
                   std::function<bool(const EventRecord&)> more = {}) {
        m_checks.ExpectEvent(what, [=](const EventRecord& e) {
            return e.facade == Facade::Ptz && e.type == type && e.Text("code") == code && e.result == result &&
                   (!more || more(e));
        });
    }

    void ShortLock() {
        m_out.Section("a PTZ lock of one second on " + kShortLock + " (it runs out while the tour goes on)");
        ExpectPtz("PTZ_EVENT_LOCK_EXPIRED for " + kShortLock, CPtzParam::PTZ_EVENT_LOCK_EXPIRED, kShortLock, 0);
        ExpectPtz("the automatic release of " + kShortLock, CPtzParam::PTZ_EVENT_LOCK, kShortLock, 0,
                  [](const EventRecord& e) { return e.Int("param") == Kestrel::UNLOCK_PTZ; });
        m_calls.SetLock(kShortLock, Kestrel::LOCK_PTZ, 0, kMenuPtz, 1, 0);
    }

    void DeviceFunctions() {
        m_out.Section("device functions on " + kCamera);
        m_calls.StartRecord(kCamera, 0, 0, "demo", kMenuRecord, 0);
        m_calls.StopRecord(kCamera, 0, false, kMenuRecord, 0);
        m_calls.StartAPPChannelRecord(kCamera, "app-0001", 0, 0, "demo", 0);
        Kestrel::SmartTrackOperate track;
        track.code = kCamera;
        track.value1 = 1;
        track.value2 = 2;
        track.values[0] = 100;
        track.values[1] = 200;
        m_calls.SmartTrackOperate(track);
        m_calls.OpenVehilceMonitor({kCamera, kFixedCamera});
        m_calls.GetBindingResource(kCamera, 4711, 0);
        const int iFramesBefore = control::GetIFrameRequests(kCamera);
        m_calls.SetIFrame(kCamera);
        m_calls.RestartDevice("dev-0001");
        m_calls.MasterSlaveIntellManualTrack(kCamera, 1);
        m_calls.MasterSlaveIntellFixedPointTrack(kCamera, 1, 2);
        m_checks.Check(m_calls.SnapPicture(kCamera, 0, 0) == -1, "SnapPicture returns -1 (not offered)");
        Settle("the device functions");

        m_checks.Check(control::GetIFrameRequests(kCamera) == iFramesBefore + 1, "the platform saw the I-frame request");
        m_checks.Check(!control::GetSmartTrackOperations(kCamera).empty(), "the platform saw the smart-track operation");
        m_checks.Check(control::GetVehiclePreviewCodes() == std::vector<std::string>{kCamera, kFixedCamera},
                       "the platform took the vehicle-monitoring channels");
        if (mgmt::Server* server = m_session.LocalServer()) {
            const auto restarted = server->GetStore().RestartedDevices();
            m_checks.Check(std::find(restarted.begin(), restarted.end(), "dev-0001") != restarted.end(),
                           "the management server was asked to restart dev-0001");
        }
    }

    void Movement() {
        m_out.Section("PTZ movement, lens, positioning, wiper and scanning on " + kCamera);
        for (int direction = Kestrel::DIRECTION_UP; direction <= Kestrel::DIRECTION_RIGHT_DOWN; ++direction) {
            m_calls.PtzDirection(kCamera, direction, false, 5, kMenuPtz, 0);
            m_calls.PtzDirection(kCamera, direction, true, 5, kMenuPtz, 0);
        }
        for (int op = Kestrel::PTZ_OPERATOR_0; op <= Kestrel::PTZ_OPERATOR_5; ++op) {
            m_calls.PtzControl(kCamera, op, false, 3, kMenuPtz, 0);
            m_calls.PtzControl(kCamera, op, true, 3, kMenuPtz, 0);
        }
        m_checks.Check(m_calls.PtzControl(kCamera, 6, false, 3, kMenuPtz) == -1,
                       "PtzControl refuses lens operation 6 with -1");
        m_calls.PtzSite(kCamera, 120.0, 15.0, 4.0, 0, 0);
        Kestrel::PtzSiteParam site;
        site.code = kCamera;
        site.x = 200.0;
        site.y = -10.0;
        site.z = 2.0;
        site.value = 1;
        site.extValues[2] = 1;  // the extended positioning
        const int seq = m_calls.PtzSiteEx(site, kMenuPtz, 0);
        m_checks.Check(site.seq == seq, "PtzSiteEx writes its sequence number into the record");
        Kestrel::PtzOperation op;
        op.action = 0;
        m_calls.RainWiper(kCamera, op, 0);
        op.action = 1;
        m_calls.RainWiper(kCamera, op, 0);
        op = Kestrel::PtzOperation();
        op.margin = 1;
        op.value = 30;
        m_calls.SetScanMargin(kCamera, op, 0);
        op.margin = 2;
        op.value = 300;
        m_calls.SetScanMargin(kCamera, op, 0);
        op = Kestrel::PtzOperation();
        op.mode = 1;
        op.action = 0;
        op.value = 5;
        m_calls.AutoScan(kCamera, op, 0);
        op.action = 1;
        m_calls.AutoScan(kCamera, op, 0);
        Settle("the movements");
        control::PtzView view;
        m_checks.Check(control::GetPtzState(kCamera, view) && !view.wiperOn && !view.scanning &&
                           view.scanMargins.size() == 2 && view.moveDirection == 0,
                       "the camera stands still with wiper and scan off and two scan margins set");
    }

    // The motion policy's dead-man: a move nobody renews is stopped by Kestrel.
    void DeadMan() {
        m_out.Section("the PTZ motion policy: a move on " + kCamera + " nobody renews is stopped after 200 ms");
        Kestrel::PtzMotionPolicy policy;
        policy.deadManMs = 200;
        m_session.Ptz().SetMotionPolicy(policy);
        ExpectPtz("PTZ_EVENT_AUTO_STOP for " + kCamera, CPtzParam::PTZ_EVENT_AUTO_STOP, kCamera, 0,
                  [](const EventRecord& e) { return e.Int("param") == Kestrel::DIRECTION_UP && e.Int("enable", 1) == 0; });
        m_calls.PtzDirection(kCamera, Kestrel::DIRECTION_UP, false, 5, kMenuPtz, 0);
        const bool stopped = m_session.Hub().WaitUntil(
            [this] { return m_session.Hub().SeenByName().count("PTZ_EVENT_AUTO_STOP") != 0; }, m_session.Options().timeout);
        m_session.Ptz().SetMotionPolicy(Kestrel::PtzMotionPolicy());
        Settle("the dead-man stop");
        control::PtzView view;
        m_checks.Check(stopped && control::GetPtzState(kCamera, view) && view.moveDirection == 0,
                       "the dead-man's stop reached the platform: the camera stands still");
    }

    void GrantedLock() {
        m_out.Section("a PTZ lock that is granted, queried and released on " + kCamera);
        m_calls.SetMaxLockTime(1800);
        m_calls.SetLock(kCamera, Kestrel::LOCK_PTZ, 0, kMenuPtz, 60, 0);
        Settle("the lock");
        m_checks.Check(m_calls.IsLock(kCamera), "IsLock is true while the lock is held");
        ExpectPtz("QueryLockState names the operator as holder", CPtzParam::PTZ_EVENT_LOCK, kCamera, 0,
                  [](const EventRecord& e) { return e.Int("param") == Kestrel::QUERY_LOCK_STATE && e.Text("msg") == "operator"; });
        m_calls.QueryLockState(kCamera, 0);
        m_calls.SetLock(kCamera, Kestrel::UNLOCK_PTZ, 0, kMenuPtz, 0, 0);
        Settle("the release");
        m_checks.Check(!m_calls.IsLock(kCamera), "IsLock is false after the release");
        m_checks.Check(m_calls.DelLockCamera(kCamera) == 0, "DelLockCamera finds nothing left to remove");
    }

    void RefusedLock() {
        m_out.Section("a PTZ lock refused: the supervisor, at another client, holds " + kHeldCamera);
        SecondOperator& supervisor = m_session.Supervisor();
        ExpectPtz("the platform's notice that the supervisor locked " + kHeldCamera,
                  CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED, kHeldCamera, 0,
                  [](const EventRecord& e) { return e.Int("param") == 1 && e.Text("msg") == "supervisor"; });
        const SecondOperator::LockAnswer taken = supervisor.Arrange(kHeldCamera, Kestrel::LOCK_PTZ, 60);
        m_checks.Check(taken.rc == 0 && taken.status == 1, "the supervisor gets the lock on " + kHeldCamera);
        m_out.Note("supervisor: ZRSDK_PtzArrangePtz(lock " + kHeldCamera + ", 60 s) -> rc " + std::to_string(taken.rc) +
                   ", status " + std::to_string(taken.status));
        m_calls.SetLock(kHeldCamera, Kestrel::LOCK_PTZ, 0, kMenuPtz, 30, kLockRefused);
        ExpectPtz("QueryLockState names the supervisor as holder", CPtzParam::PTZ_EVENT_LOCK, kHeldCamera, 0,
                  [](const EventRecord& e) { return e.Int("param") == Kestrel::QUERY_LOCK_STATE && e.Text("msg") == "supervisor"; });
        m_calls.QueryLockState(kHeldCamera, 0);
        m_calls.PtzDirection(kHeldCamera, Kestrel::DIRECTION_UP, false, 5, kMenuPtz, ZRSDK_ERR_PTZ_LOCKED);
        Settle("the refused lock");
        m_checks.Check(!m_calls.IsLock(kHeldCamera), "a refused lock is not recorded");
        ExpectPtz("the platform's notice that the supervisor released " + kHeldCamera,
                  CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED, kHeldCamera, 0,
                  [](const EventRecord& e) { return e.Int("param") == 0 && e.Text("msg") == "supervisor"; });
        const SecondOperator::LockAnswer released = supervisor.Arrange(kHeldCamera, Kestrel::UNLOCK_PTZ, 0);
        m_checks.Check(released.rc == 0 && released.status == 1, "the supervisor releases " + kHeldCamera);
        supervisor.LogOut();
        Settle("the supervisor's release");
    }

    void Presets() {
        m_out.Section("presets on " + kCamera);
        const std::size_t onPlatform = control::GetPresets(kCamera).size();
        m_calls.QueryPrePoint(kCamera, false, 0);
        Settle("the preset query");
        m_checks.Check(m_calls.GetPrePointInfo(kCamera).size() == onPlatform,
                       "GetPrePointInfo holds the " + std::to_string(onPlatform) + " presets of the platform");
        m_calls.QueryPrePoint(kCamera, true, 0);
        m_calls.OperatorPrePoint(Kestrel::PREPOINT_SET, kCamera, 9, "Gate", kMenuPtz, 0);
        m_calls.OperatorPrePoint(Kestrel::PREPOINT_GOTO, kCamera, 9, "Gate", kMenuPtz, 0);
        m_calls.OperatorPrePoint(Kestrel::PREPOINT_DELETE, kCamera, 9, "Gate", kMenuPtz, 0);
        // An operation code the platform does not know: PTZ_EVENT_NONE with its refusal.
        m_calls.OperatorPrePoint(4, kCamera, 1, "", kMenuPtz, ZRSDK_ERR_UNSUPPORTED);
        m_checks.Check(m_calls.OperatorPrePoint(Kestrel::PREPOINT_GOTO, "ch-9999", 1, "", kMenuPtz) == -1,
                       "OperatorPrePoint refuses a channel the resource tree does not know with -1");
        Settle("the preset operations");
        const auto presets = control::GetPresets(kCamera);
        m_checks.Check(std::none_of(presets.begin(), presets.end(), [](const control::PresetPoint& p) { return p.index == 9; }),
                       "preset 9 was set and deleted again");
    }

    void Cruise() {
        m_out.Section("cruise on " + kCamera);
        m_calls.QueryCruisePreset(kCamera, 0, kMenuPtz, 0);
        Settle("the cruise query");
        std::vector<Kestrel::CruisePresetInfo> cruise = m_calls.GetCruisePresetInfo(kCamera);
        m_checks.Check(!cruise.empty(), "GetCruisePresetInfo holds the platform's cruise");
        std::reverse(cruise.begin(), cruise.end());
        m_calls.AddCruisePreset(kCamera, cruise, kMenuPtz, 0);
        Settle("the cruise save");
        std::vector<int> saved, sent;
        for (const auto& item : control::GetCruise(kCamera).items) saved.push_back(item.presetIndex);
        for (const auto& item : cruise) sent.push_back(item.presetIndex);
        m_checks.Check(saved == sent, "the platform keeps the cruise in the order saved");
    }

    void GuardPresetsAndIdleMotion() {
        m_out.Section("guard presets and idle motion on " + kCamera + " (management server)");
        std::vector<Kestrel::CruisePresetInfo> guard(2);
        guard[0].presetIndex = 1;
        guard[0].beginTime = "20240101080000";
        guard[0].endTime = "20240101120000";
        guard[0].idleTime = 60;
        guard[0].type = 1;
        guard[1].presetIndex = 2;
        guard[1].beginTime = "20240101120000";
        guard[1].endTime = "20240101180000";
        guard[1].idleTime = 90;
        guard[1].type = 1;
        m_calls.AddGuardPreset(kCamera, 0, guard, kMenuPtz, 0);
        Settle("the guard-preset save");
        const long id = m_calls.GetGuardPresetId(kCamera);
        m_checks.Check(id > 0, "GetGuardPresetId gives the server's task id");
        m_calls.QueryGuardPreset(kCamera, 0, kMenuPtz, 0);
        Settle("the guard-preset query");
        m_checks.Check(m_calls.GetGuardPresetInfo(kCamera).size() == guard.size(),
                       "GetGuardPresetInfo holds the two guard presets saved");
        m_calls.DelGuardPreset(kCamera, id, kMenuPtz, 0);
        Settle("the guard-preset delete");
        m_checks.Check(m_calls.GetGuardPresetInfo(kCamera).empty(), "the guard-preset cache is empty after the delete");
        Kestrel::PtzIdleMotior motion;
        motion.enable = true;
        motion.second = 30;
        motion.index = 1;
        m_calls.SetIdleMonitor(kCamera, motion, kMenuPtz, 0);
        Settle("the idle motion");
        if (mgmt::Server* server = m_session.LocalServer()) {
            const auto setting = server->GetStore().IdleMotionOf(kCamera);
            m_checks.Check(setting && setting->enable && setting->second == 30 && setting->index == 1,
                           "the management server keeps the idle motion");
            m_checks.Check(!server->GetStore().GuardPresetTaskOf(kCamera), "the management server has no guard task left");
        }
    }

    void ServerEvents() {
        m_out.Section("server events pushed by the platform, one of every kind");
        for (const PushKind& kind : PushKinds()) m_calls.Push(kind, {}, false, 0);
        Settle("the server events");
    }

    void WaitForShortLock() {
        m_out.Section("waiting for the lock on " + kShortLock + " to run out");
        m_session.Hub().WaitUntil([this] { return m_checks.AllExpectedEventsSeen(); }, m_session.Options().timeout);
        Settle("the lock's expiry");
        m_checks.Check(!m_calls.IsLock(kShortLock), "the lock that ran out is no longer recorded");
    }

    int Report() {
        const std::vector<OperationStats> stats = m_session.Tracker().Stats();
        const std::vector<std::string> failures = m_checks.Failures(m_session.Tracker(), m_session.Hub().SeenByName());
        std::size_t answered = 0;
        for (const OperationStats& s : stats)
            if (s.sent > 0) answered += s.answered;
        std::size_t kinds = 0, unreachable = 0;
        for (const EventKind& kind : AllEventKinds()) {
            ++kinds;
            if (IsUnreachable(kind.facade, kind.type)) ++unreachable;
        }
        const bool pass = failures.empty();
        if (m_out.Json()) {
            m_out.Record(boost::json::object{{"stats", StatsTableJson(stats)}}, "");
            boost::json::array list;
            for (const std::string& f : failures) list.emplace_back(f);
            m_out.Record(boost::json::object{{"verdict", pass ? "pass" : "fail"},
                                             {"answered", answered},
                                             {"checks", m_checks.ChecksMade()},
                                             {"failures", std::move(list)}},
                         "");
        } else {
            m_out.Section("operations");
            m_out.Record({}, StatsTableText(stats));
        }
        const std::string coverage = std::to_string(kinds - unreachable) + " of " + std::to_string(kinds) +
                                     " event types (DEVICE_EVENT_STOP_APP_RECORD has no façade operation)";
        if (pass) {
            m_out.Note("demo: PASS: " + std::to_string(answered) + " answers with the expected results, " +
                       std::to_string(m_checks.ChecksMade()) + " checks held, every event type seen: " + coverage);
            return 0;
        }
        m_out.Error("demo: FAIL: " + std::to_string(failures.size()) + " problem(s):");
        for (const std::string& f : failures) m_out.Error("  " + f);
        return 1;
    }

    HostSession& m_session;
    FacadeCalls m_calls;
    Output& m_out;
    DemoChecks m_checks;
};

}  // namespace

int RunDemo(HostSession& session) {
    Demo demo(session);
    return demo.Run();
}

}  // namespace kestrel_host
