// Device requests end to end: façade → worker → platform SDK (its captured
// inputs) → observers.
#include <cstring>
#include <mutex>

#include <gtest/gtest.h>

#include "kestrel/device_function_param.h"
#include "kestrel_fixture.h"
#include "hostfw/vkl_host.h"
#include "zrsdk/zrsdk.h"
#include "zrsdk/zrsdk_control.h"
#include "zrsdk/zrsdk_errors.h"

namespace Kestrel {
namespace {

using kestrel_test::KestrelFixture;
using kestrel_test::ThreadKind;
namespace control = zrsdk::control;

class DeviceTest : public KestrelFixture {
protected:
    std::shared_ptr<CDeviceFunctionParam> Last(int type) {
        auto events = m_deviceObserver.OfType(type);
        return events.empty() ? nullptr : events.back().As<CDeviceFunctionParam>();
    }
};

TEST_F(DeviceTest, RecordingStartAndStopReachThePlatformAndReportBack) {
    ASSERT_EQ(Device()->StartRecord("ch-0001", 1, 77, "a text longer than nineteen", "menu.record"), 0);
    ASSERT_TRUE(m_deviceObserver.WaitFor(1, CDeviceFunctionParam::DEVICE_EVENT_START_RECORD));
    auto started = Last(CDeviceFunctionParam::DEVICE_EVENT_START_RECORD);
    EXPECT_EQ(started->GetEventResult(), 0);
    EXPECT_EQ(started->GetCode(), "ch-0001");
    EXPECT_EQ(started->GetStreamType(), 1);
    EXPECT_GT(started->GetPlanId(), 0);
    EXPECT_GT(started->GetUi64Now(), 0u);
    EXPECT_EQ(m_deviceObserver.All()[0].thread, ThreadKind::UI);

    auto calls = control::CapturedCalls("ZRSDK_StartRemoteRecord");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].sessionId, m_env->SessionId());
    ASSERT_EQ(calls[0].input.size(), 112u);
    const ZRSDK_RECORD_INFO info = calls[0].InputAs<ZRSDK_RECORD_INFO>();
    EXPECT_STREQ(info.channelCode, "ch-0001");
    EXPECT_EQ(info.streamType, 1);
    EXPECT_EQ(info.secondValue, 77);
    EXPECT_EQ(std::string(info.text), "a text longer than ");  // 19 characters and the NUL
    for (uint8_t b : info.reserved) EXPECT_EQ(b, 0);
    const ZRSDK_OPERATE_INFO op = calls[0].OperateInfo();
    EXPECT_STREQ(op.menuKey, "M-REC-01");
    EXPECT_STREQ(op.menuName, "Platform recording");

    Device()->StopRecord("ch-0001", 1, true, "unknown.menu");
    ASSERT_TRUE(m_deviceObserver.WaitFor(1, CDeviceFunctionParam::DEVICE_EVENT_STOP_RECORD));
    auto stopped = Last(CDeviceFunctionParam::DEVICE_EVENT_STOP_RECORD);
    EXPECT_EQ(stopped->GetEventResult(), 0);
    EXPECT_EQ(stopped->GetPlanId(), started->GetPlanId());
    auto stop = control::CapturedCalls("ZRSDK_StopRemoteRecord").at(0);
    ASSERT_EQ(stop.input.size(), 72u);
    EXPECT_EQ(stop.input[68], 1);  // the flag
    EXPECT_STREQ(stop.OperateInfo().menuKey, "unknown.menu");  // unknown keys pass as given
    EXPECT_STREQ(stop.OperateInfo().menuName, "");
}

