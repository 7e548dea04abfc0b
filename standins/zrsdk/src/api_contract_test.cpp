// The SDK calls' contract: every call refuses a dead session and null
// records with its code, and leaves the caller's outputs and callbacks alone
// when it refuses; what the record, PTZ and device calls refuse besides; and
// the control side's injected failures, captures and reset.
#include <algorithm>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include <boost/date_time/c_time.hpp>

#include "test_platform_fixture.h"

namespace {

using namespace zrsdk::control;
using zrsdk_test::PlatformTest;

int g_callbacks = 0;
void CountBinding(int, const void*, unsigned int, void*) { ++g_callbacks; }
void CountCruise(int, void*, unsigned int, void*) { ++g_callbacks; }

// The record, or null for the call that is to be refused for it.
template <class T>
T* Or(bool null, T* record) { return null ? nullptr : record; }

struct Call {
    std::string name;  // without "ZRSDK_"
    std::function<int(int session, bool nullRecord)> run;
};

// Outputs the calls write into; filled with a marker before each call.
struct Outputs {
    ZRSDK_RECORD_RESULT rec;
    ZRSDK_PTZ_RESULT ptz;
    ZRSDK_USER_LOGIN_DATA login;
    ZRSDK_PRESET_BUFFER presets;
    void Mark() { std::memset(this, 0x77, sizeof(*this)); }
    bool Untouched() const {
        const auto* bytes = reinterpret_cast<const uint8_t*>(this);
        return std::all_of(bytes, bytes + sizeof(*this), [](uint8_t b) { return b == 0x77; });
    }
};

std::vector<Call> AllCalls(Outputs& out, const ZRSDK_OPERATE_INFO& op) {
    // Valid records on a PTZ channel, so that only the session is wrong.
    static ZRSDK_RECORD_INFO record{"ch-0001", 0, 0, "", {}};
    static ZRSDK_STOP_RECORD_INFO stopRec{"ch-0001", 0, 0, {}};
    static ZRSDK_APP_RECORD_INFO app{"ch-0001", "", 0, 0, "", {}};
    static ZRSDK_STOP_APP_RECORD_INFO stopApp{"ch-0001", "", 0, 0, {}};
    static ZRSDK_SMARTTRACK_OPERATE track{"ch-0001", 0, 0, 0, 1, {}, 0, {}, "", {}};  // version 1
    static ZRSDK_VEHICLE_PREVIEW preview{};
    static ZRSDK_PTZ_DIRECT_INFO direct{"ch-0001", 0, 0, 1, 0, "", ZRSDK_PTZ_WAIT_MS};  // direction 1
    static ZRSDK_PTZ_CAMERA_INFO camera{"ch-0001", 1, 0, 0, 1, "", {}, ZRSDK_PTZ_WAIT_MS, 0};  // type and code 1
    static ZRSDK_PTZ_SIT_INFO sit{"ch-0001", 0, 0, 0, "0"};
    static ZRSDK_PTZ_SIT_INFO_EX sitEx{"ch-0001", 0, 0, {}, 0, {}};
    static ZRSDK_PTZ_AUX_INFO aux{"ch-0001", 0, 0, 0, 0}, margin{"ch-0001", 0, 0, 1, 0};  // a margin of 1
    static ZRSDK_PTZ_LOCK_INFO lock{"ch-0001", 0, ZRSDK_PTZ_LOCK, "", "", ""};
    static ZRSDK_PTZ_PRESET_INFO preset{"ch-0001", "1", "", ZRSDK_PRESET_GOTO, "", "", {}, 0};
    static ZRSDK_CRUISE_PRESET cruise{"ch-0001", "", 0, 0, nullptr};
    auto* o = &out;
    const auto* p = &op;
    return {
        {"StartRemoteRecord", [=](int s, bool n) { return ZRSDK_StartRemoteRecord(s, Or(n, &record), &o->rec, p); }},
        {"StopRemoteRecord", [=](int s, bool n) { return ZRSDK_StopRemoteRecord(s, Or(n, &stopRec), &o->rec, p); }},
        {"StartAPPRemoteRecord", [=](int s, bool n) { return ZRSDK_StartAPPRemoteRecord(s, Or(n, &app), &o->rec); }},
        {"StopAPPRemoteRecord", [=](int s, bool n) { return ZRSDK_StopAPPRemoteRecord(s, Or(n, &stopApp), &o->rec); }},
        {"SmartTrackOperate", [=](int s, bool n) { return ZRSDK_SmartTrackOperate(s, Or(n, &track)); }},
        {"VehiclePreviewConfig", [=](int s, bool n) { return ZRSDK_VehiclePreviewConfig(s, Or(n, &preview)); }},
        {"GetResourceBinding",
         [=](int s, bool n) { return ZRSDK_GetResourceBinding(s, Or(n, "ch-0001"), CountBinding, nullptr); }},
        {"GetFlowSetIFrame", [=](int s, bool n) { return ZRSDK_GetFlowSetIFrame(s, Or(n, "ch-0001")); }},
        {"PtzOperateDirect", [=](int s, bool n) { return ZRSDK_PtzOperateDirect(s, Or(n, &direct), &o->ptz, p); }},
        {"PtzOperateCamera", [=](int s, bool n) { return ZRSDK_PtzOperateCamera(s, Or(n, &camera), &o->ptz, p); }},
        {"PtzSitPositionEx", [=](int s, bool n) { return ZRSDK_PtzSitPositionEx(s, Or(n, &sitEx), &o->ptz, p); }},
        {"PtzSitPosition", [=](int s, bool n) { return ZRSDK_PtzSitPosition(s, Or(n, &sit), &o->ptz); }},
        {"PtzRainWiper", [=](int s, bool n) { return ZRSDK_PtzRainWiper(s, Or(n, &aux)); }},
        {"PtzSetScanMargin", [=](int s, bool n) { return ZRSDK_PtzSetScanMargin(s, Or(n, &margin)); }},
        {"PtzAutoScan", [=](int s, bool n) { return ZRSDK_PtzAutoScan(s, Or(n, &aux)); }},
        {"PtzArrangePtz", [=](int s, bool n) { return ZRSDK_PtzArrangePtz(s, Or(n, &lock), &o->ptz, p); }},
        {"GetUserLoginData", [=](int s, bool n) { return ZRSDK_GetUserLoginData(s, Or(n, &o->login)); }},
        {"PtzGetPresetPoints",
         [=](int s, bool n) { return ZRSDK_PtzGetPresetPoints(s, "ch-0001", Or(n, &o->presets), sizeof(o->presets)); }},
        {"PtzOperatePresetPoint",
         [=](int s, bool n) { return ZRSDK_PtzOperatePresetPoint(s, Or(n, &preset), &o->ptz, p); }},
        {"GetChannelCruisePreset",
         [=](int s, bool n) { return ZRSDK_GetChannelCruisePreset(s, Or(n, "ch-0001"), CountCruise, nullptr, p); }},
        {"SetChannelCruisePreset", [=](int s, bool n) { return ZRSDK_SetChannelCruisePreset(s, Or(n, &cruise), p); }},
    };
}

using ApiContractTest = PlatformTest;
using RecordingTest = PlatformTest;
using PtzTest = PlatformTest;
using DeviceTest = PlatformTest;
using ControlTest = PlatformTest;

TEST_F(ApiContractTest, EveryCallRefusesDeadSessionsAndNullRecordsWithoutSideEffects) {
    Outputs out;
    const auto calls = AllCalls(out, op);
    ASSERT_EQ(calls.size(), 21u);
    const int dead = Login("supervisor");
    ASSERT_EQ(ZRSDK_Logout(dead), ZRSDK_OK);
    g_callbacks = 0;
    for (const auto& call : calls) {
        SCOPED_TRACE(call.name);
        out.Mark();
        EXPECT_EQ(call.run(dead, false), ZRSDK_ERR_INVALID_SESSION);
        EXPECT_TRUE(out.Untouched());
        EXPECT_EQ(call.run(0, false), ZRSDK_ERR_INVALID_SESSION);
        out.Mark();
        EXPECT_EQ(call.run(session, true), ZRSDK_ERR_INVALID_PARAM);
        EXPECT_TRUE(out.Untouched());
        EXPECT_EQ(CallCount("ZRSDK_" + call.name), 3u) << "every call is captured, refused or not";
        // With a live session the same record is accepted.
        EXPECT_EQ(call.run(session, false), ZRSDK_OK);
    }
    EXPECT_EQ(g_callbacks, 2) << "callbacks only for the two accepted queries";
    const auto locks = GetLocks();
    ASSERT_EQ(locks.size(), 1u);
    EXPECT_EQ(locks[0].holder, "operator");
}

std::string ExpectedLocalText(int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm buffer{};
    char text[16];
    std::strftime(text, sizeof(text), "%Y%m%d%H%M%S", boost::date_time::c_time::localtime(&t, &buffer));
    return text;
}

// One plan per channel and stream; times are the platform clock's local time.
TEST_F(RecordingTest, RemotePlanRunsFromStartToStopWithDistinctRefusals) {
    SetPlatformTime(1704161045);  // a fixed instant; the text is its local time
    ZRSDK_RECORD_INFO start{"ch-0002", 1, 7, "manual", {}};  // channel, stream, value, text
    ZRSDK_RECORD_RESULT result{};
    ASSERT_EQ(ZRSDK_StartRemoteRecord(session, &start, &result, &op), ZRSDK_OK);
    EXPECT_EQ(std::string(result.timeText), ExpectedLocalText(1704161045));
    const int planId = result.planId;

    ZRSDK_RECORD_RESULT again{};
    EXPECT_EQ(ZRSDK_StartRemoteRecord(session, &start, &again, &op), ZRSDK_ERR_ALREADY_RECORDING);
    ZRSDK_RECORD_INFO sub{"ch-0002", 2, 7, "manual", {}};
    ASSERT_EQ(ZRSDK_StartRemoteRecord(session, &sub, &again, &op), ZRSDK_OK);
    EXPECT_NE(again.planId, planId);

    AdvancePlatformClock(65);
    ZRSDK_STOP_RECORD_INFO stop{"ch-0002", 1, 2, {}};  // channel, stream, flag
    EXPECT_EQ(ZRSDK_StopRemoteRecord(session, &stop, &result, &op), ZRSDK_ERR_INVALID_PARAM);
    stop.flag = 1;
    ZRSDK_RECORD_RESULT stopped{};
    ASSERT_EQ(ZRSDK_StopRemoteRecord(session, &stop, &stopped, &op), ZRSDK_OK);
    EXPECT_EQ(stopped.planId, planId);
    EXPECT_EQ(std::string(stopped.timeText), ExpectedLocalText(1704161045 + 65));
    const auto plans = GetRecordings();
    ASSERT_EQ(plans.size(), 2u);
    EXPECT_FALSE(plans[0].active);
    EXPECT_TRUE(plans[1].active);
}

// The hall dome has 300 presets. A buffer with room for 2.5 entries gets the
// real total and two whole entries; a guard of two entries behind it catches
// a stray write.
TEST_F(PtzTest, PresetQueryReportsTheTotalAndNeverWritesPastTheGivenSize) {
    const std::size_t guard = 2 * sizeof(ZRSDK_PRESET_POINT);
    const unsigned int small = 4 + 2 * sizeof(ZRSDK_PRESET_POINT) + 52;
    std::vector<uint8_t> partial(small + guard, 0xEE);
    ASSERT_EQ(ZRSDK_PtzGetPresetPoints(session, "ch-0003", partial.data(), small), ZRSDK_OK);
    ZRSDK_PRESET_BUFFER got{};
    std::memcpy(&got, partial.data(), small);
    EXPECT_EQ(got.count, 300);
    EXPECT_STREQ(got.points[1].indexText, "2");
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
    // code, type, start, speed, lens code, text, reserved, wait, reserved
    ZRSDK_PTZ_CAMERA_INFO lens{"ch-0005", ZRSDK_LENS_INCREASE, 0, 0, 4, "", {}, ZRSDK_PTZ_WAIT_MS, 0};
    EXPECT_EQ(ZRSDK_PtzOperateCamera(session, &lens, &result, &op), ZRSDK_ERR_INVALID_PARAM);
    ZRSDK_PTZ_SIT_INFO sit{"ch-0005", 0, 0, 0, "5x"};
    EXPECT_EQ(ZRSDK_PtzSitPosition(session, &sit, &result), ZRSDK_ERR_INVALID_PARAM);
}

// What the calls refuse, and that a refused call records nothing.
TEST_F(DeviceTest, SmartTrackAndVehiclePreviewRefuseWhatThePlatformWouldNot) {
    ZRSDK_SMARTTRACK_OPERATE track{"ch-0005", 0, 0, 0, 0, {}, 0, {}, "", {}};
    EXPECT_EQ(ZRSDK_SmartTrackOperate(session, &track), ZRSDK_ERR_INVALID_PARAM) << "version must be 1";
    track.version = 1;
    SetText(track.code, "ch-7777");
    EXPECT_EQ(ZRSDK_SmartTrackOperate(session, &track), ZRSDK_ERR_UNKNOWN_CHANNEL);
    EXPECT_TRUE(GetSmartTrackOperations("ch-0005").empty());

    char slots[2][64] = {"ch-0001", "ch-0004"};
    ZRSDK_VEHICLE_PREVIEW preview{2, 0, slots};
    ASSERT_EQ(ZRSDK_VehiclePreviewConfig(session, &preview), ZRSDK_OK);
    // An unknown code refuses the whole configuration.
    SetText(slots[1], "ch-4040");
    EXPECT_EQ(ZRSDK_VehiclePreviewConfig(session, &preview), ZRSDK_ERR_UNKNOWN_CHANNEL);
    EXPECT_EQ(GetVehiclePreviewCodes(), (std::vector<std::string>{"ch-0001", "ch-0004"}));
    preview.codes = nullptr;
    EXPECT_EQ(ZRSDK_VehiclePreviewConfig(session, &preview), ZRSDK_ERR_INVALID_PARAM);
}

// A scan record of ch-0001: code, mode, action, margin, value.
ZRSDK_PTZ_AUX_INFO Scan(int action, int value) { return {"ch-0001", 1, action, 0, value}; }

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
    ZRSDK_PTZ_PRESET_INFO preset{"ch-0001", "1", "", ZRSDK_PRESET_DELETE, "", "", {}, 0};
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
