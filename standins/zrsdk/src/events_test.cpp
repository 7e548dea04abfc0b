#include "test_platform_fixture.h"

namespace {

using namespace zrsdk::control;
using zrsdk_test::PlatformTest;

class EventsTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ASSERT_EQ(ZRSDK_SetLoginEventCallback(session, zrsdk_test::EventInbox::Receive, &inbox), ZRSDK_OK);
    }
    zrsdk_test::EventInbox inbox;
};

TEST_F(EventsTest, PushesAreBoundedAndNeedALiveSession) {
    ZRSDK_LOCKSTATUS_CHANGED_NOTIFY lock{};
    ASSERT_TRUE(PushRepeated(session, MakeLockStatus(lock), 25, 0));
    EXPECT_FALSE(PushRepeated(session, MakeLockStatus(lock), kMaxStreamEvents + 1, 0));
    EXPECT_FALSE(Push(session + 777, MakeLockStatus(lock)));
    EXPECT_EQ(inbox.Delivered(), 25u);
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
    EXPECT_LE(inbox.Delivered(), 1u);
}

}  // namespace
