#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <gtest/gtest.h>

#include "face/face_function.h"
#include "device/device_communicate.h"
#include "tasks/time_text.h"

namespace Kestrel {
namespace {

class TimeTextTest : public ::testing::Test {
protected:
    void UseZone(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    void TearDown() override { UseZone("Europe/Berlin"); }
};

TEST_F(TimeTextTest, ReadsFourteenDigitsAsLocalTime) {
    UseZone("UTC");
    EXPECT_EQ(ParseLocalTimeText("20240102030405"), 1704164645);
    UseZone("Europe/Berlin");  // UTC+1 in winter, +2 in summer
    EXPECT_EQ(ParseLocalTimeText("20240102030405"), 1704164645 - 3600);
    EXPECT_EQ(ParseLocalTimeText("20240702030405"), 1719889445 - 7200);
    // Both workers convert the same way.
    EXPECT_EQ(static_cast<int64_t>(CDeviceCommunicate::ParseTimeText("20240102030405")), 1704164645 - 3600);
    EXPECT_EQ(CFaceFunction::ParseTime("20240102030405"), 1704164645 - 3600);
}

TEST_F(TimeTextTest, UnreadableOrEarlyTimesBecomeZero) {
    UseZone("Asia/Tokyo");  // east of UTC: the last day of 1969 is before the epoch
    EXPECT_EQ(ParseLocalTimeText("19691231230000"), 0);
    EXPECT_EQ(ParseLocalTimeText(nullptr), 0);
    EXPECT_EQ(ParseLocalTimeText(""), 0);
    EXPECT_EQ(ParseLocalTimeText("2024010203"), 0);  // four numbers only
    EXPECT_EQ(ParseLocalTimeText("not a time"), 0);
    UseZone("UTC");
    EXPECT_EQ(ParseLocalTimeText("19700101000001"), 1);
}

// The conversion agrees with mktime for every local time of a year that
// exists exactly once, in zones north and south of the equator and on both
// sides of UTC; the hours a daylight-saving change skips or repeats are left
// to the C library.
TEST_F(TimeTextTest, AgreesWithMktimeOnEveryHourOfTheYear) {
    for (const char* zone : {"Europe/Berlin", "America/New_York", "Australia/Sydney", "UTC"}) {
        UseZone(zone);
        int compared = 0;
        for (int day = 0; day < 366; ++day) {
            for (int hour = 0; hour < 24; ++hour) {
                std::tm fields{};
                fields.tm_year = 2024 - 1900;
                fields.tm_mon = 0;
                fields.tm_mday = 1 + day;
                fields.tm_hour = hour;
                fields.tm_min = 30;
                fields.tm_isdst = -1;
                std::tm normal = fields;
                const std::time_t expected = std::mktime(&normal);  // normalises the fields too
                std::tm back{};
                localtime_r(&expected, &back);
                std::tm before{}, after{};
                const std::time_t earlier = expected - 3600, later = expected + 3600;
                localtime_r(&earlier, &before);
                localtime_r(&later, &after);
                const bool skipped = back.tm_hour != hour;
                const bool repeated = before.tm_hour == back.tm_hour || after.tm_hour == back.tm_hour;
                if (skipped || repeated) continue;
                char text[32];
                std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", normal.tm_year + 1900, normal.tm_mon + 1,
                              normal.tm_mday, normal.tm_hour, normal.tm_min, normal.tm_sec);
                ASSERT_EQ(ParseLocalTimeText(text), expected) << zone << " " << text;
                ++compared;
            }
        }
        EXPECT_GT(compared, 365 * 24 - 3) << zone;
    }
}

}  // namespace
}  // namespace Kestrel