// A failing platform call still reports, with its code, plan id and time 0.
TEST_F(DeviceTest, RejectedRecordingReportsTheCode) {
    Device()->StopRecord("ch-0002", 0, false, "menu.record");  // nothing running
    control::FailNextCalls("ZRSDK_StartRemoteRecord", 1, 4242);
    Device()->StartRecord("ch-0002", 2, 0, "", "menu.record");
    Device()->StartRecord("no-such-channel", 0, 0, "", "menu.record");
    ASSERT_TRUE(m_deviceObserver.WaitFor(3));
    auto stop = Last(CDeviceFunctionParam::DEVICE_EVENT_STOP_RECORD);
    EXPECT_NE(stop->GetEventResult(), 0);
    auto starts = m_deviceObserver.OfType(CDeviceFunctionParam::DEVICE_EVENT_START_RECORD);
    ASSERT_EQ(starts.size(), 2u);
    auto injected = starts[0].As<CDeviceFunctionParam>();
    EXPECT_EQ(injected->GetEventResult(), 4242);
    EXPECT_EQ(injected->GetCode(), "ch-0002");
    EXPECT_EQ(injected->GetStreamType(), 2);
    EXPECT_EQ(injected->GetPlanId(), 0);
    EXPECT_EQ(injected->GetUi64Now(), 0u);
    EXPECT_NE(starts[1].param->GetEventResult(), 0);
}

TEST_F(DeviceTest, AppRecordingSendsBothCodesOnStartOnly) {
    Device()->StartAPPChannelRecord("ch-0001", "app-77", 3, 5, "note");
    ASSERT_TRUE(m_deviceObserver.WaitFor(1, CDeviceFunctionParam::DEVICE_EVENT_START_APP_RECORD));
    auto started = Last(CDeviceFunctionParam::DEVICE_EVENT_START_APP_RECORD);
    EXPECT_EQ(started->GetEventResult(), 0);
    EXPECT_GT(started->GetPlanId(), 0);
    const auto info = control::CapturedCalls("ZRSDK_StartAPPRemoteRecord").at(0).InputAs<ZRSDK_APP_RECORD_INFO>();
    EXPECT_STREQ(info.secondCode, "app-77");
    EXPECT_EQ(info.streamType, 3);
    EXPECT_EQ(info.secondValue, 5);
    EXPECT_STREQ(info.text, "note");
    EXPECT_TRUE(control::CapturedCalls("ZRSDK_StartAPPRemoteRecord").at(0).operateInfo.empty());
}

TEST_F(DeviceTest, BindingQueryOrdersIdsAndMapsNames) {
    control::SetBindings("ch-0001", {
        {3, 1, {{0, "A", "N1"}, {1, "B", "N2"}, {1, "", "N3"}}},
        {2, 1, {{1, "X", "ignored type"}}},
        {3, 2, {{1, "Y", "ignored subtype"}}},
        {4, 5, {{1, "C", "N4"}, {0, "A", "N1 again"}}},
    });
    Device()->GetBindingResource("ch-0001", 0x123456789LL);
    ASSERT_TRUE(m_deviceObserver.WaitFor(1));
    auto result = Last(CDeviceFunctionParam::DEVICE_EVENT_BINDING_RESOURCE);
    EXPECT_EQ(result->GetEventResult(), 0);
    EXPECT_EQ(result->GetCode(), "ch-0001");
    EXPECT_EQ(result->GetUi64Now(), 0x123456789ull);
    EXPECT_EQ(result->GetBindResourceIDList(), (std::list<std::string>{"B", "C", "A", "A"}));
    const std::map<std::string, std::string> expected{{"", "N3"}, {"A", "N1 again"}, {"B", "N2"}, {"C", "N4"}};
    EXPECT_EQ(result->GetBindChannelInfo(), expected);
    EXPECT_EQ(control::CapturedCalls("ZRSDK_GetResourceBinding").at(0).input,
              std::vector<uint8_t>({'c', 'h', '-', '0', '0', '0', '1'}));
}

