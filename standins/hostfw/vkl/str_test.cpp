#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "vkl/str.h"

namespace {

using vkl::DStr;

// At the bounds: overflow, empty and null arguments, sizes 0 and 1.
TEST(DStr, AtoiClampsAndTakesNullAsZero) {
    EXPECT_EQ(DStr::atoi("  -45xyz"), -45);
    EXPECT_EQ(DStr::atoi("abc"), 0);
    EXPECT_EQ(DStr::atoi(nullptr), 0);
    EXPECT_EQ(DStr::atoi("99999999999999999999"), INT_MAX);
    EXPECT_EQ(DStr::atoi("-99999999999"), INT_MIN);
}

TEST(DStr, CopiesStayInsideTheBufferAndTerminate) {
    char buf[8];
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(DStr::sprintf_x(buf, 4, "%d", 123456), 3);
    EXPECT_STREQ(buf, "123");
    EXPECT_EQ(buf[4], '#');  // nothing written past size
    EXPECT_EQ(DStr::sprintf_x(buf, 1, "%s", "xyz"), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(DStr::sprintf_x(buf, 0, "%s", "xyz"), -1);
    EXPECT_EQ(DStr::sprintf_x(nullptr, 8, "%s", "xyz"), -1);
    EXPECT_EQ(DStr::sprintf_x(buf, sizeof buf, nullptr), 0);

    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(DStr::strcpy_x(buf, 5, "abcdefgh"), buf);
    EXPECT_STREQ(buf, "abcd");
    EXPECT_EQ(buf[5], '#');
    DStr::strcpy_x(buf, sizeof buf, nullptr);
    EXPECT_STREQ(buf, "");
    // A source without a terminator inside the bound is never read past it.
    const char unterminated[3] = {'p', 'q', 'r'};
    DStr::strcpy_x(buf, 3, unterminated);
    EXPECT_STREQ(buf, "pq");
    EXPECT_EQ(DStr::strcpy_x(buf, 0, "abc"), buf);
    EXPECT_EQ(buf[0], 'p');
    EXPECT_EQ(DStr::strcpy_x(nullptr, 4, "abc"), nullptr);
}

}  // namespace
