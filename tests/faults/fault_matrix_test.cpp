// Every fault on every operation.
//
// The platform SDK refusing calls with every kind of error code: each
// request that reports a result reports the platform's code unchanged as its
// event result, exactly once; requests that report nothing log or drop the
// code; nothing of Kestrel's own state changes as if the call had succeeded;
// and the next call, which the platform accepts, succeeds.
//
// The management server misbehaving under every REST operation: each
// guard-preset and idle-motion request reports exactly one result, which is
// the pass-through's code for a transport failure (refused -1003, cut off
// -1005, too late -1004, too large -1007, no JSON envelope -1008), the
// server's code when it is not 1000, else the HTTP status; an answer whose
// "data" does not fit is still a success with empty fields. The device
// restart logs the same codes. After each fault the same request succeeds.
#include <chrono>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "datahub/rest.h"
#include "kestrel/device_function_param.h"
#include "kestrel/ptz_param.h"
#include "kestrel_fixture.h"
#include "ptz_test_util.h"
#include "zrsdk/zrsdk_control.h"
#include "zrsdk/zrsdk_errors.h"

namespace Kestrel {
namespace {

using kestrel_test::KestrelFixture;
using kestrel_test::RecordingObserver;
namespace control = zrsdk::control;

// Every refusal the platform knows, and two codes it does not document.
const std::vector<int> kErrorCodes = {
    ZRSDK_ERR_INVALID_PARAM,   ZRSDK_ERR_INVALID_SESSION,   ZRSDK_ERR_BAD_LOGIN,     ZRSDK_ERR_UNKNOWN_CHANNEL,
    ZRSDK_ERR_NOT_PTZ,         ZRSDK_ERR_ALREADY_RECORDING, ZRSDK_ERR_NOT_RECORDING, ZRSDK_ERR_UNKNOWN_PRESET,
    ZRSDK_ERR_PTZ_LOCKED,      ZRSDK_ERR_UNSUPPORTED,       -1,                      0x7fffffff,
};

class SdkErrorsTest : public KestrelFixture {
protected:
    struct Operation {
        const char* function;  // the platform function it calls, which names it
        RecordingObserver* observer;
        int eventType;
        // Makes the request; returns its sequence number or 0.
        std::function<int()> call;
    };

    // A wiper, scan margin or auto scan request, which reports no sequence.
    std::function<int()> Aux(void (CPtzExternal::*request)(std::string, PtzOperation&), int action, int margin) {
        return [this, request, action, margin] {
            PtzOperation op;
            op.action = action;
            op.margin = margin;
            (Ptz()->*request)("ch-0001", op);
            return 0;
        };
    }