TEST_F(DeviceTest, BindingCallbackOfAnotherMessageLeavesTheResultEmpty) {
    control::SetBindings("ch-0001", {{3, 1, {{1, "B", "N2"}}}});
    control::SetCallbackPlan("ZRSDK_GetResourceBinding", {3400, 1});
    Device()->GetBindingResource("ch-0001", 1);
    WaitIdle();
    control::FailNextCalls("ZRSDK_GetResourceBinding", 1, 77);
    Device()->GetBindingResource("ch-0001", 2);
    ASSERT_TRUE(m_deviceObserver.WaitFor(2));
    auto events = m_deviceObserver.All();
    EXPECT_EQ(events[0].param->GetEventResult(), 0);
    EXPECT_TRUE(events[0].As<CDeviceFunctionParam>()->GetBindResourceIDList().empty());
    EXPECT_EQ(events[1].param->GetEventResult(), 77);
    EXPECT_TRUE(events[1].As<CDeviceFunctionParam>()->GetBindChannelInfo().empty());
}

TEST_F(DeviceTest, SmartTrackVehicleMonitorAndIFrameSendTheirRecords) {
    Kestrel::SmartTrackOperate operate;
    operate.value1 = 1;
    operate.code = "ch-0001";
    operate.value2 = 2;
    operate.flag = true;
    operate.value3 = 3;
    for (int i = 0; i < 6; ++i) operate.values[i] = 10 + i;
    Device()->SmartTrackOperate(operate);
    Device()->OpenVehilceMonitor({"ch-0001", "ch-0003"});
    Device()->OpenVehilceMonitor({});
    control::FailNextCalls("ZRSDK_GetFlowSetIFrame", 1, 55);
    std::vector<vkl::Host::LogRecord> logs;
    std::mutex logMutex;
    vkl::Host::SetLogSink([&](const vkl::Host::LogRecord& r) {
        std::lock_guard<std::mutex> lock(logMutex);
        if (r.source == "DeviceCommunicate" && r.line == 941) logs.push_back(r);
    });
    Device()->SetIFrame("ch-0002");
    Device()->SetIFrame("ch-0002");
    EXPECT_EQ(Device()->SnapPicture("ch-0001", 1, SNAP_PICTURE_NONE), -1);
    EXPECT_TRUE(Device()->RestartDevice(""));
    WaitIdle();

    const auto track = control::CapturedCalls("ZRSDK_SmartTrackOperate").at(0).InputAs<ZRSDK_SMARTTRACK_OPERATE>();
    EXPECT_STREQ(track.code, "ch-0001");
    EXPECT_EQ(track.value1, 1);
    EXPECT_EQ(track.value2, 2);
    EXPECT_EQ(track.flag, 1);
    EXPECT_EQ(track.version, 1);
    EXPECT_EQ(track.value3, 3);
    EXPECT_EQ(track.values[5], 15);
    EXPECT_STREQ(track.operatorTag, "Obelo-Obj");

    auto previews = control::CapturedCalls("ZRSDK_VehiclePreviewConfig");
    ASSERT_EQ(previews.size(), 2u);
    EXPECT_EQ(previews[0].InputAs<ZRSDK_VEHICLE_PREVIEW>().count, 2u);
    ASSERT_EQ(previews[0].extra.size(), 128u);
    EXPECT_STREQ(reinterpret_cast<const char*>(previews[0].extra.data() + 64), "ch-0003");
    EXPECT_EQ(previews[1].InputAs<ZRSDK_VEHICLE_PREVIEW>().count, 0u);
    EXPECT_EQ(previews[1].InputAs<ZRSDK_VEHICLE_PREVIEW>().codes, nullptr);

    EXPECT_EQ(control::CallCount("ZRSDK_GetFlowSetIFrame"), 2u);
    EXPECT_EQ(control::GetIFrameRequests("ch-0002"), 1);
    vkl::Host::SetLogSink(nullptr);
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(logs[0].level, 4);
    EXPECT_EQ(logs[0].source, "DeviceCommunicate");
    EXPECT_EQ(logs[0].line, 941);
    EXPECT_EQ(logs[0].function, "Kestrel::CDeviceCommunicate::HandleSetIFrame");
    EXPECT_EQ(logs[0].text, "Set SetIFrame failed. errorcode = 55");
    // None of these report to observers.
    EXPECT_EQ(m_deviceObserver.Count(), 0u);
}

}  // namespace
}  // namespace Kestrel
