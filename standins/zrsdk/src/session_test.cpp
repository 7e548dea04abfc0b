#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "test_platform_fixture.h"

namespace {

using SessionTest = zrsdk_test::PlatformTest;

TEST_F(SessionTest, LoginTakesAddedUsersAndASessionEndsOnce) {
    int none = 0;
    EXPECT_EQ(ZRSDK_Login("nobody", "operator", &none), ZRSDK_ERR_BAD_LOGIN);
    EXPECT_EQ(ZRSDK_Login(nullptr, "operator", &none), ZRSDK_ERR_INVALID_PARAM);
    zrsdk::control::AddUser({"guard", "secret", "U-0100"});
    int guard = 0;
    ASSERT_EQ(ZRSDK_Login("guard", "secret", &guard), ZRSDK_OK);
    EXPECT_NE(guard, session);
    EXPECT_EQ(zrsdk::control::LoggedInSessions().size(), 2u);  // with the fixture's own

    EXPECT_EQ(ZRSDK_Logout(guard), ZRSDK_OK);
    EXPECT_EQ(ZRSDK_Logout(guard), ZRSDK_ERR_INVALID_SESSION);
    EXPECT_EQ(ZRSDK_SetLoginEventCallback(guard, zrsdk_test::EventInbox::Receive, nullptr), ZRSDK_ERR_INVALID_SESSION);
    int count = 0;
    EXPECT_EQ(ZRSDK_QueryChannels(guard, nullptr, 0, &count), ZRSDK_ERR_INVALID_SESSION);
    EXPECT_EQ(ZRSDK_QueryChannels(session, nullptr, 2, &count), ZRSDK_ERR_INVALID_PARAM);
    EXPECT_EQ(ZRSDK_QueryChannels(session, nullptr, 0, nullptr), ZRSDK_ERR_INVALID_PARAM);
}

TEST_F(SessionTest, EventsWithoutCallbackOrSessionAreDroppedNotDelivered) {
    const auto before = zrsdk::control::GetEventCounters();
    const char text[] = "x";
    EXPECT_TRUE(zrsdk::control::PushLoginEvent(session, 40, 0, text, sizeof(text)));
    ASSERT_TRUE(zrsdk::control::WaitEventsDelivered());
    EXPECT_EQ(zrsdk::control::GetEventCounters().dropped, before.dropped + 1);

    zrsdk_test::EventInbox received;
    ASSERT_EQ(ZRSDK_SetLoginEventCallback(session, zrsdk_test::EventInbox::Receive, &received), ZRSDK_OK);
    ASSERT_EQ(ZRSDK_SetLoginEventCallback(session, nullptr, nullptr), ZRSDK_OK);
    EXPECT_TRUE(zrsdk::control::PushLoginEvent(session, 40, 0, text, sizeof(text)));
    ASSERT_TRUE(zrsdk::control::WaitEventsDelivered());
    ASSERT_EQ(ZRSDK_Logout(session), ZRSDK_OK);
    EXPECT_FALSE(zrsdk::control::PushLoginEvent(session, 40, 0, text, sizeof(text)));
    EXPECT_EQ(received.Delivered(), 0u);
}

// A callback that is running when its session logs out finishes before
// Logout returns, so the owner may free what the callback uses right after.
TEST_F(SessionTest, LogoutWaitsForTheRunningCallback) {
    struct Gate {
        std::mutex mutex;
        std::condition_variable cv;
        bool entered = false, release = false;
    } gate;
    auto blocking = [](int, int, void*, unsigned int, void* user) {
        auto* g = static_cast<Gate*>(user);
        std::unique_lock<std::mutex> lock(g->mutex);
        g->entered = true;
        g->cv.notify_all();
        g->cv.wait(lock, [&] { return g->release; });
    };
    ASSERT_EQ(ZRSDK_SetLoginEventCallback(session, blocking, &gate), ZRSDK_OK);
    ASSERT_TRUE(zrsdk::control::PushLoginEvent(session, 40, 0, "a", 1));
    std::unique_lock<std::mutex> lock(gate.mutex);
    ASSERT_TRUE(gate.cv.wait_for(lock, std::chrono::seconds(30), [&] { return gate.entered; }));
    std::atomic<bool> loggedOut{false};
    std::thread owner([&] {
        EXPECT_EQ(ZRSDK_Logout(session), ZRSDK_OK);
        loggedOut = true;
    });
    // While the callback is held, Logout must not return.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(loggedOut.load());
    gate.release = true;
    gate.cv.notify_all();
    lock.unlock();
    owner.join();
}

}  // namespace
