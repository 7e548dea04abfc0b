// The platform SDK refusing calls with every kind of error code. Outcome:
// each request that reports a result reports the platform's code unchanged
// as its event result, exactly once; requests that report nothing log or
// drop the code; nothing of Kestrel's own state changes as if the call had
// succeeded; and the next call, which the platform accepts, succeeds.
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

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
                 PtzSiteParam site;
                 site.code = "ch-0001";
                 site.extValues[2] = 4;
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
            auto failed = op.observer->WaitLast<Datahub::BaseParam>(op.eventType, ++seen);
            ASSERT_TRUE(failed);
            EXPECT_EQ(failed->GetEventResult(), code);
            if (seq > 0) {
                EXPECT_EQ(std::static_pointer_cast<CPtzParam>(failed)->GetSeq(), seq);
            }
        }
        // The fault is used up: the same request now goes through.
        op.call();
        auto succeeded = op.observer->WaitLast<Datahub::BaseParam>(op.eventType, ++seen);
        ASSERT_TRUE(succeeded);
        EXPECT_EQ(succeeded->GetEventResult(), 0);
        WaitIdle();
        EXPECT_EQ(op.observer->OfType(op.eventType).size(), seen) << "one result per request";
    }
}

// A refused login-data read still sends the lock (with empty user texts);
// a refused preset set adds nothing to the cached list.
TEST_F(SdkErrorsTest, RefusedSideCallsAndPresetChangesLeaveKestrelsStateAsThePlatformHasIt) {
    ASSERT_TRUE(control::FailNextCalls("ZRSDK_GetUserLoginData", 1, ZRSDK_ERR_INVALID_SESSION));
    Ptz()->SetLock("ch-0001", LOCK_PTZ, 0, "menu.ptz", 60);
    ASSERT_TRUE(m_ptzObserver.WaitFor(1, CPtzParam::PTZ_EVENT_LOCK));
    EXPECT_EQ(m_ptzObserver.OfType(CPtzParam::PTZ_EVENT_LOCK)[0].param->GetEventResult(), 0);
    EXPECT_TRUE(Ptz()->IsLock("ch-0001"));

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
        ASSERT_TRUE(control::FailNextCalls("ZRSDK_GetFlowSetIFrame", 1, code));
        ASSERT_TRUE(control::FailNextCalls("ZRSDK_SmartTrackOperate", 1, code));
        ASSERT_TRUE(control::FailNextCalls("ZRSDK_VehiclePreviewConfig", 1, code));
        Device()->SetIFrame("ch-0001");
        SmartTrackOperate operate;
        operate.code = "ch-0001";
        Device()->SmartTrackOperate(operate);
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

}  // namespace
}  // namespace Kestrel
