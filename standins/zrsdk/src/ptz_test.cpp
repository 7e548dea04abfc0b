#include <cstring>
#include <vector>

#include "platform_fixture.h"

namespace {

using namespace zrsdk::control;
using zrsdk_test::PlatformTest;

ZRSDK_PTZ_DIRECT_INFO Direct(const char* code, int direction, int speed, int start) {
    ZRSDK_PTZ_DIRECT_INFO info{};
    SetText(info.code, code);
    info.speed1 = info.speed2 = speed;
    info.direction = direction;
    info.start = start;
    info.waitMs = ZRSDK_PTZ_WAIT_MS;
    return info;
}

ZRSDK_PTZ_AUX_INFO Aux(const char* code, int mode, int action, int margin, int value) {
    ZRSDK_PTZ_AUX_INFO info{};
    SetText(info.code, code);
    info.mode = mode;
    info.action = action;
    info.margin = margin;
    info.value = value;
    return info;
}

PtzView State(const char* code) {
    PtzView view;
    EXPECT_TRUE(GetPtzState(code, view));
    return view;
}

using PtzTest = PlatformTest;

TEST_F(PtzTest, DirectionLensAndPositioningMoveTheCamera) {
    ZRSDK_PTZ_RESULT result{};
    auto right = Direct("ch-0005", ZRSDK_PTZ_DIR_RIGHT, 5, 1);
    ASSERT_EQ(ZRSDK_PtzOperateDirect(session, &right, &result, &op), ZRSDK_OK);
    EXPECT_EQ(result.status, 0);
    auto upLeft = Direct("ch-0005", ZRSDK_PTZ_DIR_UP_LEFT, 2, 1);
    ASSERT_EQ(ZRSDK_PtzOperateDirect(session, &upLeft, &result, &op), ZRSDK_OK);
    PtzView view = State("ch-0005");
    EXPECT_DOUBLE_EQ(view.x, 3);
    EXPECT_DOUBLE_EQ(view.y, 2);
    EXPECT_EQ(view.moveDirection, ZRSDK_PTZ_DIR_UP_LEFT);
    EXPECT_EQ(view.moveSpeed, 2);
    upLeft.start = 0;
    ASSERT_EQ(ZRSDK_PtzOperateDirect(session, &upLeft, &result, &op), ZRSDK_OK);
    EXPECT_EQ(State("ch-0005").moveDirection, 0);
    // Panning left past 0 wraps around.
    auto left = Direct("ch-0005", ZRSDK_PTZ_DIR_LEFT, 10, 1);
    ASSERT_EQ(ZRSDK_PtzOperateDirect(session, &left, &result, &op), ZRSDK_OK);
    EXPECT_DOUBLE_EQ(State("ch-0005").x, 353);

    ZRSDK_PTZ_CAMERA_INFO lens{};
    SetText(lens.code, "ch-0005");
    lens.operType = ZRSDK_LENS_INCREASE;
    lens.operCode = ZRSDK_LENS_ZOOM;
    lens.speed = 4;
    lens.start = 1;
    lens.waitMs = ZRSDK_PTZ_WAIT_MS;
    ASSERT_EQ(ZRSDK_PtzOperateCamera(session, &lens, &result, &op), ZRSDK_OK);
    view = State("ch-0005");
    EXPECT_DOUBLE_EQ(view.z, 3);
    EXPECT_EQ(view.lensOperCode, ZRSDK_LENS_ZOOM);
    lens.operCode = 4;
    EXPECT_EQ(ZRSDK_PtzOperateCamera(session, &lens, &result, &op), ZRSDK_ERR_INVALID_PARAM);

    ZRSDK_PTZ_SIT_INFO sit{};
    SetText(sit.code, "ch-0005");
    sit.x = 120.5;
    sit.y = -30;
    sit.z = 8;
    SetText(sit.value, "-5");
    ASSERT_EQ(ZRSDK_PtzSitPosition(session, &sit, &result), ZRSDK_OK);
    view = State("ch-0005");
    EXPECT_DOUBLE_EQ(view.x, 120.5);
    EXPECT_DOUBLE_EQ(view.y, -30);
    EXPECT_DOUBLE_EQ(view.z, 8);
    EXPECT_EQ(view.lastSitValue, -5);
    SetText(sit.value, "5x");
    EXPECT_EQ(ZRSDK_PtzSitPosition(session, &sit, &result), ZRSDK_ERR_INVALID_PARAM);

    ZRSDK_PTZ_SIT_INFO_EX ex{};
    SetText(ex.code, "ch-0005");
    ex.extA = 200;
    ex.extB = 10;
    ex.extValues[2] = 3;
    ex.extFlag = 1;
    ASSERT_EQ(ZRSDK_PtzSitPositionEx(session, &ex, &result, &op), ZRSDK_OK);
    view = State("ch-0005");
    EXPECT_DOUBLE_EQ(view.x, 200);
    EXPECT_EQ(view.extValues[2], 3);
    EXPECT_EQ(view.extFlag, 1);
}

TEST_F(PtzTest, WiperAndScanStateFollowTheAuxiliaryCalls) {
    auto wiperOn = Aux("ch-0001", 0, ZRSDK_AUX_ACTION_START, 0, 0);
    ASSERT_EQ(ZRSDK_PtzRainWiper(session, &wiperOn), ZRSDK_OK);
    EXPECT_TRUE(State("ch-0001").wiperOn);
    auto wiperOff = Aux("ch-0001", 0, ZRSDK_AUX_ACTION_STOP, 0, 0);
    ASSERT_EQ(ZRSDK_PtzRainWiper(session, &wiperOff), ZRSDK_OK);
    EXPECT_FALSE(State("ch-0001").wiperOn);
    auto wiperBad = Aux("ch-0001", 0, 7, 0, 0);
    EXPECT_EQ(ZRSDK_PtzRainWiper(session, &wiperBad), ZRSDK_ERR_INVALID_PARAM);

    auto margin = Aux("ch-0001", 0, 0, 2, 140);
    ASSERT_EQ(ZRSDK_PtzSetScanMargin(session, &margin), ZRSDK_OK);
    auto scan = Aux("ch-0001", 3, ZRSDK_AUX_ACTION_START, 0, 6);
    ASSERT_EQ(ZRSDK_PtzAutoScan(session, &scan), ZRSDK_OK);
    PtzView view = State("ch-0001");
    EXPECT_EQ(view.scanMargins.at(2), 140);
    EXPECT_TRUE(view.scanning);
    EXPECT_EQ(view.scanMode, 3);
    EXPECT_EQ(view.scanSpeed, 6);

    // A fixed camera has no PTZ; an unknown code is no channel.
    auto fixed = Aux("ch-0002", 0, 0, 0, 0);
    EXPECT_EQ(ZRSDK_PtzRainWiper(session, &fixed), ZRSDK_ERR_NOT_PTZ);
    auto unknown = Aux("ch-0999", 0, 0, 0, 0);
    EXPECT_EQ(ZRSDK_PtzAutoScan(session, &unknown), ZRSDK_ERR_UNKNOWN_CHANNEL);
    EXPECT_EQ(ZRSDK_PtzAutoScan(session, nullptr), ZRSDK_ERR_INVALID_PARAM);
}

TEST_F(PtzTest, PresetQueryReportsTheTotalAndNeverWritesPastTheBuffer) {
    // The hall dome has 300 presets: the full buffer holds 256 of them.
    // Guards of two entries behind each buffer catch a stray entry.
    const std::size_t guard = 2 * sizeof(ZRSDK_PRESET_POINT);
    std::vector<uint8_t> full(sizeof(ZRSDK_PRESET_BUFFER) + guard, 0xEE);
    ASSERT_EQ(ZRSDK_PtzGetPresetPoints(session, "ch-0003", full.data(),
                                       sizeof(ZRSDK_PRESET_BUFFER)),
              ZRSDK_OK);
    ZRSDK_PRESET_BUFFER buffer;
    std::memcpy(&buffer, full.data(), sizeof(buffer));
    EXPECT_EQ(buffer.count, 300);
    EXPECT_STREQ(buffer.points[0].indexText, "1");
    EXPECT_STREQ(buffer.points[0].name, "Preset 1");
    EXPECT_STREQ(buffer.points[255].indexText, "256");
    for (std::size_t i = sizeof(ZRSDK_PRESET_BUFFER); i < full.size(); ++i) {
        ASSERT_EQ(full[i], 0xEE) << "byte " << i << " past the buffer was written";
    }

    // A buffer with room for 2.5 entries gets the count and two entries.
    const unsigned int small = 4 + 2 * sizeof(ZRSDK_PRESET_POINT) + 52;
    std::vector<uint8_t> partial(small + guard, 0xEE);
    ASSERT_EQ(ZRSDK_PtzGetPresetPoints(session, "ch-0003", partial.data(), small), ZRSDK_OK);
    int32_t count = 0;
    std::memcpy(&count, partial.data(), 4);
    EXPECT_EQ(count, 300);
    for (std::size_t i = 4 + 2 * sizeof(ZRSDK_PRESET_POINT); i < partial.size(); ++i) {
        ASSERT_EQ(partial[i], 0xEE) << "byte " << i << " beyond the whole entries was written";
    }
    std::vector<uint8_t> tiny(3, 0xEE);
    EXPECT_EQ(ZRSDK_PtzGetPresetPoints(session, "ch-0003", tiny.data(), 3), ZRSDK_ERR_INVALID_PARAM);
    EXPECT_EQ(tiny, std::vector<uint8_t>(3, 0xEE));
    EXPECT_EQ(ZRSDK_PtzGetPresetPoints(session, "ch-0002", full.data(), sizeof(buffer)),
              ZRSDK_ERR_NOT_PTZ);

    const auto calls = CapturedCalls("ZRSDK_PtzGetPresetPoints");
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(std::string(calls[0].input.begin(), calls[0].input.end()), "ch-0003");
    EXPECT_EQ(calls[1].outputSize, small);
}

}  // namespace
