#pragma once
// Test fixture: a fresh platform with "operator" logged in.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

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
    ZRSDK_OPERATE_INFO op{"M-PTZ-01", "PTZ control"};
};

// Keeps the login events a session's callback receives.
class EventInbox {
public:
    struct Event {
        int type;
        int result;
        std::string bytes;
    };
    static void Receive(int type, int result, void* data, unsigned int size, void* user) {
        auto* inbox = static_cast<EventInbox*>(user);
        std::lock_guard<std::mutex> lock(inbox->m_mutex);
        inbox->m_events.push_back({type, result, data ? std::string(static_cast<char*>(data), size) : ""});
        inbox->m_arrived.notify_all();
    }
    // All of them, once the SDK has handed over all it queued.
    std::vector<Event> Delivered() {
        EXPECT_TRUE(zrsdk::control::WaitEventsDelivered());
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }
    // Until `count` have come, for events the platform sends by itself.
    bool WaitFor(std::size_t count) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_arrived.wait_for(lock, std::chrono::seconds(30), [&] { return m_events.size() >= count; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<Event> m_events;
};

// The fixture with the session's events going to an inbox.
class InboxTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ASSERT_EQ(ZRSDK_SetLoginEventCallback(session, EventInbox::Receive, &inbox), ZRSDK_OK);
    }
    EventInbox inbox;
};

}  // namespace zrsdk_test
