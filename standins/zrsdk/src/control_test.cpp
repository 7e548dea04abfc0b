#include <cstring>
#include <vector>

#include "test_platform_fixture.h"

namespace {

using namespace zrsdk::control;
using ControlTest = zrsdk_test::PlatformTest;

ZRSDK_PTZ_AUX_INFO Scan(int action, int value) {
    ZRSDK_PTZ_AUX_INFO info{};
    SetText(info.code, "ch-0001");
    info.mode = 1;
    info.action = action;
    info.value = value;
    return info;
}

TEST_F(ControlTest, InjectedFailuresAnswerTheNextCallsOnly) {
    ASSERT_TRUE(FailNextCalls("ZRSDK_PtzAutoScan", 2, 777));
    auto start = Scan(ZRSDK_AUX_ACTION_START, 4);
    EXPECT_EQ(ZRSDK_PtzAutoScan(session, &start), 777);
    EXPECT_EQ(ZRSDK_PtzAutoScan(session, &start), 777);
    EXPECT_EQ(ZRSDK_PtzAutoScan(session, &start), ZRSDK_OK);
    std::vector<int> results;
    for (const auto& call : CapturedCalls("ZRSDK_PtzAutoScan")) results.push_back(call.result);
    EXPECT_EQ(results, (std::vector<int>{777, 777, ZRSDK_OK}));

    // Even a login can be made to fail; unknown functions and negative
    // latencies are refused.
    ASSERT_TRUE(FailNextCalls("ZRSDK_Login", 1, 42));
    int id = 0;
    EXPECT_EQ(ZRSDK_Login("operator", "operator", &id), 42);
    EXPECT_EQ(ZRSDK_Login("operator", "operator", &id), ZRSDK_OK);
    EXPECT_FALSE(FailNextCalls("ZRSDK_NoSuchCall", 1, 1));
    EXPECT_FALSE(SetLatency("ZRSDK_NoSuchCall", std::chrono::milliseconds(1)));
    EXPECT_FALSE(SetLatency("ZRSDK_PtzAutoScan", std::chrono::milliseconds(-1)));
}

TEST_F(ControlTest, CaptureKeepsTheMostRecentCallsOfEachFunction) {
    const int total = static_cast<int>(kCaptureDepth) + 6;
    for (int i = 0; i < total; ++i) {
        auto margin = Scan(0, i);
        margin.margin = 1;
        ASSERT_EQ(ZRSDK_PtzSetScanMargin(session, &margin), ZRSDK_OK);
    }
    const auto calls = CapturedCalls("ZRSDK_PtzSetScanMargin");
    ASSERT_EQ(calls.size(), kCaptureDepth);
    EXPECT_EQ(calls.front().InputAs<ZRSDK_PTZ_AUX_INFO>().value, 6);
    EXPECT_EQ(calls.back().InputAs<ZRSDK_PTZ_AUX_INFO>().value, total - 1);
    EXPECT_EQ(CallCount("ZRSDK_PtzSetScanMargin"), static_cast<std::size_t>(total));
    EXPECT_TRUE(CapturedCalls("ZRSDK_PtzRainWiper").empty());
    // A null record is captured as nothing rather than read.
    EXPECT_EQ(ZRSDK_PtzSetScanMargin(session, nullptr), ZRSDK_ERR_INVALID_PARAM);
    EXPECT_TRUE(CapturedCalls("ZRSDK_PtzSetScanMargin").back().input.empty());
    ClearCaptures();
    EXPECT_EQ(CallCount("ZRSDK_PtzSetScanMargin"), 0u);
}

TEST_F(ControlTest, ResetRestoresTheDefaultPlatformButKeepsSessions) {
    ZRSDK_PTZ_PRESET_INFO preset{};
    SetText(preset.code, "ch-0001");
    SetText(preset.indexText, "1");
    preset.op = ZRSDK_PRESET_DELETE;
    ZRSDK_PTZ_RESULT result{};
    ASSERT_EQ(ZRSDK_PtzOperatePresetPoint(session, &preset, &result, &op), ZRSDK_OK);
    AddChannel({"ch-0100", "1000100", "Roof", "dev-0009", 1, true});
    ASSERT_TRUE(FailNextCalls("ZRSDK_GetFlowSetIFrame", 3, 1));
    SetPlatformTime(1000);

    Reset();
    EXPECT_EQ(GetPresets("ch-0001").size(), 8u);
    EXPECT_TRUE(GetPresets("ch-0100").empty());
    EXPECT_EQ(ZRSDK_GetFlowSetIFrame(session, "ch-0100"), ZRSDK_ERR_UNKNOWN_CHANNEL);
    EXPECT_EQ(ZRSDK_GetFlowSetIFrame(session, "ch-0001"), ZRSDK_OK);
    EXPECT_GT(PlatformTime(), 1000);
    EXPECT_EQ(LoggedInSessions(), std::vector<int>{session});
}

}  // namespace
