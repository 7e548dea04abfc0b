// The PTZ lock: the record the platform receives, the lock table after a
// grant, a refusal, a failure and a query, the automatic release on the
// host's manual clock, the timer following the table, and the lock-status
// notices of the server. (UnInit with the timer running: the lifecycle
// faults test; the notice's size checks: the event-routing test.)
#include <gtest/gtest.h>

#include "ptz_fixture.h"
#include "ptz_test_util.h"
#include "zrsdk/zrsdk.h"
#include "zrsdk/zrsdk_session.h"

namespace Kestrel {
namespace {

using kestrel_test::I32At;
using kestrel_test::TextAt;
using kestrel_test::ThreadKind;
using kestrel_test::ZeroFrom;
namespace control = zrsdk::control;

constexpr int64_t kStartMs = 1700000000000;  // a whole second
constexpr int64_t kStart = kStartMs / 1000;

class PtzLockTest : public kestrel_test::PtzFixture {
protected:
    // A second user holding the PTZ of a channel.
    int LockAsSupervisor(const std::string& code) {
        int session = 0;
        EXPECT_EQ(ZRSDK_Login("supervisor", "supervisor", &session), 0);
        ZRSDK_PTZ_LOCK_INFO info{};
        control::SetText(info.code, code);
        info.lockTime = 600;
        info.lock = ZRSDK_PTZ_LOCK;
        ZRSDK_PTZ_RESULT result{};
        EXPECT_EQ(ZRSDK_PtzArrangePtz(session, &info, &result, nullptr), 0);
        EXPECT_EQ(result.status, ZRSDK_PTZ_STATUS_GRANTED);
        return session;
    }

