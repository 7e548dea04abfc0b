#include <cstdio>
#include <ctime>

#include <gtest/gtest.h>

#include "device/device_communicate.h"
#include "face/face_function.h"
#include "tasks/time_text.h"
#include "time_zone.h"

namespace Kestrel {
namespace {

using kestrel_test::UseTimeZone;

// Zones in the POSIX form, which needs no zone database: no daylight saving
// on either side of UTC, and daylight saving north and south of the equator.
constexpr const char* kUtc = "UTC0";
constexpr const char* kTokyo = "JST-9";
constexpr const char* kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";
constexpr const char* kNewYork = "EST5EDT,M3.2.0,M11.1.0";
constexpr const char* kSydney = "AEST-10AEDT,M10.1.0,M4.1.0/3";

class TimeTextTest : public ::testing::Test {
private:
    kestrel_test::ScopedTimeZone m_zone{kUtc};  // each test sets its own
};

TEST_F(TimeTextTest, ReadsFourteenDigitsAsLocalTimeElseZero) {
    UseTimeZone(kUtc);
    EXPECT_EQ(ParseLocalTimeText("20240102030405"), 1704164645);
    EXPECT_EQ(ParseLocalTimeText("19700101000001"), 1);
    UseTimeZone(kBerlin);  // UTC+1 in winter, +2 in summer
    EXPECT_EQ(ParseLocalTimeText("20240102030405"), 1704164645 - 3600);
    EXPECT_EQ(ParseLocalTimeText("20240702030405"), 1719889445 - 7200);
    // Both workers convert the same way.
    EXPECT_EQ(static_cast<int64_t>(CDeviceCommunicate::ParseTimeText("20240102030405")), 1704164645 - 3600);
    EXPECT_EQ(CFaceFunction::ParseTime("20240102030405"), 1704164645 - 3600);

    // What cannot be read, or lies before the epoch, becomes 0.
    UseTimeZone(kTokyo);  // east of UTC: the last day of 1969 is before the epoch
    EXPECT_EQ(ParseLocalTimeText("19691231230000"), 0);
    EXPECT_EQ(ParseLocalTimeText(nullptr), 0);
    EXPECT_EQ(ParseLocalTimeText(""), 0);
    EXPECT_EQ(ParseLocalTimeText("2024010203"), 0);  // four numbers only
    EXPECT_EQ(ParseLocalTimeText("202401020304"), 0);  // five numbers: no seconds
    EXPECT_EQ(ParseLocalTimeText("not a time"), 0);
}

// Every half hour of a year converts as mktime converts it with the
// daylight-saving flag left open: the hours a change skips and the hour it
// repeats included, which the loop makes sure to meet.
TEST_F(TimeTextTest, AgreesWithMktimeOnEveryHourOfTheYear) {
    for (const char* zone : {kBerlin, kNewYork, kSydney, kUtc}) {
        UseTimeZone(zone);
        int repeated = 0;
        for (int day = 0; day < 366; ++day) {
            for (int hour = 0; hour < 24; ++hour) {
                std::tm normal{};
                normal.tm_year = 2024 - 1900;
                normal.tm_mday = 1 + day;
                normal.tm_hour = hour;
                normal.tm_min = 30;
                normal.tm_isdst = -1;
                const std::time_t expected = std::mktime(&normal);  // normalises the date too
                char text[32];
                std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", normal.tm_year + 1900, normal.tm_mon + 1,
                              normal.tm_mday, hour, 30, 0);
                ASSERT_EQ(ParseLocalTimeText(text), expected) << zone << " " << text;
                // The same wall-clock hour an hour earlier or later: a repeat.
                for (const std::time_t other : {expected - 3600, expected + 3600}) {
                    const std::tm* local = std::localtime(&other);
                    if (local != nullptr && local->tm_hour == hour && local->tm_mday == normal.tm_mday) ++repeated;
                }
            }
        }
        EXPECT_EQ(repeated, zone == kUtc ? 0 : 1) << zone;
    }
}

}  // namespace
}  // namespace Kestrel
