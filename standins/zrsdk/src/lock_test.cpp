#include <algorithm>
#include <cstring>
#include <vector>

#include "test_platform_fixture.h"

namespace {

using namespace zrsdk::control;

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