    std::shared_ptr<CPtzParam> LockResult(std::size_t n) { return WaitResult(CPtzParam::PTZ_EVENT_LOCK, n); }
};

TEST_F(PtzLockTest, GrantedLockIsSentWithTheUserAndRecordedWithItsTime) {
    UseManualClock(kStartMs);
    const int seq = Facade().SetLock("ch-0001", LOCK_PTZ, 12345, "menu.ptz", 30);
    auto result = LockResult(1);
    EXPECT_EQ(result->GetEventResult(), 0);
    EXPECT_EQ(result->GetSeq(), seq);
    EXPECT_EQ(result->GetCode(), "ch-0001");
    EXPECT_EQ(result->GetParam(), LOCK_PTZ);
    EXPECT_EQ(result->GetMsg(), "");  // text is read only on status 0
    EXPECT_EQ(m_observer.OfType(CPtzParam::PTZ_EVENT_LOCK).at(0).thread, ThreadKind::UI);

    auto calls = Calls("ZRSDK_PtzArrangePtz");
    ASSERT_EQ(calls.size(), 1u);
    const auto& in = calls[0].input;
    ASSERT_EQ(in.size(), 648u);
    EXPECT_EQ(TextAt(in, 0, 64), "ch-0001");
    EXPECT_EQ(I32At(in, 64), 30);
    EXPECT_EQ(I32At(in, 68), LOCK_PTZ);
    EXPECT_EQ(TextAt(in, 72, 64), "U-0001");     // login data at 696
    EXPECT_EQ(TextAt(in, 136, 256), "operator");  // login data at 1
    EXPECT_TRUE(ZeroFrom(in, 392, 648));
    EXPECT_STREQ(calls[0].OperateInfo().menuKey, "M-PTZ-01");
    EXPECT_EQ(control::CallCount("ZRSDK_GetUserLoginData"), 1u);

    EXPECT_TRUE(Facade().IsLock("ch-0001"));
    auto table = Worker().GetLockTable();
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table["ch-0001"].code, "ch-0001");
    EXPECT_EQ(table["ch-0001"].duration, 30);
    EXPECT_EQ(table["ch-0001"].startTime, kStart);
    EXPECT_TRUE(Worker().IsLockTimerRunning());
    ASSERT_EQ(control::GetLocks().size(), 1u);
    EXPECT_EQ(control::GetLocks()[0].holder, "operator");
}

// Released at the first tick more than lockTime seconds after the grant:
// first the expiry notice, then the release with the same sequence number.
TEST_F(PtzLockTest, ExpiredLockIsReleasedByTheTimer) {
    UseManualClock(kStartMs);
    Facade().SetLock("ch-0001", LOCK_PTZ, 0, "menu.ptz", 30);
    LockResult(1);
    AdvanceSeconds(30);
    WaitIdle();
    EXPECT_TRUE(Results(CPtzParam::PTZ_EVENT_LOCK_EXPIRED).empty());
    EXPECT_EQ(control::CallCount("ZRSDK_PtzArrangePtz"), 1u);

    AdvanceSeconds(1);
    auto expired = WaitResult(CPtzParam::PTZ_EVENT_LOCK_EXPIRED);
    auto released = LockResult(2);
    WaitIdle();
    EXPECT_EQ(expired->GetEventResult(), 0);
    EXPECT_EQ(expired->GetCode(), "ch-0001");
    EXPECT_EQ(released->GetEventResult(), 0);
    EXPECT_EQ(released->GetParam(), UNLOCK_PTZ);
    EXPECT_EQ(released->GetSeq(), expired->GetSeq());
    // The expiry notice comes before the release's result.
    auto all = m_observer.All();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1].param->GetEventType(), CPtzParam::PTZ_EVENT_LOCK_EXPIRED);
    EXPECT_EQ(all[2].param->GetEventType(), CPtzParam::PTZ_EVENT_LOCK);

    auto unlock = Calls("ZRSDK_PtzArrangePtz").at(1);
    EXPECT_EQ(TextAt(unlock.input, 0, 64), "ch-0001");
    EXPECT_EQ(I32At(unlock.input, 64), 0);
    EXPECT_EQ(I32At(unlock.input, 68), UNLOCK_PTZ);
    EXPECT_STREQ(unlock.OperateInfo().menuKey, "");
    EXPECT_FALSE(Facade().IsLock("ch-0001"));
    EXPECT_FALSE(Worker().IsLockTimerRunning());
    EXPECT_TRUE(control::GetLocks().empty());

    AdvanceSeconds(5);
    WaitIdle();
    EXPECT_EQ(Results(CPtzParam::PTZ_EVENT_LOCK_EXPIRED).size(), 1u);
}

// Each lock runs out at its own time; those that run out at the same tick
// are released in code order; a lock granted again runs out a whole lock
// time after the new grant, and a lock removed from the table never does.
TEST_F(PtzLockTest, LocksRunOutEachAtItsOwnTimeInCodeOrder) {
    UseManualClock(kStartMs);
    Facade().SetLock("ch-0005", LOCK_PTZ, 0, "menu.ptz", 10);
    Facade().SetLock("ch-0001", LOCK_PTZ, 0, "menu.ptz", 10);
    Facade().SetLock("ch-0003", LOCK_PTZ, 0, "menu.ptz", 15);
    LockResult(3);
    AdvanceSeconds(5);
    Facade().SetLock("ch-0003", LOCK_PTZ, 0, "menu.ptz", 0);  // again, at +5: runs out after +20
    LockResult(4);

    AdvanceSeconds(6);  // +11
    WaitResult(CPtzParam::PTZ_EVENT_LOCK_EXPIRED, 2);
    LockResult(6);
    WaitIdle();
    auto expired = Results(CPtzParam::PTZ_EVENT_LOCK_EXPIRED);
    ASSERT_EQ(expired.size(), 2u);
    EXPECT_EQ(expired[0]->GetCode(), "ch-0001");
    EXPECT_EQ(expired[1]->GetCode(), "ch-0005");
    EXPECT_EQ(Worker().GetLockTable().size(), 1u);

    AdvanceSeconds(9);  // +20
    WaitIdle();
    EXPECT_EQ(Results(CPtzParam::PTZ_EVENT_LOCK_EXPIRED).size(), 2u);
    AdvanceSeconds(1);  // +21
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_LOCK_EXPIRED, 3)->GetCode(), "ch-0003");
    LockResult(7);
    WaitIdle();
    EXPECT_TRUE(Worker().GetLockTable().empty());

    Facade().SetLock("ch-0001", LOCK_PTZ, 0, "menu.ptz", 5);
    LockResult(8);
    Facade().SetLock("ch-0005", LOCK_PTZ, 0, "menu.ptz", 5);
    LockResult(9);
    EXPECT_EQ(Facade().DelLockCamera("ch-0001"), 1);
    AdvanceSeconds(6);
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_LOCK_EXPIRED, 4)->GetCode(), "ch-0005");
    LockResult(10);
    WaitIdle();
    EXPECT_EQ(Results(CPtzParam::PTZ_EVENT_LOCK_EXPIRED).size(), 4u);
}

