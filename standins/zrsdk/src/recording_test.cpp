#include <cstring>
#include <ctime>

#include "platform_fixture.h"

namespace {

using namespace zrsdk::control;
using zrsdk_test::PlatformTest;

ZRSDK_RECORD_INFO StartInfo(const char* code, int stream) {
    ZRSDK_RECORD_INFO info{};
    SetText(info.channelCode, code);
    info.streamType = stream;
    info.secondValue = 7;
    SetText(info.text, "manual");
    return info;
}

ZRSDK_STOP_RECORD_INFO StopInfo(const char* code, int stream) {
    ZRSDK_STOP_RECORD_INFO info{};
    SetText(info.channelCode, code);
    info.streamType = stream;
    info.flag = 1;
    return info;
}

std::string ExpectedLocalText(int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    char text[16];
    std::strftime(text, sizeof(text), "%Y%m%d%H%M%S", &local);
    return text;
}

using RecordingTest = PlatformTest;

TEST_F(RecordingTest, RemotePlanRunsFromStartToStopWithDistinctRefusals) {
    SetPlatformTime(1704161045);  // a fixed instant; the text is its local time
    ZRSDK_RECORD_INFO start = StartInfo("ch-0002", 1);
    ZRSDK_RECORD_RESULT result{};
    ASSERT_EQ(ZRSDK_StartRemoteRecord(session, &start, &result, &op), ZRSDK_OK);
    EXPECT_GT(result.planId, 0);
    EXPECT_EQ(std::strlen(result.timeText), 14u);
    EXPECT_EQ(std::string(result.timeText), ExpectedLocalText(1704161045));
    const int planId = result.planId;

    ZRSDK_RECORD_RESULT again{};
    EXPECT_EQ(ZRSDK_StartRemoteRecord(session, &start, &again, &op), ZRSDK_ERR_ALREADY_RECORDING);
    EXPECT_EQ(again.planId, 0) << "outputs stay untouched on failure";
    // Another stream of the same channel is a plan of its own.
    ZRSDK_RECORD_INFO sub = StartInfo("ch-0002", 2);
    ASSERT_EQ(ZRSDK_StartRemoteRecord(session, &sub, &again, &op), ZRSDK_OK);
    EXPECT_NE(again.planId, planId);

    AdvancePlatformClock(65);
    ZRSDK_STOP_RECORD_INFO stop = StopInfo("ch-0002", 1);
    ZRSDK_RECORD_RESULT stopped{};
    ASSERT_EQ(ZRSDK_StopRemoteRecord(session, &stop, &stopped, &op), ZRSDK_OK);
    EXPECT_EQ(stopped.planId, planId);
    EXPECT_EQ(std::string(stopped.timeText), ExpectedLocalText(1704161045 + 65));
    EXPECT_EQ(ZRSDK_StopRemoteRecord(session, &stop, &stopped, &op), ZRSDK_ERR_NOT_RECORDING);

    const auto plans = GetRecordings();
    ASSERT_EQ(plans.size(), 2u);
    EXPECT_FALSE(plans[0].active);
    EXPECT_FALSE(plans[0].app);
    EXPECT_EQ(plans[0].user, "operator");
    EXPECT_EQ(plans[0].menuKey, "M-PTZ-01");
    EXPECT_EQ(plans[0].menuName, "PTZ control");
    EXPECT_EQ(plans[0].secondValue, 7);
    EXPECT_EQ(plans[0].text, "manual");
    EXPECT_TRUE(plans[0].stopFlag);
    EXPECT_TRUE(plans[1].active);
}

TEST_F(RecordingTest, BadCallsAreRefusedWithTheirOwnCodes) {
    ZRSDK_RECORD_RESULT result{};
    ZRSDK_RECORD_INFO unknown = StartInfo("ch-9999", 1);
    EXPECT_EQ(ZRSDK_StartRemoteRecord(session, &unknown, &result, &op), ZRSDK_ERR_UNKNOWN_CHANNEL);
    ZRSDK_RECORD_INFO start = StartInfo("ch-0001", 1);
    EXPECT_EQ(ZRSDK_StartRemoteRecord(session + 100, &start, &result, &op),
              ZRSDK_ERR_INVALID_SESSION);
    EXPECT_EQ(ZRSDK_StartRemoteRecord(session, nullptr, &result, &op), ZRSDK_ERR_INVALID_PARAM);
    EXPECT_EQ(ZRSDK_StartRemoteRecord(session, &start, nullptr, &op), ZRSDK_ERR_INVALID_PARAM);
    ZRSDK_STOP_RECORD_INFO stop = StopInfo("ch-0001", 1);
    stop.flag = 2;
    EXPECT_EQ(ZRSDK_StopRemoteRecord(session, &stop, &result, &op), ZRSDK_ERR_INVALID_PARAM);
    EXPECT_TRUE(GetRecordings().empty());
}

TEST_F(RecordingTest, AppPlansAreKeptApartFromRemotePlans) {
    ZRSDK_RECORD_INFO remote = StartInfo("ch-0003", 1);
    ZRSDK_RECORD_RESULT result{};
    ASSERT_EQ(ZRSDK_StartRemoteRecord(session, &remote, &result, &op), ZRSDK_OK);

    ZRSDK_APP_RECORD_INFO app{};
    SetText(app.channelCode, "ch-0003");
    SetText(app.secondCode, "phone-17");
    app.streamType = 1;
    SetText(app.text, "app");
    ZRSDK_RECORD_RESULT appResult{};
    ASSERT_EQ(ZRSDK_StartAPPRemoteRecord(session, &app, &appResult), ZRSDK_OK);
    EXPECT_NE(appResult.planId, result.planId);
    EXPECT_EQ(ZRSDK_StartAPPRemoteRecord(session, &app, &appResult), ZRSDK_ERR_ALREADY_RECORDING);

    ZRSDK_STOP_APP_RECORD_INFO stop{};
    SetText(stop.channelCode, "ch-0003");
    stop.streamType = 1;
    ZRSDK_RECORD_RESULT stopped{};
    ASSERT_EQ(ZRSDK_StopAPPRemoteRecord(session, &stop, &stopped), ZRSDK_OK);
    EXPECT_EQ(stopped.planId, appResult.planId);
    EXPECT_EQ(ZRSDK_StopAPPRemoteRecord(session, &stop, &stopped), ZRSDK_ERR_NOT_RECORDING);

    const auto plans = GetRecordings();
    ASSERT_EQ(plans.size(), 2u);
    EXPECT_TRUE(plans[0].active) << "the remote plan keeps running";
    EXPECT_TRUE(plans[1].app);
    EXPECT_EQ(plans[1].secondCode, "phone-17");
    EXPECT_FALSE(plans[1].active);

    // The captured input is the caller's record byte for byte.
    const auto calls = CapturedCalls("ZRSDK_StartAPPRemoteRecord");
    ASSERT_EQ(calls.size(), 2u);
    ASSERT_EQ(calls[0].input.size(), sizeof(ZRSDK_APP_RECORD_INFO));
    EXPECT_EQ(std::memcmp(calls[0].input.data(), &app, sizeof(app)), 0);
    EXPECT_TRUE(calls[0].operateInfo.empty());
    EXPECT_EQ(calls[1].result, ZRSDK_ERR_ALREADY_RECORDING);
}

}  // namespace
