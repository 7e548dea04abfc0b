// Device requests end to end: façade → worker → platform SDK (its captured
// inputs) → observers.
#include <cstring>
#include <list>
#include <string>
#include <tuple>

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

using kestrel_test::BytesOf;
using kestrel_test::IsRecord;
using kestrel_test::ThreadKind;
namespace control = zrsdk::control;

using DeviceTest = kestrel_test::KestrelFixture;
using D = CDeviceFunctionParam;

// Result, channel and stream type of a recording answer.
using Answer = std::tuple<int, std::string, int>;
Answer AnswerOf(const std::shared_ptr<D>& p) {
    return {p->GetEventResult(), p->GetCode(), p->GetStreamType()};
}

TEST_F(DeviceTest, RecordingStartAndStopReachThePlatformAndReportBack) {
    ASSERT_EQ(Device()->StartRecord("ch-0001", 1, 77, "a text longer than nineteen", "menu.record"), 0);
    auto started = m_deviceObserver.Wait<D>(D::DEVICE_EVENT_START_RECORD);
    EXPECT_EQ(AnswerOf(started), (Answer{0, "ch-0001", 1}));
    EXPECT_GT(started->GetPlanId(), 0);
    EXPECT_GT(started->GetUi64Now(), 0u);
    EXPECT_EQ(m_deviceObserver.All()[0].thread, ThreadKind::UI);

    auto calls = control::CapturedCalls("ZRSDK_StartRemoteRecord");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].sessionId, m_env->SessionId());
    // The text cut to 19 characters and the NUL.
    EXPECT_TRUE(IsRecord(calls[0].input, ZRSDK_RECORD_INFO{"ch-0001", 1, 77, "a text longer than ", {}}));
    EXPECT_TRUE(IsRecord(calls[0].operateInfo, ZRSDK_OPERATE_INFO{"M-REC-01", "Platform recording"}));

    Device()->StopRecord("ch-0001", 1, true, "unknown.menu");
    auto stopped = m_deviceObserver.Wait<D>(D::DEVICE_EVENT_STOP_RECORD);
    EXPECT_EQ(std::make_tuple(stopped->GetEventResult(), stopped->GetPlanId()),
              std::make_tuple(0, started->GetPlanId()));
    auto stop = control::CapturedCalls("ZRSDK_StopRemoteRecord").at(0);
    EXPECT_TRUE(IsRecord(stop.input, ZRSDK_STOP_RECORD_INFO{"ch-0001", 1, 1, {}}));
    // Unknown keys pass as given, with no name.
    EXPECT_TRUE(IsRecord(stop.operateInfo, ZRSDK_OPERATE_INFO{"unknown.menu", ""}));

    // A refused start still reports, with its channel and stream, plan id and
    // time 0. (That the platform's code is the result: the fault matrix.)
    control::FailNextCalls("ZRSDK_StartRemoteRecord", 1, 4242);
    Device()->StartRecord("ch-0002", 2, 0, "", "menu.record");
    auto refused = m_deviceObserver.Wait<D>(D::DEVICE_EVENT_START_RECORD, 2);
    EXPECT_EQ(AnswerOf(refused), (Answer{4242, "ch-0002", 2}));
    EXPECT_EQ(std::make_tuple(refused->GetPlanId(), refused->GetUi64Now()), std::make_tuple(0, 0u));
}

TEST_F(DeviceTest, AppRecordingSendsBothCodesOnStartOnly) {
    Device()->StartAPPChannelRecord("ch-0001", "app-77", 3, 5, "note");
    auto started = m_deviceObserver.Wait<D>(D::DEVICE_EVENT_START_APP_RECORD);
    EXPECT_EQ(started->GetEventResult(), 0);
    EXPECT_GT(started->GetPlanId(), 0);
    const auto start = control::CapturedCalls("ZRSDK_StartAPPRemoteRecord").at(0);
    EXPECT_TRUE(IsRecord(start.input, ZRSDK_APP_RECORD_INFO{"ch-0001", "app-77", 3, 5, "note", {}}));
    EXPECT_TRUE(start.operateInfo.empty());

    // No façade operation stops an APP recording; the worker's does, on a
    // worker of the test's own over the same account.
    Datahub::CInterfaceSetManager set;
    ASSERT_TRUE(set.AddLogicalPlugin(m_env->AccountPlugin()));
    CDeviceFunctionDelegate delegate(&set);
    kestrel_test::RecordingObserver observer;
    ASSERT_TRUE(delegate.RegisterObserver(&observer));
    StopAPPRemoteRecordReq req{"ch-0001", "app-77", 3, true};
    EXPECT_EQ(delegate.GetWorker()->StopAPPChannelRecord(req), 0);
    auto stopped = observer.Wait<D>(D::DEVICE_EVENT_STOP_APP_RECORD);
    EXPECT_EQ(AnswerOf(stopped), (Answer{0, "ch-0001", 3}));
    EXPECT_EQ(stopped->GetPlanId(), started->GetPlanId());
    EXPECT_GT(stopped->GetUi64Now(), 0u);
    const auto stop = control::CapturedCalls("ZRSDK_StopAPPRemoteRecord").at(0);
    EXPECT_EQ(stop.sessionId, m_env->SessionId());
    // The second code is not sent.
    EXPECT_TRUE(IsRecord(stop.input, ZRSDK_STOP_APP_RECORD_INFO{"ch-0001", "", 3, 1, {}}));
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
    auto result = m_deviceObserver.Wait<D>(D::DEVICE_EVENT_BINDING_RESOURCE);
    EXPECT_EQ(std::make_tuple(result->GetEventResult(), result->GetCode(), result->GetUi64Now()),
              std::make_tuple(0, "ch-0001", 0x123456789ull));
    EXPECT_EQ(result->GetBindResourceIDList(), (std::list<std::string>{"B", "C", "A", "A"}));
    const std::map<std::string, std::string> expected{{"", "N3"}, {"A", "N1 again"}, {"B", "N2"}, {"C", "N4"}};
    EXPECT_EQ(result->GetBindChannelInfo(), expected);
    EXPECT_TRUE(IsRecord(control::CapturedCalls("ZRSDK_GetResourceBinding").at(0).input, 7, {{0, "ch-0001"}}));
}

