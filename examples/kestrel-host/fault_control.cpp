#include "fault_control.h"

#include <algorithm>

#include "mgmt_server/server.h"
#include "zrsdk/zrsdk_control.h"

namespace kestrel_host {

namespace {

namespace control = zrsdk::control;

// An outage lasts "for ever": until the faults are cleared.
constexpr int kForever = 1000000000;

bool Known(const std::string& function) {
    const auto& calls = KestrelPlatformCalls();
    return std::find(calls.begin(), calls.end(), function) != calls.end();
}

std::vector<std::string> Targets(const std::string& function) {
    if (function == "all") return KestrelPlatformCalls();
    if (Known(function)) return {function};
    return {};
}

}  // namespace

const std::vector<std::string>& KestrelPlatformCalls() {
    static const std::vector<std::string> calls = {
        "ZRSDK_StartRemoteRecord",     "ZRSDK_StopRemoteRecord",       "ZRSDK_StartAPPRemoteRecord",
        "ZRSDK_StopAPPRemoteRecord",   "ZRSDK_SmartTrackOperate",      "ZRSDK_VehiclePreviewConfig",
        "ZRSDK_GetResourceBinding",    "ZRSDK_GetFlowSetIFrame",       "ZRSDK_PtzOperateDirect",
        "ZRSDK_PtzOperateCamera",      "ZRSDK_PtzSitPosition",         "ZRSDK_PtzSitPositionEx",
        "ZRSDK_PtzRainWiper",          "ZRSDK_PtzSetScanMargin",       "ZRSDK_PtzAutoScan",
        "ZRSDK_PtzArrangePtz",         "ZRSDK_GetUserLoginData",       "ZRSDK_PtzGetPresetPoints",
        "ZRSDK_PtzOperatePresetPoint", "ZRSDK_GetChannelCruisePreset", "ZRSDK_SetChannelCruisePreset",
    };
    return calls;
}

bool FailPlatformCalls(const std::string& function, int count, int code) {
    const std::vector<std::string> targets = Targets(function);
    for (const std::string& target : targets) control::FailNextCalls(target, count, code);
    return !targets.empty();
}

bool SetPlatformLatency(const std::string& function, std::chrono::milliseconds latency) {
    const std::vector<std::string> targets = Targets(function);
    for (const std::string& target : targets) control::SetLatency(target, latency);
    return !targets.empty();
}

void PlatformOutage(int code) { FailPlatformCalls("all", kForever, code); }

void FailServerAnswers(mgmt::Server& server, int count, int serverCode, int httpStatus) {
    mgmt::Fault fault;
    fault.count = count;
    fault.kind = mgmt::Fault::Kind::Answer;
    fault.serverCode = serverCode;
    fault.httpStatus = httpStatus;
    server.InjectFault(fault);
}

void DelayServerAnswers(mgmt::Server& server, int count, std::chrono::milliseconds delay) {
    mgmt::Fault fault;
    fault.count = count;
    fault.kind = mgmt::Fault::Kind::Answer;  // nothing else set: served after the delay
    fault.delay = delay;
    server.InjectFault(fault);
}

void ServerOutage(mgmt::Server& server) { server.StopListening(); }

void ClearFaults(mgmt::Server* server) {
    control::ClearFaults();
    if (server != nullptr) {
        server->ClearFaults();
        server->ResumeListening();  // listening already: nothing changes
    }
}

}  // namespace kestrel_host
