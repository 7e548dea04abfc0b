#pragma once
// Test fixture: a fresh platform with "operator" logged in.
#include <gtest/gtest.h>

#include <mutex>
#include <string>

#include "zrsdk/zrsdk.h"
#include "zrsdk/zrsdk_control.h"
#include "zrsdk/zrsdk_errors.h"
#include "zrsdk/zrsdk_session.h"

namespace zrsdk_test {

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        zrsdk::control::ResetAll();
        ASSERT_EQ(ZRSDK_Login("operator", "operator", &session), ZRSDK_OK);
    }
    void TearDown() override { zrsdk::control::ResetAll(); }

    int Login(const std::string& user) {
        int id = 0;
        EXPECT_EQ(ZRSDK_Login(user.c_str(), user.c_str(), &id), ZRSDK_OK);
        return id;
    }

    int session = 0;
    ZRSDK_OPERATE_INFO op = MakeOperateInfo();

private:
    static ZRSDK_OPERATE_INFO MakeOperateInfo() {
        ZRSDK_OPERATE_INFO info{};
        zrsdk::control::SetText(info.menuKey, "M-PTZ-01");
        zrsdk::control::SetText(info.menuName, "PTZ control");
        return info;
    }
};

// Counts the login events a session's callback receives.
class EventInbox {
public:
    static void Receive(int, int, void*, unsigned int, void* user) {
        auto* inbox = static_cast<EventInbox*>(user);
        std::lock_guard<std::mutex> lock(inbox->m_mutex);
        ++inbox->m_count;
    }
    // Once the SDK has handed over all it queued.
    std::size_t Delivered() {
        EXPECT_TRUE(zrsdk::control::WaitEventsDelivered());
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_count;
    }

private:
    std::mutex m_mutex;
    std::size_t m_count = 0;
};

}  // namespace zrsdk_test