    std::vector<Operation> ReportingOperations() {
        RecordingObserver* dev = &m_deviceObserver;
        RecordingObserver* ptz = &m_ptzObserver;
        using D = CDeviceFunctionParam;
        using P = CPtzParam;
        // Recording alternates start and stop, so that the platform's own
        // answer to the successful call that follows is success too.
        return {
            {"ZRSDK_StartRemoteRecord", dev, D::DEVICE_EVENT_START_RECORD,
             [this] { return Device()->StartRecord("ch-0001", 0, 0, "soak", "menu.record"); }},
            {"ZRSDK_StopRemoteRecord", dev, D::DEVICE_EVENT_STOP_RECORD,
             [this] { return Device()->StopRecord("ch-0001", 0, false, "menu.record"); }},
            {"ZRSDK_StartAPPRemoteRecord", dev, D::DEVICE_EVENT_START_APP_RECORD,
             [this] { return Device()->StartAPPChannelRecord("ch-0002", "ch-0001", 1, 0, "app"); }},
            {"ZRSDK_GetResourceBinding", dev, D::DEVICE_EVENT_BINDING_RESOURCE,
             [this] { return Device()->GetBindingResource("ch-0001", 77); }},
            {"ZRSDK_PtzOperateDirect", ptz, P::PTZ_EVENT_DIRECTION,
             [this] { return Ptz()->PtzDirection("ch-0001", DIRECTION_UP, false, 3, "menu.ptz"); }},
            {"ZRSDK_PtzOperateCamera", ptz, P::PTZ_EVENT_CAMERA,
             [this] { return Ptz()->PtzControl("ch-0001", PTZ_OPERATOR_1, false, 3, "menu.ptz"); }},
            {"ZRSDK_PtzSitPosition", ptz, P::PTZ_EVENT_SITE, [this] { return Ptz()->PtzSite("ch-0001", 10, 5, 2, 1); }},
            {"ZRSDK_PtzSitPositionEx", ptz, P::PTZ_EVENT_SITE, [this] {
                 PtzSiteParam site{"ch-0001", 0, 0, 0, 0, 0, 0, {0, 0, 4, 0}};  // extValues[2] picks the extended call
                 return Ptz()->PtzSiteEx(site, "menu.ptz");
             }},
            {"ZRSDK_PtzRainWiper", ptz, P::PTZ_EVENT_RAIN_WIPER, Aux(&CPtzExternal::RainWiper, 0, 0)},
            {"ZRSDK_PtzSetScanMargin", ptz, P::PTZ_EVENT_SCAN_MARGIN, Aux(&CPtzExternal::SetScanMargin, 0, 1)},
            // Action 1 stops the scan: always accepted.
            {"ZRSDK_PtzAutoScan", ptz, P::PTZ_EVENT_AUTO_SCAN, Aux(&CPtzExternal::AutoScan, 1, 0)},
            {"ZRSDK_PtzArrangePtz", ptz, P::PTZ_EVENT_LOCK, [this] { return Ptz()->QueryLockState("ch-0001"); }},
            {"ZRSDK_PtzGetPresetPoints", ptz, P::PTZ_EVENT_QUERY_PRESET_POINTS,
             [this] { return Ptz()->QueryPrePoint("ch-0001", false); }},
            {"ZRSDK_PtzOperatePresetPoint", ptz, P::PTZ_EVENT_PRESET_GOTO, [this] {
                 std::string name = "Preset 1";
                 return Ptz()->OperatorPrePoint(PREPOINT_GOTO, "ch-0001", 1, name, "menu.ptz");
             }},
            {"ZRSDK_GetChannelCruisePreset", ptz, P::PTZ_EVENT_QUERY_CRUISE,
             [this] { return Ptz()->QueryCruisePreset("ch-0001", 0, "menu.ptz"); }},
            // Preset 2 with an idle time of 10.
            {"ZRSDK_SetChannelCruisePreset", ptz, P::PTZ_EVENT_ADD_CRUISE,
             [this] { return Ptz()->AddCruisePreset("ch-0001", {{2, "", "", "", 10}}, "menu.ptz"); }},
        };
    }
};

TEST_F(SdkErrorsTest, EveryReportingRequestCarriesEachPlatformCodeOnceAndThenWorksAgain) {
    for (const Operation& op : ReportingOperations()) {
        SCOPED_TRACE(op.function);
        // Results of the same type from the operations before this one.
        std::size_t seen = op.observer->OfType(op.eventType).size();
        for (int code : kErrorCodes) {
            ASSERT_TRUE(control::FailNextCalls(op.function, 1, code));
            const int seq = op.call();
            ASSERT_TRUE(op.observer->WaitFor(++seen, op.eventType));
            EXPECT_EQ(op.observer->Results(op.eventType)[seen - 1], code);
            // A request that returns a sequence number finds it in its result.
            if (seq > 0) {
                EXPECT_EQ(op.observer->Wait<CPtzParam>(op.eventType, seen)->GetSeq(), seq);
            }
        }
        // The fault is used up: the same request now goes through.
        op.call();
        ASSERT_TRUE(op.observer->WaitFor(++seen, op.eventType));
        EXPECT_EQ(op.observer->Results(op.eventType)[seen - 1], 0);
        WaitIdle();
        EXPECT_EQ(op.observer->OfType(op.eventType).size(), seen) << "one result per request";
    }
}

// A refused login-data read still sends the lock (with empty user texts);
// a refused preset set adds nothing to the cached list.
TEST_F(SdkErrorsTest, RefusedSideCallsAndPresetChangesLeaveKestrelsStateAsThePlatformHasIt) {
    ASSERT_TRUE(control::FailNextCalls("ZRSDK_GetUserLoginData", 1, ZRSDK_ERR_INVALID_SESSION));
    Ptz()->SetLock("ch-0001", LOCK_PTZ, 0, "menu.ptz", 60);
    EXPECT_EQ(m_ptzObserver.Wait<CPtzParam>(CPtzParam::PTZ_EVENT_LOCK)->GetEventResult(), 0);
    EXPECT_TRUE(Ptz()->IsLock("ch-0001"));
    // The user's code and name (at 72 and 136) stay empty.
    EXPECT_TRUE(kestrel_test::IsRecord(control::CapturedCalls("ZRSDK_PtzArrangePtz").at(0).input, 648,
                                       {{0, "ch-0001"}, {64, 60}, {68, LOCK_PTZ}}));

    Ptz()->QueryPrePoint("ch-0001", false);
    ASSERT_TRUE(m_ptzObserver.WaitFor(1, CPtzParam::PTZ_EVENT_QUERY_PRESET_POINTS));
    const std::size_t presets = Ptz()->GetPrePointInfo("ch-0001").size();
    ASSERT_GT(presets, 0u);
    ASSERT_TRUE(control::FailNextCalls("ZRSDK_PtzOperatePresetPoint", 1, ZRSDK_ERR_UNKNOWN_PRESET));
    std::string name = "new";
    Ptz()->OperatorPrePoint(PREPOINT_SET, "ch-0001", 99, name, "menu.ptz");
    ASSERT_TRUE(m_ptzObserver.WaitFor(1, CPtzParam::PTZ_EVENT_PRESET_SET));
    EXPECT_EQ(Ptz()->GetPrePointInfo("ch-0001").size(), presets);
}

// Requests without a result: a refused I-frame is logged with its code at
// level 4; refused smart-track and vehicle-monitoring calls end silently.
// None of them posts anything, and the calls after them reach the platform.
TEST_F(SdkErrorsTest, RequestsWithoutAResultLogOrDropTheCode) {
    kestrel_test::LogCapture log;
    for (int code : kErrorCodes) {
        for (const char* function : {"ZRSDK_GetFlowSetIFrame", "ZRSDK_SmartTrackOperate", "ZRSDK_VehiclePreviewConfig"})
            ASSERT_TRUE(control::FailNextCalls(function, 1, code));
        Device()->SetIFrame("ch-0001");
        Device()->SmartTrackOperate(SmartTrackOperate{0, "ch-0001"});  // value1, code
        Device()->OpenVehilceMonitor({"ch-0001", "ch-0002"});
        WaitIdle();
    }
    EXPECT_EQ(m_deviceObserver.Count(), 0u);
    const auto lines = log.LinesOf("Kestrel::CDeviceCommunicate::HandleSetIFrame");
    ASSERT_EQ(lines.size(), kErrorCodes.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto& l = lines[i];
        EXPECT_EQ(std::tie(l.level, l.source, l.line, l.tag, l.text),
                  std::make_tuple(4, "DeviceCommunicate", 941, "",
                                  "Set SetIFrame failed. errorcode = " + std::to_string(kErrorCodes[i])));
    }

    const int iframes = control::GetIFrameRequests("ch-0001");
    Device()->SetIFrame("ch-0001");
    Device()->OpenVehilceMonitor({"ch-0003"});
    WaitIdle();
    EXPECT_EQ(control::GetIFrameRequests("ch-0001"), iframes + 1);
    EXPECT_EQ(control::GetVehiclePreviewCodes(), std::vector<std::string>{"ch-0003"});
}

struct ServerFault {
    const char* name;
    mgmt::Fault fault;  // method and path are set per operation
    bool refuseConnections = false;
    int expected;
};

// A fault of this kind and answer, for `count` matching requests.
mgmt::Fault Make(mgmt::Fault::Kind kind, int httpStatus = 0, std::optional<int> serverCode = {}, int count = 1) {
    mgmt::Fault fault;
    fault.kind = kind;
    fault.httpStatus = httpStatus;
    fault.serverCode = serverCode;
    fault.count = count;
    return fault;
}

// A success (server code 1000) whose "data" is this JSON text.
mgmt::Fault WithData(const char* method, const char* dataJson) {
    mgmt::Fault fault = Make(mgmt::Fault::Kind::Answer, 0, 1000);
    fault.method = method;
    fault.dataJson = dataJson;
    return fault;
}

std::vector<ServerFault> Faults() {
    using K = mgmt::Fault::Kind;
    return {
        {"refused connection", {}, true, Datahub::PASS_THROUGH_CONNECT_FAILED},
        {"closed mid-answer", Make(K::CloseMidAnswer), false, Datahub::PASS_THROUGH_CONNECTION_LOST},
        // A kept-alive connection is retried once.
        {"closed without answer", Make(K::CloseWithoutAnswer, 0, {}, 2), false, Datahub::PASS_THROUGH_CONNECTION_LOST},
        {"HTTP 500", Make(K::Answer, 500), false, 500},
        {"HTTP 500 with code 1500", Make(K::Answer, 500, 1500), false, 1500},
        {"code 1005", Make(K::Answer, 200, 1005), false, 1005},
        {"malformed JSON", Make(K::BrokenBody), false, Datahub::PASS_THROUGH_BAD_ENVELOPE},
        {"huge body", Make(K::HugeBody), false, Datahub::PASS_THROUGH_ANSWER_TOO_LARGE},
    };
}

class ServerFaultsTest : public KestrelFixture {
protected:
    struct RestOperation {
        const char* name;
        const char* method;
        const char* path;
        int eventType;
        std::function<void()> call;
    };

