#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "hostfw/vkl_host.h"
#include "vkl/log.h"

namespace {

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

}  // namespace
