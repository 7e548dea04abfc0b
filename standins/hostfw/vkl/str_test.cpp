#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "vkl/str.h"

namespace {

using vkl::DStr;

TEST(DStr, AtoiReadsTheLeadingNumberOnly) {
    EXPECT_EQ(DStr::atoi("123"), 123);
    EXPECT_EQ(DStr::atoi("  -45xyz"), -45);
    EXPECT_EQ(DStr::atoi("+7"), 7);
    EXPECT_EQ(DStr::atoi("abc"), 0);
    EXPECT_EQ(DStr::atoi(""), 0);
    EXPECT_EQ(DStr::atoi(nullptr), 0);
    EXPECT_EQ(DStr::atoi("99999999999999999999"), INT_MAX);
    EXPECT_EQ(DStr::atoi("-99999999999"), INT_MIN);
}

TEST(DStr, SprintfStaysInsideTheBufferAndTerminates) {
    char buf[8];
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(DStr::sprintf_x(buf, 4, "%d", 123456), 3);
    EXPECT_STREQ(buf, "123");
    EXPECT_EQ(buf[4], '#');  // nothing written past size

    EXPECT_EQ(DStr::sprintf_x(buf, sizeof buf, "%s-%d", "ab", 5), 4);
    EXPECT_STREQ(buf, "ab-5");

    EXPECT_EQ(DStr::sprintf_x(buf, 1, "%s", "xyz"), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(DStr::sprintf_x(buf, 0, "%s", "xyz"), -1);
    EXPECT_EQ(DStr::sprintf_x(nullptr, 8, "%s", "xyz"), -1);
    EXPECT_EQ(DStr::sprintf_x(buf, sizeof buf, nullptr), 0);
    EXPECT_STREQ(buf, "");
}

TEST(DStr, StrcpyCopiesAtMostSizeMinusOneAndTerminates) {
    char buf[8];
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(DStr::strcpy_x(buf, 5, "abcdefgh"), buf);
    EXPECT_STREQ(buf, "abcd");
    EXPECT_EQ(buf[5], '#');

    DStr::strcpy_x(buf, sizeof buf, "xy");
    EXPECT_STREQ(buf, "xy");
    DStr::strcpy_x(buf, sizeof buf, nullptr);
    EXPECT_STREQ(buf, "");

    // A source without a terminator inside the bound is never read past it.
    const char unterminated[3] = {'p', 'q', 'r'};
    DStr::strcpy_x(buf, 3, unterminated);
    EXPECT_STREQ(buf, "pq");

    buf[0] = 'z';
    EXPECT_EQ(DStr::strcpy_x(buf, 0, "abc"), buf);
    EXPECT_EQ(buf[0], 'z');
    EXPECT_EQ(DStr::strcpy_x(nullptr, 4, "abc"), nullptr);
}

}  // namespace
