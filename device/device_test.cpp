// Device requests end to end: façade → worker → platform SDK (its captured
// inputs) → observers.
#include <algorithm>
#include <cstring>
#include <list>

#include <gtest/gtest.h>

#include "datahub/interface_set_manager.h"
#include "device/device_function_delegate.h"
#include "kestrel/device_function_param.h"
#include "kestrel_fixture.h"
#include "ptz_test_util.h"
#include "zrsdk/zrsdk.h"
#include "zrsdk/zrsdk_control.h"

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
    EXPECT_EQ(stop.InputAs<ZRSDK_STOP_RECORD_INFO>().flag, 1);
    EXPECT_STREQ(stop.OperateInfo().menuKey, "unknown.menu");  // unknown keys pass as given
    EXPECT_STREQ(stop.OperateInfo().menuName, "");

    // A refused start still reports, with its channel and stream, plan id and
    // time 0. (That the platform's code is the result: the fault matrix.)
    control::FailNextCalls("ZRSDK_StartRemoteRecord", 1, 4242);
    Device()->StartRecord("ch-0002", 2, 0, "", "menu.record");
    ASSERT_TRUE(m_deviceObserver.WaitFor(2, CDeviceFunctionParam::DEVICE_EVENT_START_RECORD));
    auto refused = Last(CDeviceFunctionParam::DEVICE_EVENT_START_RECORD);
    EXPECT_EQ(refused->GetEventResult(), 4242);
    EXPECT_EQ(refused->GetCode(), "ch-0002");
    EXPECT_EQ(refused->GetStreamType(), 2);
    EXPECT_EQ(refused->GetPlanId(), 0);
    EXPECT_EQ(refused->GetUi64Now(), 0u);
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

    // No façade operation stops an APP recording; the worker's does, on a
    // worker of the test's own over the same account.
    Datahub::CInterfaceSetManager set;
    ASSERT_TRUE(set.AddLogicalPlugin(m_env->AccountPlugin()));
    CDeviceFunctionDelegate delegate(&set);
    kestrel_test::RecordingObserver observer;
    ASSERT_TRUE(delegate.RegisterObserver(&observer));
    StopAPPRemoteRecordReq req;
    req.code = "ch-0001";
    req.secondCode = "app-77";
    req.streamType = 3;
    req.flag = true;
    EXPECT_EQ(delegate.GetWorker()->StopAPPChannelRecord(req), 0);
    ASSERT_TRUE(observer.WaitFor(1, CDeviceFunctionParam::DEVICE_EVENT_STOP_APP_RECORD));
    auto stopped = observer.All().at(0).As<CDeviceFunctionParam>();
    EXPECT_EQ(stopped->GetEventResult(), 0);
    EXPECT_EQ(stopped->GetCode(), "ch-0001");
    EXPECT_EQ(stopped->GetStreamType(), 3);
    EXPECT_EQ(stopped->GetPlanId(), started->GetPlanId());
    EXPECT_GT(stopped->GetUi64Now(), 0u);
    const auto stop = control::CapturedCalls("ZRSDK_StopAPPRemoteRecord").at(0);
    EXPECT_EQ(stop.sessionId, m_env->SessionId());
    const auto stopInfo = stop.InputAs<ZRSDK_STOP_APP_RECORD_INFO>();
    EXPECT_STREQ(stopInfo.channelCode, "ch-0001");
    EXPECT_TRUE(kestrel_test::ZeroFrom(stop.input, 7, 128));  // the second code is not sent
    EXPECT_EQ(stopInfo.streamType, 3);
    EXPECT_EQ(stopInfo.flag, 1);
    EXPECT_TRUE(kestrel_test::ZeroFrom(stop.input, 133, 136));
    EXPECT_TRUE(stop.operateInfo.empty());
    delegate.UnInit();
    WaitIdle();
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

// The callback deep-copies into the binding record it is handed: the group
// count, the groups and each group's items, never the channel block; the
// platform's memory is not kept, and a later delivery replaces the copy.
// Message 3401 is taken whatever length comes with it (here 1), another
// message, no data or length 0 leave the record alone.
TEST(BindingCallbackTest, CopiesIntoTheBindingRecordItIsHanded) {
    ZRSDK_BINDING_ITEM items[2]{};
    items[0].flag = 1;
    std::strcpy(items[0].id, "A");
    std::strcpy(items[0].name, "N1");
    std::strcpy(items[1].id, "B");
    ZRSDK_BINDING_GROUP groups[2]{};
    groups[0] = {3, 1, 2, 0, items};
    groups[1] = {4, 5, 0, 0, items};  // no items: the pointer is not followed
    ZRSDK_RESOURCE_BINDING source{};
    std::memset(&source.channel, 'x', sizeof source.channel);
    source.groupCount = 2;
    source.groups = groups;

    ZRSDK_RESOURCE_BINDING held{};
    CDeviceCommunicate::OnResourceBindingData(ZRSDK_MSG_RESOURCE_BINDING, &source, 1, &held);
    std::strcpy(items[0].id, "Z");
    ASSERT_EQ(held.groupCount, 2);
    ASSERT_NE(held.groups, groups);
    EXPECT_EQ(held.groups[0].type, 3);
    EXPECT_EQ(held.groups[0].subtype, 1);
    ASSERT_EQ(held.groups[0].itemCount, 2);
    ASSERT_NE(held.groups[0].items, items);
    EXPECT_EQ(held.groups[0].items[0].flag, 1);
    EXPECT_STREQ(held.groups[0].items[0].id, "A");
    EXPECT_STREQ(held.groups[0].items[0].name, "N1");
    EXPECT_STREQ(held.groups[0].items[1].id, "B");
    EXPECT_EQ(held.groups[1].type, 4);
    EXPECT_EQ(held.groups[1].items, nullptr);
    const auto* channel = reinterpret_cast<const unsigned char*>(&held.channel);
    EXPECT_TRUE(std::all_of(channel, channel + sizeof held.channel, [](unsigned char b) { return b == 0; }));

    for (int message : {3400, 3402}) CDeviceCommunicate::OnResourceBindingData(message, &source, sizeof source, &held);
    CDeviceCommunicate::OnResourceBindingData(ZRSDK_MSG_RESOURCE_BINDING, &source, 0, &held);
    CDeviceCommunicate::OnResourceBindingData(ZRSDK_MSG_RESOURCE_BINDING, nullptr, sizeof source, &held);
    EXPECT_STREQ(held.groups[0].items[0].id, "A") << "a delivery taken would have copied the changed item";

    source.groupCount = 1;
    CDeviceCommunicate::OnResourceBindingData(ZRSDK_MSG_RESOURCE_BINDING, &source, sizeof source, &held);
    ASSERT_EQ(held.groupCount, 1);
    EXPECT_STREQ(held.groups[0].items[0].id, "Z");
    CDeviceCommunicate::ReleaseResourceBinding(&held);
    EXPECT_EQ(held.groups, nullptr);
    EXPECT_EQ(held.groupCount, 0);
}

TEST_F(DeviceTest, SmartTrackAndVehicleMonitorSendTheirRecords) {
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

    // None of these report to observers. (The I-frame request, accepted and
    // refused: tests/faults/sdk_errors_test.)
    EXPECT_EQ(m_deviceObserver.Count(), 0u);
}

}  // namespace
}  // namespace Kestrel
