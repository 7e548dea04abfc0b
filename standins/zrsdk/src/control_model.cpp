// Control functions that shape the platform: accounts, channels and what
// they carry, and the platform's clock.
#include "call_hooks.h"
#include "platform.h"
#include "zrsdk/zrsdk_control.h"

namespace zrsdk {
namespace control {

namespace {

// Runs op(channel) on a known channel under the platform lock.
template <class Op>
bool OnChannel(const std::string& code, Op op) {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    Channel* channel = platform.channels.Find(code);
    if (channel == nullptr) {
        return false;
    }
    op(*channel);
    return true;
}

}  // namespace

void Reset() {
    auto& platform = Platform::Instance();
    platform.Events().DropPending();
    platform.ResetData();
    CallHooks::Instance().ClearFaults();
    CallHooks::Instance().ClearCaptures();
}

void ResetAll() {
    auto& platform = Platform::Instance();
    std::vector<int> sessions;
    {
        std::lock_guard<std::mutex> lock(platform.Mutex());
        sessions = platform.users.Sessions();
        platform.users.Reset();
    }
    for (int id : sessions) {
        platform.Events().RemoveSession(id);
    }
    Reset();
}

void AddUser(const UserAccount& user) {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    platform.users.AddUser(user);
}

void AddChannel(const ChannelInfo& channel) {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    platform.channels.Add(channel);
}

bool RemoveChannel(const std::string& code) {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    platform.locks.Remove(code);
    return platform.channels.Remove(code);
}

bool SetPresets(const std::string& code, const std::vector<PresetPoint>& presets) {
    return OnChannel(code, [&](Channel& channel) { channel.ptz.SetPresets(presets); });
}

bool FillPresets(const std::string& code, int count) {
    return SetPresets(code, NumberedPresets(count));
}

bool SetCruise(const std::string& code, const CruisePlan& cruise) {
    return OnChannel(code, [&](Channel& channel) { channel.ptz.SetCruise(cruise); });
}

bool SetBindings(const std::string& code, const std::vector<BindingGroup>& groups) {
    return OnChannel(code, [&](Channel& channel) { channel.bindings = groups; });
}

void SetDefaultLockTime(int seconds) {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    platform.locks.SetDefaultLockTime(seconds > 0 ? seconds : LockTable::kDefaultLockTime);
}

void AnswerLockStatus(int status, int count) {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    platform.locks.ForceAnswerStatus(status, count);
}

int64_t PlatformTime() {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    return platform.Now();
}

void SetPlatformTime(int64_t secondsSince1970) {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    platform.SetNow(secondsSince1970);
}

void AdvancePlatformClock(int64_t seconds) {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    platform.SetNow(platform.Now() + seconds);
}

void UseRealPlatformClock(bool real) {
    Platform::Instance().UseRealClock(real);
}

void StopThreads() { Platform::Instance().StopThreads(); }

std::vector<int> LoggedInSessions() {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    return platform.users.Sessions();
}

}  // namespace control
}  // namespace zrsdk
