#include <cstring>
#include <vector>

#include "test_platform_fixture.h"

namespace {

using namespace zrsdk::control;
using zrsdk_test::PlatformTest;

using PtzTest = PlatformTest;

// The hall dome has 300 presets. A buffer with room for 2.5 entries gets the
// real total and two whole entries; a guard of two entries behind it catches
// a stray write.
TEST_F(PtzTest, PresetQueryReportsTheTotalAndNeverWritesPastTheGivenSize) {
    const std::size_t guard = 2 * sizeof(ZRSDK_PRESET_POINT);
    const unsigned int small = 4 + 2 * sizeof(ZRSDK_PRESET_POINT) + 52;
    std::vector<uint8_t> partial(small + guard, 0xEE);
    ASSERT_EQ(ZRSDK_PtzGetPresetPoints(session, "ch-0003", partial.data(), small), ZRSDK_OK);
    int32_t count = 0;
    std::memcpy(&count, partial.data(), 4);
    EXPECT_EQ(count, 300);
    ZRSDK_PRESET_POINT second;
    std::memcpy(&second, partial.data() + 4 + sizeof(ZRSDK_PRESET_POINT), sizeof(second));
    EXPECT_STREQ(second.indexText, "2");
    for (std::size_t i = 4 + 2 * sizeof(ZRSDK_PRESET_POINT); i < partial.size(); ++i) {
        ASSERT_EQ(partial[i], 0xEE) << "byte " << i << " beyond the whole entries was written";
    }
    std::vector<uint8_t> tiny(3, 0xEE);
    EXPECT_EQ(ZRSDK_PtzGetPresetPoints(session, "ch-0003", tiny.data(), 3), ZRSDK_ERR_INVALID_PARAM);
    EXPECT_EQ(tiny, std::vector<uint8_t>(3, 0xEE));
    EXPECT_EQ(ZRSDK_PtzGetPresetPoints(session, "ch-0002", partial.data(), small), ZRSDK_ERR_NOT_PTZ);
    EXPECT_EQ(CapturedCalls("ZRSDK_PtzGetPresetPoints").at(0).outputSize, small);
}

// Kestrel refuses such values before they are sent; the platform refuses
// them too.
TEST_F(PtzTest, LensCodesAndPositionValuesThePlatformDoesNotKnowAreRefused) {
    ZRSDK_PTZ_RESULT result{};
    ZRSDK_PTZ_CAMERA_INFO lens{};
    SetText(lens.code, "ch-0005");
    lens.operType = ZRSDK_LENS_INCREASE;
    lens.operCode = 4;
    lens.waitMs = ZRSDK_PTZ_WAIT_MS;
    EXPECT_EQ(ZRSDK_PtzOperateCamera(session, &lens, &result, &op), ZRSDK_ERR_INVALID_PARAM);
    ZRSDK_PTZ_SIT_INFO sit{};
    SetText(sit.code, "ch-0005");
    SetText(sit.value, "5x");
    EXPECT_EQ(ZRSDK_PtzSitPosition(session, &sit, &result), ZRSDK_ERR_INVALID_PARAM);
}

}  // namespace
