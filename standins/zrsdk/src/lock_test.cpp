#include <cstring>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "test_platform_fixture.h"

namespace {

using namespace zrsdk::control;
using zrsdk_test::PlatformTest;

struct LockEvents {
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<ZRSDK_LOCKSTATUS_CHANGED_NOTIFY> received;
};

void CollectLockEvents(int type, int result, void* data, unsigned int size, void* user) {
    // A notice of another size is not counted: the platform sends whole records.
    if (type != EVENT_PTZ_LOCK_STATUS || result != 0 || data == nullptr ||
        size != sizeof(ZRSDK_LOCKSTATUS_CHANGED_NOTIFY)) {
        return;
    }
    auto* events = static_cast<LockEvents*>(user);
    ZRSDK_LOCKSTATUS_CHANGED_NOTIFY notify{};
    std::memcpy(&notify, data, sizeof(notify));
    std::lock_guard<std::mutex> lock(events->mutex);
    events->received.push_back(notify);
    events->arrived.notify_all();
}

class LockTest : public PlatformTest {
protected:
    // op ZRSDK_PTZ_LOCK / UNLOCK / QUERY_LOCK on a channel; returns the SDK code.
    int Arrange(int sessionId, const char* code, int lockOp, int lockTime,
                ZRSDK_PTZ_RESULT& result) {
        ZRSDK_PTZ_LOCK_INFO info{};
        SetText(info.code, code);
        info.lock = lockOp;
        info.lockTime = lockTime;
        result = ZRSDK_PTZ_RESULT{};
        return ZRSDK_PtzArrangePtz(sessionId, &info, &result, &op);
    }

    std::vector<ZRSDK_LOCKSTATUS_CHANGED_NOTIFY> Received(LockEvents& events) {
        EXPECT_TRUE(WaitEventsDelivered());
        std::lock_guard<std::mutex> lock(events.mutex);
        return events.received;
    }
};

// (That another session hears of a lock, and a refusal names the holder:
// the example host's demo.)
TEST_F(LockTest, PlatformClockExpiresLocksAndTheHoldersLastLogoutReleasesThem) {
    const int other = Login("supervisor");
    LockEvents mine;
    ASSERT_EQ(ZRSDK_SetLoginEventCallback(session, CollectLockEvents, &mine), ZRSDK_OK);

    ZRSDK_PTZ_RESULT result{};
    ASSERT_EQ(Arrange(session, "ch-0003", ZRSDK_PTZ_LOCK, 30, result), ZRSDK_OK);
    AdvancePlatformClock(29);
    ASSERT_EQ(Arrange(other, "ch-0003", ZRSDK_PTZ_LOCK, 10, result), ZRSDK_OK);
    EXPECT_EQ(result.status, ZRSDK_PTZ_STATUS_REFUSED);
    EXPECT_EQ(result.answer, 1) << "the seconds left";
    EXPECT_EQ(Received(mine).size(), 1u) << "no expiry before the time ran out";
    AdvancePlatformClock(1);
    EXPECT_TRUE(GetLocks().empty());
    const auto received = Received(mine);
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
    const auto after = Received(mine);
    ASSERT_EQ(after.size(), 4u);
    EXPECT_EQ(after[3].status, ZRSDK_LOCK_EVENT_RELEASED);
    EXPECT_STREQ(after[3].message, "supervisor");
}

TEST_F(LockTest, RealClockExpiresLocksByItself) {
    LockEvents events;
    ASSERT_EQ(ZRSDK_SetLoginEventCallback(session, CollectLockEvents, &events), ZRSDK_OK);
    UseRealPlatformClock(true);
    ZRSDK_PTZ_RESULT result{};
    ASSERT_EQ(Arrange(session, "ch-0005", ZRSDK_PTZ_LOCK, 1, result), ZRSDK_OK);
    {
        std::unique_lock<std::mutex> lock(events.mutex);
        ASSERT_TRUE(events.arrived.wait_for(lock, std::chrono::seconds(20),
                                            [&] { return events.received.size() >= 2; }));
        EXPECT_EQ(events.received[1].status, ZRSDK_LOCK_EVENT_EXPIRED);
    }
    EXPECT_TRUE(GetLocks().empty());
    // Shifting the running clock works as on the manual one.
    const int64_t before = PlatformTime();
    AdvancePlatformClock(3600);
    EXPECT_GE(PlatformTime(), before + 3600);
    UseRealPlatformClock(false);
}

}  // namespace