    std::vector<RestOperation> Operations() {
        return {
            {"AddGuardPreset", "POST", "/psib/ptz/presetTask", CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET,
             [this] { AddGuardPreset(); }},
            {"QueryGuardPreset", "GET", "/psib/ptz/presetTask/", CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET,
             [this] { Ptz()->QueryGuardPreset("ch-0001", 1, "menu.ptz"); }},
            {"DelGuardPreset", "DELETE", "/psib/ptz/presetTask/", CPtzParam::PTZ_EVENT_DEL_GUARD_PRESET,
             [this] { Ptz()->DelGuardPreset("ch-0001", m_taskId, "menu.ptz"); }},
            {"SetIdleMonitor", "PUT", "/videoService/ptz/idleMotion/", CPtzParam::PTZ_EVENT_SET_IDLE_MONITOR,
             [this] {
                 PtzIdleMotior motion{true, 30};  // enable, second
                 Ptz()->SetIdleMonitor("ch-0001", motion, "menu.ptz");
             }},
        };
    }

    // One guard preset for channel ch-0001.
    void AddGuardPreset() {
        std::vector<CruisePresetInfo> list(1);
        Ptz()->AddGuardPreset("ch-0001", 1, list, "menu.ptz");
    }

    // A task on the server for the deletes to delete.
    void SaveTask() {
        const std::size_t before = m_ptzObserver.OfType(CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET).size();
        AddGuardPreset();
        ASSERT_TRUE(m_ptzObserver.WaitFor(before + 1, CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET));
        m_taskId = Ptz()->GetGuardPresetId("ch-0001");
        ASSERT_GT(m_taskId, 0);
    }