// Another user holds the PTZ: lock and release come back with status 0,
// both reported as -501 with the holder's name; the lock is forgotten, the
// refused release stays recorded (with duration 0) and is tried again.
TEST_F(PtzLockTest, RefusedLockAndReleaseFollowTheTable) {
    UseManualClock(kStartMs);
    const int other = LockAsSupervisor("ch-0003");
    Facade().SetLock("ch-0003", LOCK_PTZ, 0, "menu.ptz", 30);
    auto refused = LockResult(1);
    EXPECT_EQ(refused->GetEventResult(), -501);
    EXPECT_EQ(refused->GetMsg(), "supervisor");
    EXPECT_FALSE(Facade().IsLock("ch-0003"));
    EXPECT_FALSE(Worker().IsLockTimerRunning());

    const int querySeq = Facade().QueryLockState("ch-0003");
    auto query = LockResult(2);
    EXPECT_EQ(query->GetEventResult(), 0);  // a query is never refused
    EXPECT_EQ(query->GetSeq(), querySeq);
    EXPECT_EQ(query->GetParam(), QUERY_LOCK_STATE);
    EXPECT_EQ(query->GetMsg(), "supervisor");
    EXPECT_FALSE(Facade().IsLock("ch-0003"));
    auto queryCall = Calls("ZRSDK_PtzArrangePtz").back();
    EXPECT_EQ(I32At(queryCall.input, 68), QUERY_LOCK_STATE);
    EXPECT_EQ(I32At(queryCall.input, 64), 0);

    Facade().SetLock("ch-0003", UNLOCK_PTZ, 0, "menu.ptz", 0);
    EXPECT_EQ(LockResult(3)->GetEventResult(), -501);
    ASSERT_TRUE(Facade().IsLock("ch-0003"));
    EXPECT_EQ(Worker().GetLockTable()["ch-0003"].duration, 0);
    EXPECT_TRUE(Worker().IsLockTimerRunning());

    AdvanceSeconds(1);
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_LOCK_EXPIRED)->GetCode(), "ch-0003");
    EXPECT_EQ(LockResult(4)->GetEventResult(), -501);
    WaitIdle();
    EXPECT_TRUE(Facade().IsLock("ch-0003"));
    EXPECT_EQ(control::GetLocks().at(0).holder, "supervisor");

    EXPECT_EQ(Facade().DelLockCamera("ch-0003"), 1);
    EXPECT_FALSE(Worker().IsLockTimerRunning());
    ZRSDK_Logout(other);
}

