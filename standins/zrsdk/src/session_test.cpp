// Sessions: login and logout, the events pushed onto them, and the platform's
// own PTZ locks they hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

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
    EXPECT_TRUE(PushLoginEvent(session, 40, 0, "x", 2));
    ASSERT_TRUE(WaitEventsDelivered());
    EXPECT_EQ(GetEventCounters().dropped, before.dropped + 1);

    zrsdk_test::EventInbox received;
    ASSERT_EQ(ZRSDK_SetLoginEventCallback(session, zrsdk_test::EventInbox::Receive, &received), ZRSDK_OK);
    ASSERT_EQ(ZRSDK_SetLoginEventCallback(session, nullptr, nullptr), ZRSDK_OK);
    EXPECT_TRUE(PushLoginEvent(session, 40, 0, "x", 2));
    ASSERT_TRUE(WaitEventsDelivered());
    ASSERT_EQ(ZRSDK_Logout(session), ZRSDK_OK);
    EXPECT_FALSE(PushLoginEvent(session, 40, 0, "x", 2));
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

class LockTest : public zrsdk_test::InboxTest {
protected:
    // op ZRSDK_PTZ_LOCK / UNLOCK / QUERY_LOCK on a channel; returns the SDK code.
    int Arrange(int sessionId, const char* code, int lockOp, int lockTime, ZRSDK_PTZ_RESULT& result) {
        ZRSDK_PTZ_LOCK_INFO info{};
        SetText(info.code, code);
        info.lock = lockOp;
        info.lockTime = lockTime;
        result = ZRSDK_PTZ_RESULT{};
        return ZRSDK_PtzArrangePtz(sessionId, &info, &result, &op);
    }

    // The lock-status notices the session received; nothing else reaches it.
    std::vector<ZRSDK_LOCKSTATUS_CHANGED_NOTIFY> Notices() {
        std::vector<ZRSDK_LOCKSTATUS_CHANGED_NOTIFY> notices;
        for (const auto& e : inbox.Delivered()) {
            EXPECT_EQ(e.type, EVENT_PTZ_LOCK_STATUS);
            EXPECT_EQ(e.result, 0);
            EXPECT_EQ(e.bytes.size(), sizeof(ZRSDK_LOCKSTATUS_CHANGED_NOTIFY)) << "the platform sends whole records";
            notices.emplace_back();
            std::memcpy(&notices.back(), e.bytes.data(), std::min(e.bytes.size(), sizeof(notices.back())));
        }
        return notices;
    }
};

// (That another session hears of a lock, and a refusal names the holder:
// the example host's demo.)
TEST_F(LockTest, PlatformClockExpiresLocksAndTheHoldersLastLogoutReleasesThem) {
    const int other = Login("supervisor");

    ZRSDK_PTZ_RESULT result{};
    ASSERT_EQ(Arrange(session, "ch-0003", ZRSDK_PTZ_LOCK, 30, result), ZRSDK_OK);
    AdvancePlatformClock(29);
    ASSERT_EQ(Arrange(other, "ch-0003", ZRSDK_PTZ_LOCK, 10, result), ZRSDK_OK);
    EXPECT_EQ(result.status, ZRSDK_PTZ_STATUS_REFUSED);
    EXPECT_EQ(result.answer, 1) << "the seconds left";
    EXPECT_EQ(Notices().size(), 1u) << "no expiry before the time ran out";
    AdvancePlatformClock(1);
    EXPECT_TRUE(GetLocks().empty());
    const auto received = Notices();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1].status, ZRSDK_LOCK_EVENT_EXPIRED);
    EXPECT_STREQ(received[1].code, "ch-0003");
    EXPECT_STREQ(received[1].message, "operator");

    // Once expired, the PTZ is free for the other user, and the old holder's
    // release is refused.
    ASSERT_EQ(Arrange(other, "ch-0003", ZRSDK_PTZ_LOCK, 0, result), ZRSDK_OK);
    EXPECT_EQ(result.status, ZRSDK_PTZ_STATUS_GRANTED);
    EXPECT_EQ(result.answer, 300) << "0 seconds asks for the platform's default";
    ASSERT_EQ(Arrange(session, "ch-0003", ZRSDK_PTZ_UNLOCK, 0, result), ZRSDK_OK);
    EXPECT_EQ(result.status, ZRSDK_PTZ_STATUS_REFUSED);

    // The holder's last session going away releases its locks too.
    const int otherAgain = Login("supervisor");
    ASSERT_EQ(ZRSDK_Logout(other), ZRSDK_OK);
    EXPECT_EQ(GetLocks().size(), 1u) << "the holder still has a session";
    ASSERT_EQ(ZRSDK_Logout(otherAgain), ZRSDK_OK);
    EXPECT_TRUE(GetLocks().empty());
    const auto after = Notices();
    ASSERT_EQ(after.size(), 4u);
    EXPECT_EQ(after[3].status, ZRSDK_LOCK_EVENT_RELEASED);
    EXPECT_STREQ(after[3].message, "supervisor");
}

TEST_F(LockTest, RealClockExpiresLocksByItself) {
    UseRealPlatformClock(true);
    ZRSDK_PTZ_RESULT result{};
    ASSERT_EQ(Arrange(session, "ch-0005", ZRSDK_PTZ_LOCK, 1, result), ZRSDK_OK);
    ASSERT_TRUE(inbox.WaitFor(2));
    EXPECT_EQ(Notices().at(1).status, ZRSDK_LOCK_EVENT_EXPIRED);
    EXPECT_TRUE(GetLocks().empty());
    // Shifting the running clock works as on the manual one.
    const int64_t before = PlatformTime();
    AdvancePlatformClock(3600);
    EXPECT_GE(PlatformTime(), before + 3600);
    UseRealPlatformClock(false);
}

}  // namespace
