#include <cstring>
#include <thread>
#include <vector>

#include "platform_fixture.h"

namespace {

using namespace zrsdk::control;
using zrsdk_test::PlatformTest;

// A deep copy of what the binding callback received.
struct BindingCopy {
    int calls = 0;
    int message = 0;
    unsigned int length = 0;
    std::thread::id thread;
    std::string channel;
    std::vector<BindingGroup> groups;
};

void CopyBinding(int message, const void* data, unsigned int length, void* user) {
    auto* copy = static_cast<BindingCopy*>(user);
    ++copy->calls;
    copy->message = message;
    copy->length = length;
    copy->thread = std::this_thread::get_id();
    const auto* record = static_cast<const ZRSDK_RESOURCE_BINDING*>(data);
    copy->channel = record->channel.id;
    copy->groups.clear();
    for (int g = 0; g < record->groupCount; ++g) {
        const ZRSDK_BINDING_GROUP& group = record->groups[g];
        BindingGroup info{group.type, group.subtype, {}};
        for (int i = 0; i < group.itemCount; ++i) {
            info.items.push_back({group.items[i].flag, group.items[i].id, group.items[i].name});
        }
        copy->groups.push_back(info);
    }
}

using DeviceTest = PlatformTest;

TEST_F(DeviceTest, BindingsArriveThroughTheCallbackDuringTheCall) {
    BindingCopy copy;
    ASSERT_EQ(ZRSDK_GetResourceBinding(session, "ch-0001", CopyBinding, &copy), ZRSDK_OK);
    EXPECT_EQ(copy.calls, 1);
    EXPECT_EQ(copy.message, ZRSDK_MSG_RESOURCE_BINDING);
    EXPECT_EQ(copy.length, sizeof(ZRSDK_RESOURCE_BINDING));
    EXPECT_EQ(copy.thread, std::this_thread::get_id());
    EXPECT_EQ(copy.channel, "ch-0001");
    // The default gate dome has groups that a type/subtype filter keeps
    // (3/1, 4/5) and ones it drops (2/1, 3/2), and flags 0, 1 and 2.
    ASSERT_EQ(copy.groups.size(), 5u);
    EXPECT_EQ(copy.groups[0].type, 3);
    EXPECT_EQ(copy.groups[0].subtype, 1);
    ASSERT_EQ(copy.groups[0].items.size(), 3u);
    EXPECT_EQ(copy.groups[0].items[1].flag, 0);
    EXPECT_EQ(copy.groups[0].items[1].id, "ch-0004");
    EXPECT_EQ(copy.groups[0].items[1].name, "Hall corridor");
    EXPECT_EQ(copy.groups[2].type, 2);
    EXPECT_EQ(copy.groups[3].subtype, 2);
    EXPECT_EQ(copy.groups[4].items[0].id, "");
    EXPECT_EQ(copy.groups[4].items[0].flag, 2);

    // Bindings set from the control side come back as set; a group with no
    // items carries a null item pointer.
    ASSERT_TRUE(SetBindings("ch-0002", {{4, 1, {{1, "a", "A"}}}, {3, 5, {}}}));
    ASSERT_EQ(ZRSDK_GetResourceBinding(session, "ch-0002", CopyBinding, &copy), ZRSDK_OK);
    ASSERT_EQ(copy.groups.size(), 2u);
    EXPECT_EQ(copy.groups[0].items[0].name, "A");
    EXPECT_TRUE(copy.groups[1].items.empty());

    BindingCopy none;
    EXPECT_EQ(ZRSDK_GetResourceBinding(session, "ch-0404", CopyBinding, &none),
              ZRSDK_ERR_UNKNOWN_CHANNEL);
    EXPECT_EQ(none.calls, 0);
    EXPECT_EQ(ZRSDK_GetResourceBinding(session, "ch-0001", nullptr, &none),
              ZRSDK_ERR_INVALID_PARAM);
}

TEST_F(DeviceTest, CallbackPlanChangesMessageAndDeliveries) {
    BindingCopy copy;
    ASSERT_TRUE(SetCallbackPlan("ZRSDK_GetResourceBinding", {9999, 2}));
    ASSERT_EQ(ZRSDK_GetResourceBinding(session, "ch-0003", CopyBinding, &copy), ZRSDK_OK);
    EXPECT_EQ(copy.calls, 2);
    EXPECT_EQ(copy.message, 9999);

    ASSERT_TRUE(SetCallbackPlan("ZRSDK_GetResourceBinding", {0, 0}));
    BindingCopy silent;
    EXPECT_EQ(ZRSDK_GetResourceBinding(session, "ch-0003", CopyBinding, &silent), ZRSDK_OK);
    EXPECT_EQ(silent.calls, 0);
    EXPECT_FALSE(SetCallbackPlan("ZRSDK_PtzAutoScan", {0, 1}));
    EXPECT_FALSE(SetCallbackPlan("ZRSDK_GetResourceBinding", {0, -1}));
}

TEST_F(DeviceTest, SmartTrackIFrameAndVehiclePreviewAreValidatedAndRecorded) {
    ZRSDK_SMARTTRACK_OPERATE track{};
    SetText(track.code, "ch-0005");
    track.value1 = 11;
    track.version = 1;
    track.values[5] = 66;
    ASSERT_EQ(ZRSDK_SmartTrackOperate(session, &track), ZRSDK_OK);
    track.version = 0;
    EXPECT_EQ(ZRSDK_SmartTrackOperate(session, &track), ZRSDK_ERR_INVALID_PARAM);
    track.version = 1;
    SetText(track.code, "ch-7777");
    EXPECT_EQ(ZRSDK_SmartTrackOperate(session, &track), ZRSDK_ERR_UNKNOWN_CHANNEL);
    const auto operations = GetSmartTrackOperations("ch-0005");
    ASSERT_EQ(operations.size(), 1u);
    EXPECT_EQ(operations[0].value1, 11);
    EXPECT_EQ(operations[0].values[5], 66);

    EXPECT_EQ(ZRSDK_GetFlowSetIFrame(session, "ch-0002"), ZRSDK_OK);
    EXPECT_EQ(ZRSDK_GetFlowSetIFrame(session, "ch-0002"), ZRSDK_OK);
    EXPECT_EQ(ZRSDK_GetFlowSetIFrame(session, "ch-0000"), ZRSDK_ERR_UNKNOWN_CHANNEL);
    EXPECT_EQ(ZRSDK_GetFlowSetIFrame(session, nullptr), ZRSDK_ERR_INVALID_PARAM);
    EXPECT_EQ(GetIFrameRequests("ch-0002"), 2);
    EXPECT_EQ(GetIFrameRequests("ch-0001"), 0);

    char slots[2][64] = {};
    SetText(slots[0], "ch-0001");
    SetText(slots[1], "ch-0004");
    ZRSDK_VEHICLE_PREVIEW preview{};
    preview.count = 2;
    preview.codes = slots;
    ASSERT_EQ(ZRSDK_VehiclePreviewConfig(session, &preview), ZRSDK_OK);
    EXPECT_EQ(GetVehiclePreviewCodes(), (std::vector<std::string>{"ch-0001", "ch-0004"}));
    const auto calls = CapturedCalls("ZRSDK_VehiclePreviewConfig");
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_EQ(calls[0].extra.size(), sizeof(slots));
    EXPECT_EQ(std::memcmp(calls[0].extra.data(), slots, sizeof(slots)), 0);

    // An unknown code refuses the whole configuration.
    SetText(slots[1], "ch-4040");
    EXPECT_EQ(ZRSDK_VehiclePreviewConfig(session, &preview), ZRSDK_ERR_UNKNOWN_CHANNEL);
    EXPECT_EQ(GetVehiclePreviewCodes().size(), 2u);
    preview.codes = nullptr;
    EXPECT_EQ(ZRSDK_VehiclePreviewConfig(session, &preview), ZRSDK_ERR_INVALID_PARAM);
    preview.count = 0;
    EXPECT_EQ(ZRSDK_VehiclePreviewConfig(session, &preview), ZRSDK_OK);
    EXPECT_TRUE(GetVehiclePreviewCodes().empty());
}

}  // namespace