// Status 2 is neither a grant nor a refusal: the table follows "not 0" (a
// lock is recorded, a release forgotten), the result "not 1" (-501).
TEST_F(PtzLockTest, AnswerWithStatusTwoIsRecordedAsHeldAndReportedRefused) {
    UseManualClock(kStartMs);
    control::AnswerLockStatus(2, 1);
    Facade().SetLock("ch-0001", LOCK_PTZ, 0, "menu.ptz", 30);
    auto locked = LockResult(1);
    EXPECT_EQ(locked->GetEventResult(), -501);
    EXPECT_EQ(locked->GetMsg(), "");
    ASSERT_TRUE(Facade().IsLock("ch-0001"));
    EXPECT_EQ(Worker().GetLockTable()["ch-0001"].duration, 30);
    EXPECT_TRUE(Worker().IsLockTimerRunning());

    control::AnswerLockStatus(2, 1);
    Facade().SetLock("ch-0001", UNLOCK_PTZ, 0, "menu.ptz", 0);
    EXPECT_EQ(LockResult(2)->GetEventResult(), -501);
    WaitIdle();
    EXPECT_FALSE(Facade().IsLock("ch-0001"));
    EXPECT_FALSE(Worker().IsLockTimerRunning());
}

// A failed lock forgets the channel; a failed release keeps it recorded with
// its clock restarted, so the timer tries again a lock time later.
TEST_F(PtzLockTest, FailedCallsFollowTheTableAndAFailedReleaseIsRetried) {
    UseManualClock(kStartMs);
    Facade().SetLock("ch-0001", LOCK_PTZ, 0, "menu.ptz", 30);
    EXPECT_EQ(LockResult(1)->GetEventResult(), 0);

    control::FailNextCalls("ZRSDK_PtzArrangePtz", 1, 4711);
    AdvanceSeconds(31);
    WaitResult(CPtzParam::PTZ_EVENT_LOCK_EXPIRED);
    auto failed = LockResult(2);
    WaitIdle();
    EXPECT_EQ(failed->GetEventResult(), 4711);
    EXPECT_EQ(failed->GetParam(), UNLOCK_PTZ);
    ASSERT_TRUE(Facade().IsLock("ch-0001"));
    EXPECT_EQ(Worker().GetLockTable()["ch-0001"].startTime, kStart + 31);
    EXPECT_EQ(Worker().GetLockTable()["ch-0001"].duration, 30);

    AdvanceSeconds(30);
    WaitIdle();
    EXPECT_EQ(Results(CPtzParam::PTZ_EVENT_LOCK_EXPIRED).size(), 1u);
    AdvanceSeconds(1);
    WaitResult(CPtzParam::PTZ_EVENT_LOCK_EXPIRED, 2);
    EXPECT_EQ(LockResult(3)->GetEventResult(), 0);
    WaitIdle();
    EXPECT_FALSE(Facade().IsLock("ch-0001"));
    EXPECT_FALSE(Worker().IsLockTimerRunning());

    // A lock that fails on a recorded channel removes it.
    Facade().SetLock("ch-0005", LOCK_PTZ, 0, "menu.ptz", 60);
    LockResult(4);
    ASSERT_TRUE(Facade().IsLock("ch-0005"));
    control::FailNextCalls("ZRSDK_PtzArrangePtz", 1, 4712);
    Facade().SetLock("ch-0005", LOCK_PTZ, 0, "menu.ptz", 60);
    EXPECT_EQ(LockResult(5)->GetEventResult(), 4712);
    EXPECT_FALSE(Facade().IsLock("ch-0005"));
    EXPECT_FALSE(Worker().IsLockTimerRunning());

    // A release of an unrecorded channel that fails records it.
    control::FailNextCalls("ZRSDK_PtzArrangePtz", 1, 4713);
    Facade().SetLock("ch-0002", UNLOCK_PTZ, 0, "menu.ptz", 0);
    EXPECT_EQ(LockResult(6)->GetEventResult(), 4713);
    EXPECT_TRUE(Facade().IsLock("ch-0002"));
    EXPECT_EQ(Worker().GetLockTable()["ch-0002"].duration, 0);
}

