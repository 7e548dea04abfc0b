// The SDK calls' contract: every call refuses a dead session and null
// records with its code, and leaves the caller's outputs and callbacks alone
// when it refuses; and what the record, PTZ and device calls refuse besides.
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
    static ZRSDK_RECORD_INFO record{};
    static ZRSDK_STOP_RECORD_INFO stopRec{};
    static ZRSDK_APP_RECORD_INFO app{};
    static ZRSDK_STOP_APP_RECORD_INFO stopApp{};
    static ZRSDK_SMARTTRACK_OPERATE track{};
    static ZRSDK_VEHICLE_PREVIEW preview{};
    static ZRSDK_PTZ_DIRECT_INFO direct{};
    static ZRSDK_PTZ_CAMERA_INFO camera{};
    static ZRSDK_PTZ_SIT_INFO sit{};
    static ZRSDK_PTZ_SIT_INFO_EX sitEx{};
    static ZRSDK_PTZ_AUX_INFO aux{}, margin{};
    static ZRSDK_PTZ_LOCK_INFO lock{};
    static ZRSDK_PTZ_PRESET_INFO preset{};
    static ZRSDK_CRUISE_PRESET cruise{};
    // Valid records on a PTZ channel, so that only the session is wrong.
    for (char* code : {record.channelCode, stopRec.channelCode, app.channelCode, stopApp.channelCode, track.code,
                       direct.code, camera.code, sit.code, sitEx.code, aux.code, lock.code, preset.code, cruise.code}) {
        std::strcpy(code, "ch-0001");
    }
    track.version = 1;
    direct.direction = camera.operType = camera.operCode = 1;
    direct.waitMs = camera.waitMs = ZRSDK_PTZ_WAIT_MS;
    std::strcpy(sit.value, "0");
    margin = aux;
    margin.margin = 1;
    lock.lock = ZRSDK_PTZ_LOCK;
    std::strcpy(preset.indexText, "1");
    preset.op = ZRSDK_PRESET_GOTO;
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

ZRSDK_RECORD_INFO StartInfo(const char* code, int stream) {
    ZRSDK_RECORD_INFO info{};
    SetText(info.channelCode, code);
    info.streamType = stream;
    info.secondValue = 7;
    SetText(info.text, "manual");
    return info;
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
    ZRSDK_RECORD_INFO start = StartInfo("ch-0002", 1);
    ZRSDK_RECORD_RESULT result{};
    ASSERT_EQ(ZRSDK_StartRemoteRecord(session, &start, &result, &op), ZRSDK_OK);
    EXPECT_EQ(std::string(result.timeText), ExpectedLocalText(1704161045));
    const int planId = result.planId;

    ZRSDK_RECORD_RESULT again{};
    EXPECT_EQ(ZRSDK_StartRemoteRecord(session, &start, &again, &op), ZRSDK_ERR_ALREADY_RECORDING);
    ZRSDK_RECORD_INFO sub = StartInfo("ch-0002", 2);
    ASSERT_EQ(ZRSDK_StartRemoteRecord(session, &sub, &again, &op), ZRSDK_OK);
    EXPECT_NE(again.planId, planId);

    AdvancePlatformClock(65);
    ZRSDK_STOP_RECORD_INFO stop{};
    SetText(stop.channelCode, "ch-0002");
    stop.streamType = 1;
    stop.flag = 2;
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
