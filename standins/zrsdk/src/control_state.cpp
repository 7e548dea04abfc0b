// Control functions that read the platform's state, its faults and what
// callers sent.
#include "call_hooks.h"
#include "platform.h"
#include "zrsdk/zrsdk_control.h"

namespace zrsdk {
namespace control {

namespace {

template <class T, class Read>
T FromChannel(const std::string& code, Read read) {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    const Channel* channel = platform.channels.Find(code);
    return channel == nullptr ? T() : read(*channel);
}

}  // namespace

bool GetPtzState(const std::string& code, PtzView& view) {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    const Channel* channel = platform.channels.Find(code);
    if (channel == nullptr) {
        return false;
    }
    view = channel->ptz.State();
    return true;
}

std::vector<PresetPoint> GetPresets(const std::string& code) {
    return FromChannel<std::vector<PresetPoint>>(code, [](const Channel& channel) {
        std::vector<PresetPoint> presets;
        for (const auto& entry : channel.ptz.Presets()) {
            presets.push_back(entry.second);
        }
        return presets;
    });
}

CruisePlan GetCruise(const std::string& code) {
    return FromChannel<CruisePlan>(code, [](const Channel& channel) { return channel.ptz.Cruise(); });
}

std::vector<RecordingView> GetRecordings() {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    return platform.recordings.All();
}

std::vector<LockView> GetLocks() {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    return platform.locks.All();
}

int GetIFrameRequests(const std::string& code) {
    return FromChannel<int>(code, [](const Channel& channel) { return channel.iFrameRequests; });
}

std::vector<ZRSDK_SMARTTRACK_OPERATE> GetSmartTrackOperations(const std::string& code) {
    return FromChannel<std::vector<ZRSDK_SMARTTRACK_OPERATE>>(
        code, [](const Channel& channel) { return channel.smartTrackOperations; });
}

std::vector<std::string> GetVehiclePreviewCodes() {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    return platform.vehiclePreviewCodes;
}

bool FailNextCalls(const std::string& function, int count, int code) {
    return CallHooks::Instance().FailNext(function, count, code);
}

bool SetLatency(const std::string& function, std::chrono::milliseconds latency) {
    return CallHooks::Instance().SetLatency(function, latency);
}

bool SetCallbackPlan(const std::string& function, const CallbackPlan& plan) {
    return CallHooks::Instance().SetCallbackPlan(function, plan);
}

void ClearFaults() {
    CallHooks::Instance().ClearFaults();
}

std::vector<CapturedCall> CapturedCalls(const std::string& function) {
    return CallHooks::Instance().Captured(function);
}

std::size_t CallCount(const std::string& function) {
    return CallHooks::Instance().CallCount(function);
}

void ClearCaptures() {
    CallHooks::Instance().ClearCaptures();
}

}  // namespace control
}  // namespace zrsdk