// The timer runs exactly while something is recorded, and a tick with an
// id other than the running timer's does nothing.
TEST_F(PtzLockTest, TimerFollowsTheTableAndIgnoresOtherIds) {
    UseManualClock(kStartMs);
    EXPECT_EQ(Facade().DelLockCamera("ch-0001"), 0);
    Facade().SetLock("ch-0001", LOCK_PTZ, 0, "menu.ptz", 0);
    Facade().SetLock("ch-0005", LOCK_PTZ, 0, "menu.ptz", 100);
    LockResult(2);

    // Both expired by the clock, without a tick: the host reschedules timers
    // when the clock is set.
    UseManualClock(kStartMs + 500000);
    for (unsigned int id : {0u, 0xFFFFFFFFu, 123456u}) Worker().OnTimer(id);
    WaitIdle();
    EXPECT_TRUE(Results(CPtzParam::PTZ_EVENT_LOCK_EXPIRED).empty());

    EXPECT_EQ(Facade().DelLockCamera("ch-0001"), 1);
    EXPECT_TRUE(Worker().IsLockTimerRunning());
    EXPECT_EQ(Facade().DelLockCamera("ch-0005"), 1);
    EXPECT_FALSE(Worker().IsLockTimerRunning());
    AdvanceSeconds(3);
    WaitIdle();
    EXPECT_TRUE(Results(CPtzParam::PTZ_EVENT_LOCK_EXPIRED).empty());
}

ZRSDK_LOCKSTATUS_CHANGED_NOTIFY MakeNotice() {
    ZRSDK_LOCKSTATUS_CHANGED_NOTIFY notice{};
    notice.status = ZRSDK_LOCK_EVENT_LOCKED;
    control::SetText(notice.code, "ch-0003");
    control::SetText(notice.message, "locked by supervisor");
    std::memset(notice.info, 'i', sizeof(notice.info));  // no NUL: read to the field's end
    return notice;
}

// Through the login connection: the plug-in's own PTZ observers get the
// server's notice, decoded field by field, on a pool thread, for a pushed
// record and for the platform's own notice of a lock taken by this client;
// the notice leaves the lock table alone.
TEST_F(PtzLockTest, ServerNoticesReachThePluginsObserversThroughTheLoginConnection) {
    ASSERT_TRUE(control::Push(m_env->SessionId(), control::MakeLockStatus(MakeNotice())));
    ASSERT_TRUE(control::PushLoginEvent(m_env->SessionId(), 40, 0, "short", 6));
    ASSERT_TRUE(m_ptzObserver.WaitFor(1, CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED));
    Facade().SetLock("ch-0001", LOCK_PTZ, 0, "menu.ptz", 30);
    LockResult(1);
    ASSERT_TRUE(m_ptzObserver.WaitFor(2, CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED));
    ASSERT_TRUE(control::WaitEventsDelivered());
    WaitIdle();
    auto notices = m_ptzObserver.OfType(CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED);
    ASSERT_EQ(notices.size(), 2u);
    for (const auto& notice : notices) EXPECT_EQ(notice.thread, ThreadKind::Pool);
    const auto pushed = notices[0].As<CPtzParam>();
    EXPECT_EQ(pushed->GetEventResult(), 0);
    EXPECT_EQ(pushed->GetCode(), "ch-0003");
    EXPECT_EQ(pushed->GetMsg(), "locked by supervisor");
    EXPECT_EQ(pushed->GetInfo(), std::string(20, 'i'));
    EXPECT_EQ(pushed->GetParam(), ZRSDK_LOCK_EVENT_LOCKED);
    EXPECT_FALSE(Ptz()->IsLock("ch-0003"));
    EXPECT_EQ(notices[1].As<CPtzParam>()->GetCode(), "ch-0001");
    EXPECT_EQ(notices[1].As<CPtzParam>()->GetParam(), ZRSDK_LOCK_EVENT_LOCKED);
    // The test's own worker hears nothing of the login connection.
    EXPECT_TRUE(Results(CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED).empty());
}

}  // namespace
}  // namespace Kestrel
