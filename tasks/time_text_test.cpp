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

}  // namespace
}  // namespace Kestrel
