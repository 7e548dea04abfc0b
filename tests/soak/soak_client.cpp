#include "soak.h"

#include <utility>
#include <vector>

#include "kestrel/device_function_param.h"
#include "kestrel/ptz_param.h"

namespace soak {

using Kestrel::CDeviceFunctionParam;
using Kestrel::CPtzParam;
constexpr int kDevice = Datahub::BUSINESS_DEVICE_FUNCTION;
constexpr int kPtz = Datahub::BUSINESS_PTZ;

SoakClient::SoakClient(int index, uint32_t seed, Kestrel::CDeviceFunctionExternal* device, Kestrel::CPtzExternal* ptz)
    : m_index(index), m_random(seed), m_device(device), m_ptz(ptz) {}

// Mostly the platform's channels; now and then one it does not know, an
// empty code or one longer than any field.
std::string SoakClient::Channel() {
    static const char* kChannels[] = {"ch-0001", "ch-0002", "ch-0003", "ch-0004", "ch-0005"};
    const int roll = Pick(40);
    if (roll == 0) return "ch-9999";
    if (roll == 1) return "";
    if (roll == 2) return std::string(300, 'x');
    return kChannels[roll % 5];
}

std::string SoakClient::Text() {
    const int roll = Pick(20);
    if (roll == 0) return std::string(1000, 't');
    if (roll == 1) return "";
    return roll % 2 ? "menu.ptz" : "menu.record";
}

void SoakClient::CallOne() {
    m_ledger.Called();
    const int what = Pick(100);
    if (what < 30) {
        CallDevice(what);
    } else if (what < 75) {
        CallPtz(what - 30);
    } else {
        CallPtzQueries(what - 75);
    }
}

void SoakClient::CallDevice(int what) {
    const std::string code = Channel();
    switch (what % 10) {
        case 0:
            m_device->StartRecord(code, Pick(3), Pick(100), Text(), Text());
            m_ledger.ExpectUnnumbered(kDevice, CDeviceFunctionParam::DEVICE_EVENT_START_RECORD);
            break;
        case 1:
            m_device->StopRecord(code, Pick(3), Pick(2) == 0, Text());
            m_ledger.ExpectUnnumbered(kDevice, CDeviceFunctionParam::DEVICE_EVENT_STOP_RECORD);
            break;
        case 2:
            m_device->StartAPPChannelRecord(code, Channel(), Pick(3), Pick(100), Text());
            m_ledger.ExpectUnnumbered(kDevice, CDeviceFunctionParam::DEVICE_EVENT_START_APP_RECORD);
            break;
        case 3: {
            // Tags are unique per client and call, so each answer is matched.
            const int64_t tag = (int64_t(m_index + 1) << 40) | ++m_tags;
            m_device->GetBindingResource(code, tag);
            m_ledger.ExpectTag(tag);
            break;
        }
        case 4:
            m_device->SetIFrame(code);
            break;
        case 5:
            // Braced lists are evaluated in order: the picks run as written.
            m_device->SmartTrackOperate({Pick(5), code, 0, Pick(2) == 0});  // value1, code, value2, flag
            break;
        case 6: {
            std::vector<std::string> codes(static_cast<std::size_t>(Pick(4)));
            for (std::string& c : codes) c = Channel();
            m_device->OpenVehilceMonitor(codes);
            break;
        }
        case 7:
            m_device->MasterSlaveIntellManualTrack(code, Pick(10));
            m_device->SnapPicture(code, 1, static_cast<Kestrel::Snap_Picture_e>(Pick(2)));
            break;
        case 8:
            // A REST call whose outcome is only logged.
            if (Pick(4) == 0) m_device->RestartDevice("dev-000" + std::to_string(1 + Pick(3)));
            break;
        default:
            m_device->MasterSlaveIntellFixedPointTrack(code, m_random(), m_random());
            break;
    }
}

void SoakClient::CallPtz(int what) {
    const std::string code = Channel();
    switch (what % 15) {
        case 0: case 1:
            m_ledger.ExpectSeq(m_ptz->PtzDirection(code, static_cast<Kestrel::Direction_e>(Pick(10)), Pick(2) == 0,
                                                   Pick(8), Text()), CPtzParam::PTZ_EVENT_DIRECTION);
            break;
        case 2: {
            // Lens operations 6 and 7 (unnamed, in the enumeration's range)
            // are refused, nothing sent.
            const int op = Pick(8);
            const int seq = m_ptz->PtzControl(code, static_cast<Kestrel::Ptz_Operator_e>(op), Pick(2) == 0, Pick(8),
                                              Text());
            if (op >= 0 && op <= 5) m_ledger.ExpectSeq(seq, CPtzParam::PTZ_EVENT_CAMERA);
            break;
        }
        case 3:
            m_ledger.ExpectSeq(m_ptz->PtzSite(code, Pick(360), Pick(90), 1 + Pick(20), Pick(5)),
                               CPtzParam::PTZ_EVENT_SITE);
            break;
        case 4: {
            Kestrel::PtzSiteParam site;
            site.code = code;
            site.extValues[2] = Pick(3);
            site.extA = Pick(100);
            m_ledger.ExpectSeq(m_ptz->PtzSiteEx(site, Text()), CPtzParam::PTZ_EVENT_SITE);
            break;
        }
        case 5: {
            // Wiper, scan margin or auto scan: answered without a sequence number.
            using P = Kestrel::CPtzExternal;
            static const std::pair<void (P::*)(std::string, Kestrel::PtzOperation&), int> kAux[] = {
                {&P::RainWiper, CPtzParam::PTZ_EVENT_RAIN_WIPER},
                {&P::SetScanMargin, CPtzParam::PTZ_EVENT_SCAN_MARGIN},
                {&P::AutoScan, CPtzParam::PTZ_EVENT_AUTO_SCAN}};
            Kestrel::PtzOperation op;
            op.action = Pick(3);
            op.margin = Pick(4);
            op.mode = Pick(3);
            const auto& [request, type] = kAux[Pick(3)];
            (m_ptz->*request)(code, op);
            m_ledger.ExpectUnnumbered(kPtz, type);
            break;
        }
        case 6: case 7: case 8: {
            // Locks of a few seconds, which the timer releases; releases;
            // and now and then a lock operation the platform does not know.
            static const Kestrel::Lock_e kLocks[] = {Kestrel::LOCK_PTZ, Kestrel::LOCK_PTZ, Kestrel::UNLOCK_PTZ,
                                                     static_cast<Kestrel::Lock_e>(3)};
            m_ledger.ExpectSeq(m_ptz->SetLock(code, kLocks[Pick(4)], 0, Text(), Pick(8)), CPtzParam::PTZ_EVENT_LOCK);
            break;
        }
        case 9:
            m_ledger.ExpectSeq(m_ptz->QueryLockState(code), CPtzParam::PTZ_EVENT_LOCK);
            break;
        case 10:
            // Answered at once from the lock table.
            if (Pick(2) == 0) {
                m_ptz->IsLock(code);
            } else {
                m_ptz->DelLockCamera(code);
            }
            break;
        case 11:
            m_ptz->SetMaxLockTime(Pick(2) == 0 ? 1800 : Pick(30));
            break;
        case 12: {
            std::vector<Kestrel::CruisePresetInfo> list(static_cast<std::size_t>(Pick(4)));
            for (auto& info : list) info = {1 + Pick(8), "", "080000", Text(), Pick(60)};  // index, extra, times, idle
            const int which = Pick(3);
            if (which == 0) {
                m_ptz->AddGuardPreset(code, Pick(3), list, Text());
                m_ledger.ExpectUnnumbered(kPtz, CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET);
            } else if (which == 1) {
                const long id = m_ptz->GetGuardPresetId(code);
                m_ptz->DelGuardPreset(code, id > 0 ? id : Pick(100), Text());
                m_ledger.ExpectUnnumbered(kPtz, CPtzParam::PTZ_EVENT_DEL_GUARD_PRESET);
            } else {
                Kestrel::PtzIdleMotior motion{Pick(2) == 0, Pick(600), Pick(8) - 1};  // enable, second, index
                m_ptz->SetIdleMonitor(code, motion, Text());
                m_ledger.ExpectUnnumbered(kPtz, CPtzParam::PTZ_EVENT_SET_IDLE_MONITOR);
            }
            break;
        }
        default: {
            std::vector<Kestrel::CruisePresetInfo> list(static_cast<std::size_t>(Pick(5)));
            for (auto& info : list) info = {1 + Pick(8), "", "080000", "090000"};
            m_ledger.ExpectSeq(m_ptz->AddCruisePreset(code, list, Text()), CPtzParam::PTZ_EVENT_ADD_CRUISE);
            break;
        }
    }
}

void SoakClient::CallPtzQueries(int what) {
    const std::string code = Channel();
    switch (what % 6) {
        case 0:
            m_ledger.ExpectSeq(m_ptz->QueryPrePoint(code, Pick(2) == 0), CPtzParam::PTZ_EVENT_QUERY_PRESET_POINTS);
            break;
        case 1: {
            // Operations 1 to 3 and, now and then, the unnamed 0.
            const int op = Pick(10) == 0 ? 0 : 1 + Pick(3);
            std::string name = Text();
            const int seq = m_ptz->OperatorPrePoint(static_cast<Kestrel::PrePoint_Oper_e>(op), code,
                                                    static_cast<unsigned int>(1 + Pick(12)), name, Text());
            static const int kTypes[] = {CPtzParam::PTZ_EVENT_NONE, CPtzParam::PTZ_EVENT_PRESET_GOTO,
                                         CPtzParam::PTZ_EVENT_PRESET_SET, CPtzParam::PTZ_EVENT_PRESET_DELETE};
            // -1: a channel the resource tree does not know; nothing is sent.
            if (seq != -1) m_ledger.ExpectSeq(seq, kTypes[op]);
            break;
        }
        case 2:
            m_ledger.ExpectSeq(m_ptz->QueryCruisePreset(code, 0, Text()), CPtzParam::PTZ_EVENT_QUERY_CRUISE);
            break;
        case 3:
            m_ledger.ExpectSeq(m_ptz->QueryGuardPreset(code, Pick(3), Text()), CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET);
            break;
        default:
            // The caches, answered at once.
            m_ptz->GetPrePointInfo(code);
            m_ptz->GetCruisePresetInfo(code);
            m_ptz->GetGuardPresetInfo(code);
            m_ptz->GetGuardPresetId(code);
            break;
    }
}

}  // namespace soak
