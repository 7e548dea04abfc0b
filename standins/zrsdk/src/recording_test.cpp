#include <ctime>

#include <boost/date_time/c_time.hpp>

#include "test_platform_fixture.h"

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

std::string ExpectedLocalText(int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm buffer{};
    char text[16];
    std::strftime(text, sizeof(text), "%Y%m%d%H%M%S", boost::date_time::c_time::localtime(&t, &buffer));
    return text;
}

using RecordingTest = PlatformTest;

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

}  // namespace
