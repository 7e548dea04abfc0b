#pragma once
// Control side of the stand-in platform SDK, for tests and the example host:
// shape the in-memory platform, inject faults, read back what callers sent,
// read the platform's state and push server events onto login connections.
// Every function is thread-safe.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "host_export.h"
#include "zrsdk/zrsdk_types.h"

namespace zrsdk {
namespace control {

// ---- platform data ------------------------------------------------------------

struct UserAccount {
    std::string name;
    std::string password;
    // The user's platform code, reported in the login data next to the name.
    std::string userCode;
};

struct ChannelInfo {
    std::string code;        // "ch-0001"
    std::string channelId;
    std::string name;
    std::string deviceCode;  // "dev-0001"
    int channelNo = 0;
    bool isPtz = false;
};

// The names these two records had at first; code written against them keeps
// compiling.
using UserSpec = UserAccount;
using ChannelSpec = ChannelInfo;

struct PresetPoint {
    int index = 0;
    std::string name;
    double x = 0;
    double y = 0;
    double z = 1;
};

struct CruiseItem {
    int presetIndex = 0;
    int idleTime = 0;
    std::string beginTime;
    std::string endTime;
};

struct CruisePlan {
    std::string name;
    // Code the cruise answer names; empty = the channel's own code.
    std::string reportedCode;
    std::vector<CruiseItem> items;
};

struct BindingItem {
    int flag = 0;
    std::string id;
    std::string name;
};

struct BindingGroup {
    int type = 0;
    int subtype = 0;
    std::vector<BindingItem> items;
};

// The accounts a fresh platform knows: operator/operator (U-0001) and
// supervisor/supervisor (U-0002).
ZRSDK_API std::vector<UserAccount> DefaultUsers();
// The channels a fresh platform has: ch-0001 (PTZ, dev-0001), ch-0002 (fixed),
// ch-0003 (PTZ, 300 presets), ch-0004 (fixed) on dev-0002, ch-0005 (PTZ, no
// presets, dev-0003).
ZRSDK_API std::vector<ChannelInfo> DefaultChannels();

// Back to the default platform data: channels with their presets, cruises and
// bindings, PTZ state, recordings, locks, the clock, faults, latencies,
// callback plans and captures; queued events are dropped. Accounts and live
// sessions with their callbacks are kept, so a logged-in host stays logged in.
ZRSDK_API void Reset();
// Reset plus: every session logged out, accounts back to the defaults.
ZRSDK_API void ResetAll();

ZRSDK_API void AddUser(const UserAccount& user);
// Adds or replaces a channel (keyed by code); a new channel starts with no
// presets, cruise or bindings.
ZRSDK_API void AddChannel(const ChannelInfo& channel);
ZRSDK_API bool RemoveChannel(const std::string& code);
// False for an unknown channel. SetPresets replaces the channel's presets.
ZRSDK_API bool SetPresets(const std::string& code, const std::vector<PresetPoint>& presets);
// Presets 1..count named "Preset <n>".
ZRSDK_API bool FillPresets(const std::string& code, int count);
ZRSDK_API bool SetCruise(const std::string& code, const CruisePlan& cruise);
ZRSDK_API bool SetBindings(const std::string& code, const std::vector<BindingGroup>& groups);
// Lock time granted when a lock request asks for 0 seconds (default 300).
ZRSDK_API void SetDefaultLockTime(int seconds);
// The next `count` answers to a lock or release carry `status` in their
// result record in place of the platform's own (1 granted, 0 refused); the
// platform acts on the request as usual. For statuses a live platform sends
// rarely, such as 2.
ZRSDK_API void AnswerLockStatus(int status, int count);

// ---- the platform's clock ---------------------------------------------------------

// The platform clock is manual after a reset: it starts at the system time
// and moves only here. Moving it expires the PTZ locks whose time ran out and
// pushes a lock-status event (40, ZRSDK_LOCK_EVENT_EXPIRED) for each to every
// logged-in session.
ZRSDK_API int64_t PlatformTime();  // seconds since 1970
ZRSDK_API void SetPlatformTime(int64_t secondsSince1970);
ZRSDK_API void AdvancePlatformClock(int64_t seconds);
// true: the clock runs with the system clock from where it stands (the two
// calls above shift it) and locks expire by themselves within a fraction of
// a second, as on a live platform; for the example host. false: back to
// manual, stopped where it stands. Reset makes it manual.
ZRSDK_API void UseRealPlatformClock(bool real);

// What the SDK's clean-up does when the client exits: its own threads (event
// delivery, lock expiry of the real clock) end and are joined. Queued events
// are kept and the next pushed event starts delivery again; a real clock
// goes on being read, and expires locks by itself again after
// UseRealPlatformClock(true).
ZRSDK_API void StopThreads();

// ---- faults, latency, callbacks --------------------------------------------------------

// Function names are the exported names, e.g. "ZRSDK_PtzAutoScan"; every
// function of zrsdk.h and zrsdk_session.h takes part. Unknown names give false.
// The next `count` calls return `code` without touching the platform (inputs
// are still captured; callbacks are not called).
ZRSDK_API bool FailNextCalls(const std::string& function, int count, int code);
// Every call sleeps this long before it does anything (0 = none).
ZRSDK_API bool SetLatency(const std::string& function, std::chrono::milliseconds latency);
// How the data callback of ZRSDK_GetResourceBinding / ZRSDK_GetChannelCruisePreset
// is called: `message` 0 = the proper message type, else that value;
// `deliveries` = how many times per call (0 = never); `length` the length
// reported with the data, 0 = the record's size.
struct CallbackPlan {
    int message = 0;
    int deliveries = 1;
    unsigned int length = 0;
};
ZRSDK_API bool SetCallbackPlan(const std::string& function, const CallbackPlan& plan);
// Drops every fault, latency and callback plan.
ZRSDK_API void ClearFaults();

// ---- what callers sent ----------------------------------------------------------------

// One call as the SDK saw it. `input` is the first record argument (for the
// 64-byte code arguments of ZRSDK_GetResourceBinding, ZRSDK_PtzGetPresetPoints
// and ZRSDK_GetChannelCruisePreset: the text up to its NUL, at most 64 bytes,
// without the NUL; for ZRSDK_GetFlowSetIFrame's text: all of it up to its NUL); `operateInfo` the 320-byte
// operator block, empty for calls without one or given a null one; `extra`
// the records the input points to: the code slots of ZRSDK_VehiclePreviewConfig
// (count x 64 bytes) and the item array of ZRSDK_SetChannelCruisePreset.
struct CapturedCall {
    int sessionId = 0;
    std::vector<uint8_t> input;
    std::vector<uint8_t> operateInfo;
    std::vector<uint8_t> extra;
    // ZRSDK_PtzGetPresetPoints: the buffer size given.
    unsigned int outputSize = 0;
    int result = 0;
    // When the call reached the SDK, before its latency.
    std::chrono::steady_clock::time_point received{};

