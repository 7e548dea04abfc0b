#include <cstring>
#include <vector>

#include "platform_fixture.h"

namespace {

using namespace zrsdk::control;
using zrsdk_test::PlatformTest;

using DeviceTest = PlatformTest;

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
