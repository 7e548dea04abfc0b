// The small vkl pieces: the log, the bounded string functions and the
// re-entrant mutex.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "hostfw/vkl_host.h"
#include "vkl/log.h"
#include "vkl/mutex.h"
#include "vkl/str.h"

namespace {

using vkl::DStr;

struct CapturedLog {
    std::mutex mutex;
    std::vector<vkl::Host::LogRecord> records;

    CapturedLog() {
        vkl::Host::SetLogSink([this](const vkl::Host::LogRecord& r) {
            std::lock_guard<std::mutex> lock(mutex);
            records.push_back(r);
        });
    }
    ~CapturedLog() {
        vkl::Host::SetLogSink(nullptr);
        vkl::Host::SetLogLevel(vkl::LOG_LEVEL_TRACE);
    }
};

TEST(DPrintLog, SinkGetsTheLinesAtOrAboveTheLevelNullPiecesAsEmpty) {
    CapturedLog log;
    const std::string longText(10000, 'x');
    vkl::DPrintLog::instance()->Log(nullptr, 1, nullptr, nullptr, 6, "%s", longText.c_str());
    vkl::DPrintLog::instance()->Log("u", 2, "f", "t", 6, nullptr);
    vkl::Host::SetLogLevel(vkl::LOG_LEVEL_WARN);
    vkl::DPrintLog::instance()->Log("a", 1, "f", "", vkl::LOG_LEVEL_INFO, "dropped");
    vkl::DPrintLog::instance()->Log("a", 2, "f", "", vkl::LOG_LEVEL_WARN, "kept");
    ASSERT_EQ(log.records.size(), 3u);
    EXPECT_EQ(log.records[0].source, "");
    EXPECT_EQ(log.records[0].text, longText);
    EXPECT_EQ(log.records[1].text, "");
    EXPECT_EQ(log.records[2].text, "kept");
}

TEST(DPrintLog, DefaultSinkWritesOneLineToTheLogFile) {
    // A name of its own, so that test runs at the same time keep apart.
    const std::string path = ::testing::TempDir() + "vkl_log_" + std::to_string(std::random_device{}()) + ".log";
    std::remove(path.c_str());
    ASSERT_TRUE(vkl::Host::SetLogFile(path));
    vkl::DPrintLog::instance()->Log("DeviceCommunicate", 7, "Kestrel::CDeviceCommunicate::Handle", "tg",
                                    vkl::LOG_LEVEL_ERROR, "failed %d", 3);
    ASSERT_TRUE(vkl::Host::SetLogFile(""));
    EXPECT_FALSE(vkl::Host::SetLogFile("/nonexistent-dir/x.log"));

    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(),
              "ERROR DeviceCommunicate:7 Kestrel::CDeviceCommunicate::Handle [tg] failed 3\n");
    std::remove(path.c_str());
}

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

bool TryLockFromAnotherThread(vkl::DMutex& m) {
    bool locked = false;
    std::thread t([&] {
        locked = m.TryLock();
        if (locked) m.Unlock();
    });
    t.join();
    return locked;
}

TEST(DMutex, IsReEntrantAndHeldUntilTheLastUnlock) {
    vkl::DMutex m;
    {
        vkl::DMutexGuard outer(m);
        vkl::DMutexGuard inner(m);  // would deadlock on a plain mutex
        EXPECT_TRUE(m.TryLock());
        m.Unlock();
        EXPECT_FALSE(TryLockFromAnotherThread(m));
    }
    EXPECT_TRUE(TryLockFromAnotherThread(m));
}

}  // namespace
