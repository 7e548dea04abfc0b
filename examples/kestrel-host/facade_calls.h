#pragma once
// Every façade operation as the demo and the shell make it: the call itself,
// registered with the request tracker together with the event that answers
// it (or noted as answered by nothing, or by its return value). `expect` is
// the result code the answer should carry; none: any.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "kestrel/device_function_external.h"
#include "kestrel/ptz_types.h"

namespace kestrel_host {

class HostSession;
struct PushKind;

using Expect = std::optional<int>;

class FacadeCalls {
public:
    explicit FacadeCalls(HostSession& session) : m_session(session) {}

    // Device functions.
    int StartRecord(const std::string& code, int streamType, int value, const std::string& text,
                    const std::string& menuKey, Expect expect = std::nullopt);
    int StopRecord(const std::string& code, int streamType, bool flag, const std::string& menuKey,
                   Expect expect = std::nullopt);
    int StartAPPChannelRecord(const std::string& code, const std::string& secondCode, int streamType, int value,
                              const std::string& text, Expect expect = std::nullopt);
    int GetBindingResource(const std::string& code, long long tag, Expect expect = std::nullopt);
    int SetIFrame(const std::string& code);
    int SmartTrackOperate(const Kestrel::SmartTrackOperate& operate);
    int OpenVehilceMonitor(const std::vector<std::string>& codes);
    bool RestartDevice(const std::string& deviceCode);
    int SnapPicture(const std::string& code, int value, int type);
    int MasterSlaveIntellManualTrack(const std::string& code, int value);
    int MasterSlaveIntellFixedPointTrack(const std::string& code, unsigned int first, unsigned int second);

    // PTZ: movement and positioning.
    int PtzDirection(const std::string& code, int direction, bool stop, int speed, const std::string& menuKey,
                     Expect expect = std::nullopt);
    int PtzControl(const std::string& code, int op, bool stop, int speed, const std::string& menuKey,
                   Expect expect = std::nullopt);
    int PtzSite(const std::string& code, double x, double y, double z, int value, Expect expect = std::nullopt);
    int PtzSiteEx(Kestrel::PtzSiteParam& param, const std::string& menuKey, Expect expect = std::nullopt);
    void RainWiper(const std::string& code, Kestrel::PtzOperation op, Expect expect = std::nullopt);
    void SetScanMargin(const std::string& code, Kestrel::PtzOperation op, Expect expect = std::nullopt);
    void AutoScan(const std::string& code, Kestrel::PtzOperation op, Expect expect = std::nullopt);

    // PTZ lock.
    int SetLock(const std::string& code, int lock, int reserved, const std::string& menuKey, int lockTime,
                Expect expect = std::nullopt);
    int QueryLockState(const std::string& code, Expect expect = std::nullopt);
    bool IsLock(const std::string& code);
    int DelLockCamera(const std::string& code);
    void SetMaxLockTime(int seconds);

    // Presets, cruise, guard presets, idle motion.
    int QueryPrePoint(const std::string& code, bool ar, Expect expect = std::nullopt);
    std::vector<Kestrel::PrePointInfo> GetPrePointInfo(const std::string& code);
    int OperatorPrePoint(int op, const std::string& code, unsigned int index, const std::string& name,
                         const std::string& menuKey, Expect expect = std::nullopt);
    int QueryCruisePreset(const std::string& code, int reserved, const std::string& menuKey,
                          Expect expect = std::nullopt);
    std::vector<Kestrel::CruisePresetInfo> GetCruisePresetInfo(const std::string& code);
    int AddCruisePreset(const std::string& code, const std::vector<Kestrel::CruisePresetInfo>& list,
                        const std::string& menuKey, Expect expect = std::nullopt);
    int QueryGuardPreset(const std::string& code, int value, const std::string& menuKey,
                         Expect expect = std::nullopt);
    std::vector<Kestrel::CruisePresetInfo> GetGuardPresetInfo(const std::string& code);
    int AddGuardPreset(const std::string& code, int value, std::vector<Kestrel::CruisePresetInfo> list,
                       const std::string& menuKey, Expect expect = std::nullopt);
    long GetGuardPresetId(const std::string& code);
    int DelGuardPreset(const std::string& code, long id, const std::string& menuKey, Expect expect = std::nullopt);
    int SetIdleMonitor(const std::string& code, Kestrel::PtzIdleMotior motion, const std::string& menuKey,
                       Expect expect = std::nullopt);

    // A server event pushed over the operator's login connection. False when
    // the platform did not take it (nobody logged in).
    bool Push(const PushKind& kind, const std::map<std::string, std::string>& values, bool broken,
              Expect expect = std::nullopt);

private:
    HostSession& m_session;
};

}  // namespace kestrel_host
