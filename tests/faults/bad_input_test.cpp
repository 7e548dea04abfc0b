// Bad input through the façades. Outcomes:
// - empty and over-long codes and texts are cut to their platform fields
//   (always terminated) and the requests are answered like any other; the
//   I-frame request, whose code is a plain text argument, passes it whole;
// - enumeration values without a name (inside the enumeration's range:
//   beyond it a value is undefined in C++ itself) go to the platform
//   unchanged, which refuses them (a preset operation's too, and the lens
//   operation's, which is refused with -1: the PTZ operation and preset
//   tests);
// - null observers are refused, unknown ones unregister harmlessly;
// - without a logged-in user and after UnInit every request that reports a
//   result reports -1, and nothing reaches the platform.
#include <climits>
#include <limits>
#include <set>
#include <string>
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

using kestrel_test::RecordingObserver;
using kestrel_test::TextAt;
using D = CDeviceFunctionParam;
namespace control = zrsdk::control;

const std::string kLong(5000, 'c');

// The platform functions a PTZ or device request reaches, each with the
// width of the code field that opens its record (text arguments: 64).
struct CodeField {
    const char* function;
    std::size_t width;
};
const CodeField kCodeFields[] = {
    {"ZRSDK_StartRemoteRecord", 64},   {"ZRSDK_StopRemoteRecord", 64},    {"ZRSDK_StartAPPRemoteRecord", 64},
    {"ZRSDK_GetResourceBinding", 64},  {"ZRSDK_SmartTrackOperate", 56},
    {"ZRSDK_PtzOperateDirect", 64},    {"ZRSDK_PtzOperateCamera", 64},    {"ZRSDK_PtzSitPosition", 64},
    {"ZRSDK_PtzRainWiper", 64},        {"ZRSDK_PtzSetScanMargin", 64},    {"ZRSDK_PtzAutoScan", 64},
    {"ZRSDK_PtzArrangePtz", 64},       {"ZRSDK_PtzGetPresetPoints", 64},  {"ZRSDK_GetChannelCruisePreset", 64},
    {"ZRSDK_SetChannelCruisePreset", 64},
};

class BadInputTest : public kestrel_test::KestrelFixture {
protected:
    // Every request of the façades that reaches the platform, with the codes
    // and texts given, on observers cleared first; then checks that each of
    // the kDeviceResults and kPtzResults requests that report a result did so.
    static constexpr std::size_t kDeviceResults = 4;
    static constexpr std::size_t kPtzResults = 15;
    void CallEverything(const std::string& code, const std::string& text) {
        m_deviceObserver.Clear();
        m_ptzObserver.Clear();
        Device()->StartRecord(code, 0, 0, text, text);
        Device()->StopRecord(code, 0, true, text);
        Device()->StartAPPChannelRecord(code, text, 0, 0, text);
        Device()->GetBindingResource(code, LLONG_MIN);
        Device()->SetIFrame(code);
        Device()->SmartTrackOperate(SmartTrackOperate{0, code});  // value1, code
        Device()->OpenVehilceMonitor({code, text, ""});
        Device()->RestartDevice(code);

        Ptz()->PtzDirection(code, DIRECTION_DOWN, false, 1, text);
        Ptz()->PtzControl(code, PTZ_OPERATOR_2, false, 1, text);
        Ptz()->PtzSite(code, 1, 2, 3, INT_MIN);
        PtzOperation op;
        Ptz()->RainWiper(code, op);
        Ptz()->SetScanMargin(code, op);
        Ptz()->AutoScan(code, op);
        Ptz()->SetLock(code, LOCK_PTZ, 0, text, 30);
        Ptz()->QueryLockState(code);
        Ptz()->QueryPrePoint(code, true);
        Ptz()->QueryCruisePreset(code, 0, text);
        const CruisePresetInfo info{0, text, text, text};  // index, extra, begin and end
        Ptz()->AddCruisePreset(code, {info, info}, text);
        std::vector<CruisePresetInfo> guards{info};
        Ptz()->AddGuardPreset(code, INT_MIN, guards, text);
        Ptz()->QueryGuardPreset(code, INT_MAX, text);
        Ptz()->DelGuardPreset(code, LONG_MAX, text);
        PtzIdleMotior motion{false, 0, INT_MIN, text};
        Ptz()->SetIdleMonitor(code, motion, text);
        WaitIdle();
        EXPECT_EQ(m_deviceObserver.Count(), kDeviceResults);
        // The server's lock notices answer no request.
        EXPECT_EQ(m_ptzObserver.Count() - m_ptzObserver.OfType(CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED).size(),
                  kPtzResults);
    }
};

