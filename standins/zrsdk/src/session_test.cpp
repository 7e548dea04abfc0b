#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "../../common/test_gate.h"
#include "test_platform_fixture.h"

namespace {

using namespace zrsdk::control;
using SessionTest = zrsdk_test::PlatformTest;
using EventsTest = zrsdk_test::InboxTest;

TEST_F(SessionTest, LoginTakesAddedUsersAndASessionEndsOnce) {
    int none = 0;
    EXPECT_EQ(ZRSDK_Login("nobody", "operator", &none), ZRSDK_ERR_BAD_LOGIN);
    EXPECT_EQ(ZRSDK_Login(nullptr, "operator", &none), ZRSDK_ERR_INVALID_PARAM);
    AddUser({"guard", "secret", "U-0100"});
    int guard = 0;
    ASSERT_EQ(ZRSDK_Login("guard", "secret", &guard), ZRSDK_OK);
    EXPECT_NE(guard, session);
    EXPECT_EQ(LoggedInSessions().size(), 2u);  // with the fixture's own

    EXPECT_EQ(ZRSDK_Logout(guard), ZRSDK_OK);
    EXPECT_EQ(ZRSDK_Logout(guard), ZRSDK_ERR_INVALID_SESSION);
    EXPECT_EQ(ZRSDK_SetLoginEventCallback(guard, zrsdk_test::EventInbox::Receive, nullptr), ZRSDK_ERR_INVALID_SESSION);
    int count = 0;
    EXPECT_EQ(ZRSDK_QueryChannels(guard, nullptr, 0, &count), ZRSDK_ERR_INVALID_SESSION);
    EXPECT_EQ(ZRSDK_QueryChannels(session, nullptr, 2, &count), ZRSDK_ERR_INVALID_PARAM);
    EXPECT_EQ(ZRSDK_QueryChannels(session, nullptr, 0, nullptr), ZRSDK_ERR_INVALID_PARAM);
}

TEST_F(SessionTest, EventsWithoutCallbackOrSessionAreDroppedNotDelivered) {
    const auto before = GetEventCounters();
    const char text[] = "x";
    EXPECT_TRUE(PushLoginEvent(session, 40, 0, text, sizeof(text)));
    ASSERT_TRUE(WaitEventsDelivered());
    EXPECT_EQ(GetEventCounters().dropped, before.dropped + 1);

    zrsdk_test::EventInbox received;
    ASSERT_EQ(ZRSDK_SetLoginEventCallback(session, zrsdk_test::EventInbox::Receive, &received), ZRSDK_OK);
    ASSERT_EQ(ZRSDK_SetLoginEventCallback(session, nullptr, nullptr), ZRSDK_OK);
    EXPECT_TRUE(PushLoginEvent(session, 40, 0, text, sizeof(text)));
    ASSERT_TRUE(WaitEventsDelivered());
    ASSERT_EQ(ZRSDK_Logout(session), ZRSDK_OK);
    EXPECT_FALSE(PushLoginEvent(session, 40, 0, text, sizeof(text)));
    EXPECT_TRUE(received.Delivered().empty());
}

TEST_F(EventsTest, PushesAreBoundedAndNeedALiveSession) {
    ZRSDK_LOCKSTATUS_CHANGED_NOTIFY lock{};
    ASSERT_TRUE(PushRepeated(session, MakeLockStatus(lock), 25, 0));
    EXPECT_FALSE(PushRepeated(session, MakeLockStatus(lock), kMaxStreamEvents + 1, 0));
    EXPECT_FALSE(Push(session + 777, MakeLockStatus(lock)));
    EXPECT_EQ(inbox.Delivered().size(), 25u);
}

TEST_F(EventsTest, ResetDropsEventsStillWaiting) {
    const auto before = GetEventCounters();
    // One event every 100 seconds: all but the first are still queued.
    ASSERT_TRUE(PushRepeated(session, MakeTrafficScoreAlarm("slow"), 5, 0.01));
    Reset();
    ASSERT_TRUE(WaitEventsDelivered());
    const auto after = GetEventCounters();
    EXPECT_EQ(after.delivered + after.dropped - before.delivered - before.dropped, 5u);
    EXPECT_GE(after.dropped - before.dropped, 4u);
    EXPECT_LE(inbox.Delivered().size(), 1u);
}

// A callback that is running when its session logs out finishes before
// Logout returns, so the owner may free what the callback uses right after.
TEST_F(SessionTest, LogoutWaitsForTheRunningCallback) {
    struct Hold {
        standins_test::Gate entered, release;
    } hold;
    auto blocking = [](int, int, void*, unsigned int, void* user) {
        static_cast<Hold*>(user)->entered.Open();
        static_cast<Hold*>(user)->release.Wait();
    };
    ASSERT_EQ(ZRSDK_SetLoginEventCallback(session, blocking, &hold), ZRSDK_OK);
    ASSERT_TRUE(PushLoginEvent(session, 40, 0, "a", 1));
    ASSERT_TRUE(hold.entered.Wait());
    std::atomic<bool> loggedOut{false};
    std::thread owner([&] {
        EXPECT_EQ(ZRSDK_Logout(session), ZRSDK_OK);
        loggedOut = true;
    });
    // While the callback is held, Logout must not return.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(loggedOut.load());
    hold.release.Open();
    owner.join();
}

}  // namespace