// The callback deep-copies into the binding record it is handed: the group
// count, the groups and each group's items, never the channel block; the
// platform's memory is not kept, and a later delivery replaces the copy.
// Message 3401 is taken whatever length comes with it (here 1), another
// message, no data or length 0 leave the record alone.
TEST(BindingCallbackTest, CopiesIntoTheBindingRecordItIsHanded) {
    ZRSDK_BINDING_ITEM items[2]{{1, "A", "N1"}, {0, "B", ""}};
    // The second group has no items: its pointer is not followed.
    ZRSDK_BINDING_GROUP groups[2]{{3, 1, 2, 0, items}, {4, 5, 0, 0, items}};
    ZRSDK_RESOURCE_BINDING source{{}, 2, groups};
    std::memset(&source.channel, 'x', sizeof source.channel);

    ZRSDK_RESOURCE_BINDING held{};
    CDeviceCommunicate::OnResourceBindingData(ZRSDK_MSG_RESOURCE_BINDING, &source, 1, &held);
    std::strcpy(items[0].id, "Z");
    ASSERT_EQ(held.groupCount, 2);
    ASSERT_NE(held.groups, groups);
    EXPECT_EQ(std::tie(held.groups[0].type, held.groups[0].subtype), std::make_tuple(3, 1));
    ASSERT_EQ(held.groups[0].itemCount, 2);
    ASSERT_NE(held.groups[0].items, items);
    EXPECT_TRUE(IsRecord(BytesOf(held.groups[0].items[0]), ZRSDK_BINDING_ITEM{1, "A", "N1"}));
    EXPECT_TRUE(IsRecord(BytesOf(held.groups[0].items[1]), ZRSDK_BINDING_ITEM{0, "B", ""}));
    EXPECT_TRUE(IsRecord(BytesOf(held.groups[1]), ZRSDK_BINDING_GROUP{4, 5, 0, 0, nullptr}));
    EXPECT_TRUE(IsRecord(BytesOf(held.channel), ZRSDK_BINDING_ITEM{}));

    for (int message : {3400, 3402}) CDeviceCommunicate::OnResourceBindingData(message, &source, sizeof source, &held);
    CDeviceCommunicate::OnResourceBindingData(ZRSDK_MSG_RESOURCE_BINDING, &source, 0, &held);
    CDeviceCommunicate::OnResourceBindingData(ZRSDK_MSG_RESOURCE_BINDING, nullptr, sizeof source, &held);
    EXPECT_STREQ(held.groups[0].items[0].id, "A") << "a delivery taken would have copied the changed item";

    source.groupCount = 1;
    CDeviceCommunicate::OnResourceBindingData(ZRSDK_MSG_RESOURCE_BINDING, &source, sizeof source, &held);
    ASSERT_EQ(held.groupCount, 1);
    EXPECT_STREQ(held.groups[0].items[0].id, "Z");
    CDeviceCommunicate::ReleaseResourceBinding(&held);
    EXPECT_EQ(std::make_tuple(held.groups, held.groupCount), std::make_tuple(nullptr, 0));
}

TEST_F(DeviceTest, SmartTrackAndVehicleMonitorSendTheirRecords) {
    Kestrel::SmartTrackOperate operate{1, "ch-0001", 2, true, 3, {10, 11, 12, 13, 14, 15}};
    Device()->SmartTrackOperate(operate);
    Device()->OpenVehilceMonitor({"ch-0001", "ch-0003"});
    Device()->OpenVehilceMonitor({});
    EXPECT_TRUE(Device()->RestartDevice(""));
    WaitIdle();

    const ZRSDK_SMARTTRACK_OPERATE track{"ch-0001", 2, 1, 1, 1, {}, 3, {10, 11, 12, 13, 14, 15}, "Obelo-Obj", {}};
    EXPECT_TRUE(IsRecord(control::CapturedCalls("ZRSDK_SmartTrackOperate").at(0).input, track));

    auto previews = control::CapturedCalls("ZRSDK_VehiclePreviewConfig");
    ASSERT_EQ(previews.size(), 2u);
    EXPECT_EQ(previews[0].InputAs<ZRSDK_VEHICLE_PREVIEW>().count, 2u);
    const char slots[2][64] = {"ch-0001", "ch-0003"};  // the codes, each in its 64-byte slot
    EXPECT_TRUE(IsRecord(previews[0].extra, slots));
    EXPECT_TRUE(IsRecord(previews[1].input, ZRSDK_VEHICLE_PREVIEW{0, 0, nullptr}));

    // None of these report to observers. (The I-frame request, accepted and
    // refused: tests/faults/fault_matrix_test.)
    EXPECT_EQ(m_deviceObserver.Count(), 0u);
}

}  // namespace
}  // namespace Kestrel
