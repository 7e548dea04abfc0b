#include "call_hooks.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <thread>

#include "zrsdk/zrsdk_types.h"

namespace zrsdk {

namespace {

const std::set<std::string>& KnownFunctions() {
    static const std::set<std::string> names = {
        "ZRSDK_Login", "ZRSDK_Logout", "ZRSDK_SetLoginEventCallback", "ZRSDK_QueryChannels",
        "ZRSDK_StartRemoteRecord", "ZRSDK_StopRemoteRecord", "ZRSDK_StartAPPRemoteRecord",
        "ZRSDK_StopAPPRemoteRecord", "ZRSDK_SmartTrackOperate", "ZRSDK_VehiclePreviewConfig",
        "ZRSDK_GetResourceBinding", "ZRSDK_GetFlowSetIFrame", "ZRSDK_PtzOperateDirect",
        "ZRSDK_PtzOperateCamera", "ZRSDK_PtzSitPositionEx", "ZRSDK_PtzSitPosition",
        "ZRSDK_PtzRainWiper", "ZRSDK_PtzSetScanMargin", "ZRSDK_PtzAutoScan",
        "ZRSDK_PtzArrangePtz", "ZRSDK_GetUserLoginData", "ZRSDK_PtzGetPresetPoints",
        "ZRSDK_PtzOperatePresetPoint", "ZRSDK_GetChannelCruisePreset",
        "ZRSDK_SetChannelCruisePreset",
    };
    return names;
}

}  // namespace

CallHooks& CallHooks::Instance() {
    static CallHooks hooks;
    return hooks;
}

CallHooks::CallHooks() {
    for (const std::string& name : KnownFunctions()) m_hooks[name];
}

bool CallHooks::IsKnownFunction(const std::string& function) {
    return KnownFunctions().count(function) > 0;
}

bool CallHooks::FailNext(const std::string& function, int count, int code) {
    if (!IsKnownFunction(function) || count < 0) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    auto& hooks = m_hooks[function];
    hooks.failCount = count;
    hooks.failCode = code;
    return true;
}

bool CallHooks::SetLatency(const std::string& function, std::chrono::milliseconds latency) {
    if (!IsKnownFunction(function) || latency.count() < 0) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hooks[function].latency = latency;
    return true;
}

bool CallHooks::SetCallbackPlan(const std::string& function, const control::CallbackPlan& plan) {
    if ((function != "ZRSDK_GetResourceBinding" && function != "ZRSDK_GetChannelCruisePreset") ||
        plan.deliveries < 0) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hooks[function].callbackPlan = plan;
    return true;
}

void CallHooks::ClearFaults() {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& entry : m_hooks) {
        entry.second.failCount = 0;
        entry.second.latency = std::chrono::milliseconds(0);
        entry.second.callbackPlan = control::CallbackPlan();
    }
}

void CallHooks::ClearCaptures() {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& entry : m_hooks) {
        entry.second.captured.clear();
        entry.second.calls = 0;
    }
}

CallHooks::Hooks& CallHooks::Begin(std::string_view function, Entry& entry, control::CapturedCall& recycled) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_hooks.find(function);
    if (found == m_hooks.end()) found = m_hooks.emplace(std::string(function), Hooks()).first;
    Hooks& hooks = found->second;
    entry.latency = hooks.latency;
    if (hooks.failCount > 0) {
        --hooks.failCount;
        entry.fail = true;
        entry.failCode = hooks.failCode;
    }
    if (hooks.captured.size() >= control::kCaptureDepth) {
        recycled = std::move(hooks.captured.front());
        hooks.captured.pop_front();
    }
    return hooks;
}

control::CallbackPlan CallHooks::CallbackPlanOf(Hooks& hooks) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return hooks.callbackPlan;
}

void CallHooks::Record(Hooks& hooks, control::CapturedCall call) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++hooks.calls;
    hooks.captured.push_back(std::move(call));
    while (hooks.captured.size() > control::kCaptureDepth) {
        hooks.captured.pop_front();
    }
}

std::vector<control::CapturedCall> CallHooks::Captured(const std::string& function) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_hooks.find(function);
    if (found == m_hooks.end()) {
        return {};
    }
    return std::vector<control::CapturedCall>(found->second.captured.begin(),
                                              found->second.captured.end());
}

std::size_t CallHooks::CallCount(const std::string& function) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_hooks.find(function);
    return found == m_hooks.end() ? 0 : found->second.calls;
}

CallScope::CallScope(const char* function, int sessionId) {
    m_hooks = &CallHooks::Instance().Begin(function, m_entry, m_call);
    // A recycled record keeps its buffers' capacity; its contents go.
    m_call.input.clear();
    m_call.operateInfo.clear();
    m_call.extra.clear();
    m_call.outputSize = 0;
    m_call.result = 0;
    m_call.sessionId = sessionId;
    m_call.received = std::chrono::steady_clock::now();
    if (m_entry.latency.count() > 0) {
        std::this_thread::sleep_for(m_entry.latency);
    }
}

void CallScope::CaptureInput(const void* record, std::size_t size) {
    if (record != nullptr) {
        const auto* bytes = static_cast<const uint8_t*>(record);
        m_call.input.assign(bytes, bytes + size);
    }
}

void CallScope::CaptureText(const char* text, std::size_t limit) {
    if (text != nullptr) {
        m_call.input.assign(text, text + strnlen(text, limit));
    }
}

void CallScope::CaptureOperateInfo(const void* operateInfo) {
    if (operateInfo != nullptr) {
        const auto* bytes = static_cast<const uint8_t*>(operateInfo);
        m_call.operateInfo.assign(bytes, bytes + sizeof(ZRSDK_OPERATE_INFO));
    }
}

void CallScope::CaptureExtra(const void* data, std::size_t size) {
    if (data != nullptr) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        m_call.extra.assign(bytes, bytes + size);
    }
}

bool CallScope::InjectedFailure(int& code) {
    if (!m_entry.fail) return false;
    code = m_entry.failCode;
    return true;
}

control::CallbackPlan CallScope::CallbackPlan() const {
    return CallHooks::Instance().CallbackPlanOf(*m_hooks);
}

int CallScope::Finish(int result) {
    m_call.result = result;
    CallHooks::Instance().Record(*m_hooks, std::move(m_call));
    return result;
}

}  // namespace zrsdk