TEST_F(BadInputTest, OverLongAndEmptyTextsAreCutToTheirFieldsAndAnswered) {
    CallEverything(kLong, kLong);
    for (const auto& r : m_deviceObserver.All()) EXPECT_NE(r.param->GetEventResult(), 0);

    for (const CodeField& field : kCodeFields) {
        SCOPED_TRACE(field.function);
        const auto calls = control::CapturedCalls(field.function);
        ASSERT_FALSE(calls.empty());
        for (const auto& call : calls) {
            // Cut to the field's width less one: the last byte is the NUL.
            EXPECT_EQ(TextAt(call.input, 0, field.width), kLong.substr(0, field.width - 1));
            // The menu key likewise, where the request has one (a lock query
            // has none).
            const std::string menuKey = TextAt(call.operateInfo, 0, sizeof(ZRSDK_OPERATE_INFO::menuKey));
            if (!menuKey.empty()) {
                EXPECT_EQ(menuKey, kLong.substr(0, sizeof(ZRSDK_OPERATE_INFO::menuKey) - 1));
            }
        }
    }
    // The I-frame request takes the code as a plain text, whole.
    EXPECT_EQ(TextAt(control::CapturedCalls("ZRSDK_GetFlowSetIFrame").at(0).input, 0, kLong.size() + 1), kLong);
    // The cruise items' times too.
    const auto cruise = control::CapturedCalls("ZRSDK_SetChannelCruisePreset").at(0);
    ASSERT_EQ(cruise.extra.size(), 2 * sizeof(ZRSDK_CRUISE_PRESET_ITEM));
    EXPECT_EQ(TextAt(cruise.extra, offsetof(ZRSDK_CRUISE_PRESET_ITEM, beginTime), 15), kLong.substr(0, 14));

    CallEverything("", "");

    // Still working.
    Device()->StartRecord("ch-0002", 0, 0, "", "menu.record");
    EXPECT_EQ(m_deviceObserver.Wait<D>(D::DEVICE_EVENT_START_RECORD, 2)->GetEventResult(), 0);
}

TEST_F(BadInputTest, UnnamedEnumerationValuesAreRefusedByThePlatformOrLocally) {
    const int up = Ptz()->PtzDirection("ch-0001", static_cast<Direction_e>(0), false, 1, "menu.ptz");
    const int far = Ptz()->PtzDirection("ch-0001", static_cast<Direction_e>(15), false, 1, "menu.ptz");
    ASSERT_TRUE(m_ptzObserver.WaitFor(2, CPtzParam::PTZ_EVENT_DIRECTION));
    EXPECT_EQ(m_ptzObserver.Results(CPtzParam::PTZ_EVENT_DIRECTION), std::vector<int>(2, ZRSDK_ERR_INVALID_PARAM));
    EXPECT_EQ(m_ptzObserver.Seqs<CPtzParam>(CPtzParam::PTZ_EVENT_DIRECTION), (std::multiset<int>{up, far}));

    EXPECT_EQ(Device()->SnapPicture("ch-0001", 1, static_cast<Snap_Picture_e>(1)), -1);
    EXPECT_EQ(Device()->MasterSlaveIntellManualTrack(kLong, INT_MIN), 0);
    EXPECT_EQ(Device()->MasterSlaveIntellFixedPointTrack("", UINT_MAX, 0), 0);

    Ptz()->SetLock("ch-0001", static_cast<Lock_e>(0), 0, "menu.ptz", 10);
    Ptz()->SetLock("ch-0001", static_cast<Lock_e>(7), 0, "menu.ptz", -1);
    ASSERT_TRUE(m_ptzObserver.WaitFor(2, CPtzParam::PTZ_EVENT_LOCK));
    for (int result : m_ptzObserver.Results(CPtzParam::PTZ_EVENT_LOCK))
        EXPECT_TRUE(result == ZRSDK_ERR_INVALID_PARAM || result == ZRSDK_ERR_UNSUPPORTED) << result;
    EXPECT_FALSE(Ptz()->IsLock("ch-0001"));

    // Numbers out of every range reach the platform and are answered.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Ptz()->PtzSite("ch-0001", nan, std::numeric_limits<double>::infinity(), -1e308, INT_MIN);
    Ptz()->SetMaxLockTime(-1);
    Device()->StartRecord("ch-0001", INT_MIN, INT_MAX, "", "menu.record");
    ASSERT_TRUE(m_ptzObserver.WaitFor(1, CPtzParam::PTZ_EVENT_SITE));
    ASSERT_TRUE(m_deviceObserver.WaitFor(1, D::DEVICE_EVENT_START_RECORD));
}