    // The input as a record; a zero record when the sizes differ.
    template <class T>
    T InputAs() const {
        T record;
        std::memset(&record, 0, sizeof(record));
        if (input.size() == sizeof(T)) {
            std::memcpy(&record, input.data(), sizeof(T));
        }
        return record;
    }
    ZRSDK_OPERATE_INFO OperateInfo() const {
        ZRSDK_OPERATE_INFO record;
        std::memset(&record, 0, sizeof(record));
        if (operateInfo.size() == sizeof(record)) {
            std::memcpy(&record, operateInfo.data(), sizeof(record));
        }
        return record;
    }
};
// The most recent calls of a function (at most kCaptureDepth), oldest first.
constexpr std::size_t kCaptureDepth = 64;
ZRSDK_API std::vector<CapturedCall> CapturedCalls(const std::string& function);
ZRSDK_API std::size_t CallCount(const std::string& function);
ZRSDK_API void ClearCaptures();

// ---- platform state ------------------------------------------------------------------

struct PtzView {
    double x = 0;  // pan, degrees [0, 360)
    double y = 0;  // tilt, degrees [-90, 90]
    double z = 1;  // zoom factor [1, 40]
    int focus = 50;
    int iris = 50;
    int moveDirection = 0;  // ZRSDK_PTZ_DIR_..., 0 = not moving
    int moveSpeed = 0;
    int lensOperType = 0;  // running lens operation, 0 = none
    int lensOperCode = 0;
    int lastSitValue = 0;
    int extValues[4] = {0, 0, 0, 0};
    int extFlag = 0;
    bool wiperOn = false;
    bool scanning = false;
    int scanMode = 0;
    int scanSpeed = 0;
    std::map<int, int> scanMargins;  // margin -> value
};

struct RecordingView {
    bool app = false;  // APP recording, else remote recording
    std::string code;
    std::string secondCode;
    int streamType = 0;
    int secondValue = 0;
    std::string text;
    int planId = 0;
    std::string user;
    std::string menuKey;
    std::string menuName;
    std::string startTime;  // 14-digit local time
    std::string stopTime;   // empty while running
    bool active = true;
    bool stopFlag = false;
};

struct LockView {
    std::string code;
    std::string holder;  // user name
    int64_t grantedAt = 0;
    int duration = 0;
    int64_t expiresAt = 0;
};

// False for an unknown channel.
ZRSDK_API bool GetPtzState(const std::string& code, PtzView& view);
ZRSDK_API std::vector<PresetPoint> GetPresets(const std::string& code);
ZRSDK_API CruisePlan GetCruise(const std::string& code);
// Every plan, running and ended, in start order.
ZRSDK_API std::vector<RecordingView> GetRecordings();
ZRSDK_API std::vector<LockView> GetLocks();
ZRSDK_API int GetIFrameRequests(const std::string& code);
ZRSDK_API std::vector<ZRSDK_SMARTTRACK_OPERATE> GetSmartTrackOperations(const std::string& code);
// The channel codes of the last accepted vehicle-preview configuration.
ZRSDK_API std::vector<std::string> GetVehiclePreviewCodes();
ZRSDK_API std::vector<int> LoggedInSessions();

// ---- server events over a session's login connection -------------------------------

enum LoginEventType {
    EVENT_PTZ_LOCK_STATUS = 40,
    EVENT_SMART_TRACK_OBJECT = 50,
    EVENT_FACE_INFO = 52,
    EVENT_TRAFFIC_INFO = 167,
    EVENT_IMS_ALARM = 206,
    EVENT_TRAFFIC_REAL_ALARM = 212,
    EVENT_TRAFFIC_SCORE_ALARM = 213,
};

// One event as the callback will receive it. The callback's data is a copy of
// `bytes` with each pointer slot of `pointers` set to the copy's address plus
// its target offset; its size is `size`. `nullData` hands over a null pointer
// with `size` instead.
struct LoginEventData {
    struct PointerSlot {
        std::size_t at = 0;      // where the 8-byte pointer goes
        std::size_t target = 0;  // what it points to, as an offset into bytes
    };
    int type = 0;
    int result = 0;
    std::vector<uint8_t> bytes;
    unsigned int size = 0;
    bool nullData = false;
    std::vector<PointerSlot> pointers;
};

// Well-formed events of each kind.
ZRSDK_API LoginEventData MakeRawEvent(int type, int result, const void* data, std::size_t size);
ZRSDK_API LoginEventData MakeLockStatus(const ZRSDK_LOCKSTATUS_CHANGED_NOTIFY& notify);
ZRSDK_API LoginEventData MakeSmartTrackObject(const ZRSDK_SMARTTRACKOBJECT_NOTIFY& notify);
// Header with count = items.size(), then max(1, items.size()) items.
ZRSDK_API LoginEventData MakeFaceInfo(const ZRSDK_FACE_INFO_NOTIFY& header,
                                     const std::vector<ZRSDK_FACE_INFO_ITEM>& items);
// The 864-byte record (its size) with itemCount and the item pointer set to
// the items, which travel in the same block.
ZRSDK_API LoginEventData MakeTrafficInfo(const ZRSDK_TRAFFIC_INFO& info,
                                        const std::vector<ZRSDK_TRAFFIC_ITEM>& items);
// The text with its NUL.
ZRSDK_API LoginEventData MakeTrafficRealAlarm(const std::string& text);
ZRSDK_API LoginEventData MakeTrafficScoreAlarm(const std::string& text);
ZRSDK_API LoginEventData MakeImsAlarm(const ZRSDK_IMS_ALARM& alarm);

// Fills a fixed text field, truncated and NUL-terminated.
template <std::size_t N>
void SetText(char (&field)[N], const std::string& text) {
    const std::size_t n = text.size() < N ? text.size() : N - 1;
    std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, N - n);
}

// Queues events for the session's callback; they are handed over one at a
// time on the SDK's event thread, in push order. False if the session is not
// logged in (nothing is queued).
ZRSDK_API bool Push(int sessionId, const LoginEventData& event);
// data may be null with a non-zero size: the callback then receives a null
// pointer and that size.
ZRSDK_API bool PushLoginEvent(int sessionId, int eventType, int eventResult, const void* data,
                             std::size_t size);
// A stream: the events in order, `perSecond` of them per second (0 = as fast
// as possible). At most kMaxStreamEvents events; more gives false.
constexpr std::size_t kMaxStreamEvents = 100000;
ZRSDK_API bool PushStream(int sessionId, const std::vector<LoginEventData>& events,
                         double perSecond = 0);
ZRSDK_API bool PushRepeated(int sessionId, const LoginEventData& event, std::size_t count,
                           double perSecond = 0);
// True once every event pushed so far was handed to its callback (or dropped
// because the session had none); false on time-out.
ZRSDK_API bool WaitEventsDelivered(std::chrono::milliseconds timeout = std::chrono::seconds(10));

struct EventCounters {
    uint64_t delivered = 0;
    uint64_t dropped = 0;
};
ZRSDK_API EventCounters GetEventCounters();

}  // namespace control
}  // namespace zrsdk