    int Run(const RestOperation& op) {
        const std::size_t before = m_ptzObserver.OfType(op.eventType).size();
        op.call();
        WaitIdle();
        auto results = m_ptzObserver.OfType(op.eventType);
        EXPECT_EQ(results.size(), before + 1) << op.name << ": one result per request";
        return results.empty() ? 0x7fffffff : results.back().param->GetEventResult();
    }

    long m_taskId = 0;
};

TEST_F(ServerFaultsTest, EveryFaultOnEveryOperationGivesItsCodeAndTheNextCallWorks) {
    for (const RestOperation& op : Operations()) {
        for (const ServerFault& fault : Faults()) {
            SCOPED_TRACE(std::string(op.name) + ", " + fault.name);
            SaveTask();
            m_server.ClearRequests();
            if (fault.refuseConnections) {
                m_server.StopListening();
            } else {
                mgmt::Fault f = fault.fault;
                f.method = op.method;
                f.path = op.path;
                m_server.InjectFault(f);
            }
            EXPECT_EQ(Run(op), fault.expected);

            if (fault.refuseConnections) {
                ASSERT_TRUE(m_server.ResumeListening());
            }
            m_server.ClearFaults();
            EXPECT_EQ(Run(op), 0) << "after the fault";
        }
    }
}

// An answer whose "data" is not what the operation describes is judged by
// its status and code alone: the members that do not fit stay empty.
TEST_F(ServerFaultsTest, DataOfTheWrongShapeIsSuccessWithEmptyFields) {
    SaveTask();
    Ptz()->QueryGuardPreset("ch-0001", 1, "menu.ptz");
    WaitIdle();
    ASSERT_EQ(Ptz()->GetGuardPresetInfo("ch-0001").size(), 1u);

    const char* shapes[] = {"[1,2,3]", "\"text\"", "{\"configList\":{\"presetIndex\":1},\"channelCode\":7}",
                            "{\"configList\":[{\"presetIndex\":\"one\"}],\"channelCode\":\"ch-0001\"}"};
    std::size_t queries = m_ptzObserver.OfType(CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET).size();
    for (const char* data : shapes) {
        SCOPED_TRACE(data);
        m_server.InjectFault(WithData("GET", data));
        const int seq = Ptz()->QueryGuardPreset("ch-0001", 1, "menu.ptz");
        auto result = m_ptzObserver.Wait<CPtzParam>(CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET, ++queries);
        EXPECT_EQ(std::make_tuple(result->GetEventResult(), result->GetSeq()), std::make_tuple(0, seq));
        // The list the query emptied stays empty: nothing fitted.
        if (std::string(data).find("ch-0001") == std::string::npos) {
            EXPECT_TRUE(Ptz()->GetGuardPresetInfo("ch-0001").empty());
        } else {
            // The element that did not fit is kept with its fields zero.
            ASSERT_EQ(Ptz()->GetGuardPresetInfo("ch-0001").size(), 1u);
            EXPECT_EQ(Ptz()->GetGuardPresetInfo("ch-0001")[0].presetIndex, 0);
        }
    }

    m_server.InjectFault(WithData("POST", "{\"id\":\"not a number\"}"));
    std::vector<CruisePresetInfo> list(1);
    Ptz()->AddGuardPreset("ch-0004", 0, list, "menu.ptz");
    WaitIdle();
    auto added = m_ptzObserver.OfType(CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET).back();
    EXPECT_EQ(added.param->GetEventResult(), 0);
    EXPECT_EQ(Ptz()->GetGuardPresetId("ch-0004"), 0);
}

// The device restart reports to no observer: its failures are log lines of
// level 6 naming the code (a transport failure, here the time-out that the
// matrix above leaves out, or the server's answer), and a server that answers
// after the time-out costs the pool thread no more than the time-out.
TEST_F(ServerFaultsTest, DeviceRestartLogsEachFailure) {
    kestrel_test::LogCapture log;
    mgmt::Fault late;
    late.method = "PUT";
    late.delay = std::chrono::seconds(11);
    m_server.InjectFault(late);
    Device()->RestartDevice("dev-0001");
    ASSERT_TRUE(m_env->WaitIdle(std::chrono::seconds(30)));

    m_server.InjectFault(Make(mgmt::Fault::Kind::Answer, 503));
    Device()->RestartDevice("dev-0001");
    WaitIdle();
    Device()->RestartDevice("dev-0001");
    WaitIdle();
    // The restart that went through: its path, and no audit headers.
    const auto restart = m_server.Requests().back();
    EXPECT_EQ(std::tie(restart.method, restart.target, restart.code),
              std::make_tuple("PUT", "/videoService/devices/restart/dev-0001", 1000));
    EXPECT_FALSE(restart.Header("X-Operate-Code").has_value());

    const auto lines = log.LinesOf("Kestrel::CDeviceCommunicate::HandleResetDevice");
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& l : lines) EXPECT_EQ(std::tie(l.level, l.source), std::make_tuple(6, "DeviceCommunicate"));
    EXPECT_EQ(lines[0].text, "DataPassThroughJson failed, error = -1004.");
    EXPECT_EQ(lines[1].text.rfind("DataPassThroughJson failed, error = 503 [http_code = 503, api_code = 1000", 0), 0u)
        << lines[1].text;
    EXPECT_EQ(m_deviceObserver.Count(), 0u);
}

}  // namespace
}  // namespace Kestrel
