#include <vector>

#include "test_platform_fixture.h"

namespace {

using namespace zrsdk::control;
using zrsdk_test::PlatformTest;

using DeviceTest = PlatformTest;

// What the calls refuse, and that a refused call records nothing.
TEST_F(DeviceTest, SmartTrackAndVehiclePreviewRefuseWhatThePlatformWouldNot) {
    ZRSDK_SMARTTRACK_OPERATE track{};
    SetText(track.code, "ch-0005");
    EXPECT_EQ(ZRSDK_SmartTrackOperate(session, &track), ZRSDK_ERR_INVALID_PARAM) << "version must be 1";
    track.version = 1;
    SetText(track.code, "ch-7777");
    EXPECT_EQ(ZRSDK_SmartTrackOperate(session, &track), ZRSDK_ERR_UNKNOWN_CHANNEL);
    EXPECT_TRUE(GetSmartTrackOperations("ch-0005").empty());

    char slots[2][64] = {};
    SetText(slots[0], "ch-0001");
    SetText(slots[1], "ch-0004");
    ZRSDK_VEHICLE_PREVIEW preview{};
    preview.count = 2;
    preview.codes = slots;
    ASSERT_EQ(ZRSDK_VehiclePreviewConfig(session, &preview), ZRSDK_OK);
    // An unknown code refuses the whole configuration.
    SetText(slots[1], "ch-4040");
    EXPECT_EQ(ZRSDK_VehiclePreviewConfig(session, &preview), ZRSDK_ERR_UNKNOWN_CHANNEL);
    EXPECT_EQ(GetVehiclePreviewCodes(), (std::vector<std::string>{"ch-0001", "ch-0004"}));
    preview.codes = nullptr;
    EXPECT_EQ(ZRSDK_VehiclePreviewConfig(session, &preview), ZRSDK_ERR_INVALID_PARAM);
}

}  // namespace