TEST_F(BadInputTest, NullAndUnknownObservers) {
    RecordingObserver stranger;
    EXPECT_FALSE(Device()->RegisterObserver(nullptr));
    EXPECT_FALSE(Ptz()->RegisterObserver(nullptr));
    EXPECT_FALSE(Face()->RegisterObserver(nullptr));
    EXPECT_TRUE(Device()->UnRegisterObserver(nullptr));
    EXPECT_TRUE(Ptz()->UnRegisterObserver(&stranger));
    EXPECT_TRUE(Face()->UnRegisterObserver(&stranger));
}

// No account or resource-tree plug-in: no user and no channels. Requests
// are refused as after UnInit (below); a preset operation is refused at once.
TEST_F(BadInputTest, WithoutAUserEveryRequestIsRefused) {
    CKestrel bare;
    ASSERT_TRUE(bare.Init());
    CPtzExternal* ptz = bare.GetManagerExternal()->GetPtz();
    RecordingObserver ptzObserver;
    ptz->RegisterObserver(&ptzObserver);
    control::ClearCaptures();
    ptz->SetLock("ch-0001", LOCK_PTZ, 0, "menu.ptz", 30);
    std::string name = "x";
    EXPECT_EQ(ptz->OperatorPrePoint(PREPOINT_SET, "ch-0001", 1, name, "menu.ptz"), -1);
    ASSERT_TRUE(ptzObserver.WaitFor(1));
    WaitIdle();
    EXPECT_EQ(ptzObserver.Results(), std::vector<int>{-1});
    EXPECT_EQ(control::CallCount("ZRSDK_PtzArrangePtz"), 0u);
    EXPECT_FALSE(ptz->IsLock("ch-0001"));
    bare.UnInit();
}

TEST_F(BadInputTest, AfterUnInitEveryRequestIsRefusedWithoutReachingThePlatform) {
    Ptz()->QueryPrePoint("ch-0001", false);
    ASSERT_TRUE(m_ptzObserver.WaitFor(1));
    const std::size_t presets = Ptz()->GetPrePointInfo("ch-0001").size();
    m_kestrel->UnInit();
    control::ClearCaptures();
    m_server.ClearRequests();

    CallEverything("ch-0001", "text");
    EXPECT_EQ(m_deviceObserver.Results(), std::vector<int>(kDeviceResults, -1));
    EXPECT_EQ(m_ptzObserver.Results(), std::vector<int>(kPtzResults, -1));
    for (const CodeField& field : kCodeFields) EXPECT_EQ(control::CallCount(field.function), 0u) << field.function;
    EXPECT_TRUE(m_server.Requests().empty());
    // The caches stay; the lock table is empty.
    EXPECT_EQ(Ptz()->GetPrePointInfo("ch-0001").size(), 0u) << "emptied by the refused query";
    EXPECT_GE(presets, 1u);
    EXPECT_FALSE(Ptz()->IsLock("ch-0001"));
    EXPECT_EQ(Ptz()->DelLockCamera("ch-0001"), 0);
    ASSERT_TRUE(m_kestrel->Init());  // for TearDown
}

}  // namespace
}  // namespace Kestrel
