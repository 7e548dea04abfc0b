// The PTZ lock: the record the platform receives, the lock table after a
// grant, a refusal, a failure and a query, the automatic release on the
// host's manual clock, the timer following the table, and the lock-status
// notices of the server. (UnInit with the timer running: the lifecycle
// faults test; the notice's size checks: the event-routing test.)
#include <tuple>

#include <gtest/gtest.h>

#include "ptz_fixture.h"
#include "ptz_test_util.h"
#include "zrsdk/zrsdk.h"
#include "zrsdk/zrsdk_session.h"

namespace Kestrel {
namespace {

using kestrel_test::IsAnswer;
using kestrel_test::IsRecord;
using kestrel_test::ThreadKind;
namespace control = zrsdk::control;

constexpr int64_t kStartMs = 1700000000000;  // a whole second
constexpr int64_t kStart = kStartMs / 1000;
constexpr int kExpired = CPtzParam::PTZ_EVENT_LOCK_EXPIRED;

class PtzLockTest : public kestrel_test::PtzFixture {
protected:
    using Entry = std::tuple<std::string, int64_t, int32_t>;  // code, start, duration
    using Codes = std::vector<std::string>;

    void SetUp() override {
        PtzFixture::SetUp();
        UseManualClock(kStartMs);
    }

    // A second user holding the PTZ of a channel.
    int LockAsSupervisor(const std::string& code) {
        int session = 0;
        EXPECT_EQ(ZRSDK_Login("supervisor", "supervisor", &session), 0);
        ZRSDK_PTZ_LOCK_INFO info{{}, 600, ZRSDK_PTZ_LOCK, {}, {}, {}};  // lock time and lock
        control::SetText(info.code, code);
        ZRSDK_PTZ_RESULT result{};
        EXPECT_EQ(ZRSDK_PtzArrangePtz(session, &info, &result, nullptr), 0);
        EXPECT_EQ(result.status, ZRSDK_PTZ_STATUS_GRANTED);
        return session;
    }

    std::shared_ptr<CPtzParam> LockResult(std::size_t n) { return WaitResult(CPtzParam::PTZ_EVENT_LOCK, n); }
    // Locks or releases a channel and waits for the nth lock result.
    std::shared_ptr<CPtzParam> Lock(const std::string& code, Lock_e lock, int seconds, std::size_t n) {
        Facade().SetLock(code, lock, 0, "menu.ptz", seconds);
        return LockResult(n);
    }
    // The codes of every expiry notice so far, once the clock has moved and
    // what its ticks started has run.
    Codes ExpiredAfter(int seconds) {
        AdvanceSeconds(seconds);
        WaitIdle();
        Codes codes;
        for (const auto& notice : m_observer.OfType(kExpired)) codes.push_back(notice.As<CPtzParam>()->GetCode());
        return codes;
    }
    // The lock table; each entry must be known to IsLock, and the timer must
    // run exactly while something is recorded.
    std::vector<Entry> Table() {
        std::vector<Entry> entries;
        for (const auto& entry : Worker().GetLockTable()) {
            EXPECT_EQ(entry.first, entry.second.code);
            EXPECT_TRUE(Facade().IsLock(entry.first));
            entries.emplace_back(entry.second.code, entry.second.startTime, entry.second.duration);
        }
        EXPECT_EQ(Worker().IsLockTimerRunning(), !entries.empty());
        return entries;
    }
};

TEST_F(PtzLockTest, GrantedLockIsSentWithTheUserAndRecordedWithItsTime) {
    const int seq = Facade().SetLock("ch-0001", LOCK_PTZ, 12345, "menu.ptz", 30);
    EXPECT_TRUE(IsAnswer(LockResult(1), {0, seq, "ch-0001", LOCK_PTZ}));  // text is read only on status 0
    EXPECT_EQ(m_observer.OfType(CPtzParam::PTZ_EVENT_LOCK).at(0).thread, ThreadKind::UI);

    auto calls = Calls("ZRSDK_PtzArrangePtz");
    ASSERT_EQ(calls.size(), 1u);
    // The user's code and name from the login data.
    EXPECT_TRUE(IsRecord(calls[0].input, 648,
                         {{0, "ch-0001"}, {64, 30}, {68, LOCK_PTZ}, {72, "U-0001"}, {136, "operator"}}));
    EXPECT_STREQ(calls[0].OperateInfo().menuKey, "M-PTZ-01");
    EXPECT_EQ(control::CallCount("ZRSDK_GetUserLoginData"), 1u);

    EXPECT_EQ(Table(), (std::vector<Entry>{{"ch-0001", kStart, 30}}));
    ASSERT_EQ(control::GetLocks().size(), 1u);
    EXPECT_EQ(control::GetLocks()[0].holder, "operator");
}

// Released at the first tick more than lockTime seconds after the grant:
// first the expiry notice, then the release with the same sequence number.
TEST_F(PtzLockTest, ExpiredLockIsReleasedByTheTimer) {
    Lock("ch-0001", LOCK_PTZ, 30, 1);
    EXPECT_TRUE(ExpiredAfter(30).empty());
    EXPECT_EQ(control::CallCount("ZRSDK_PtzArrangePtz"), 1u);

    EXPECT_EQ(ExpiredAfter(1), Codes{"ch-0001"});
    auto expired = WaitResult(kExpired);
    auto released = LockResult(2);
    EXPECT_TRUE(IsAnswer(expired, {0, released->GetSeq(), "ch-0001"}));
    EXPECT_TRUE(IsAnswer(released, {0, expired->GetSeq(), "ch-0001", UNLOCK_PTZ}));
    // The expiry notice comes before the release's result.
    std::vector<int> types;
    for (const auto& received : m_observer.All()) types.push_back(received.param->GetEventType());
    EXPECT_EQ(types, (std::vector<int>{CPtzParam::PTZ_EVENT_LOCK, kExpired, CPtzParam::PTZ_EVENT_LOCK}));

    auto unlock = Calls("ZRSDK_PtzArrangePtz").at(1);
    EXPECT_TRUE(IsRecord(unlock.input, 648, {{0, "ch-0001"}, {68, UNLOCK_PTZ}, {72, "U-0001"}, {136, "operator"}}));
    EXPECT_STREQ(unlock.OperateInfo().menuKey, "");
    EXPECT_TRUE(Table().empty());
    EXPECT_TRUE(control::GetLocks().empty());
    EXPECT_EQ(ExpiredAfter(5), Codes{"ch-0001"});
}

// Each lock runs out at its own time; those that run out at the same tick
// are released in code order; a lock granted again runs out a whole lock
// time after the new grant, and a lock removed from the table never does.
TEST_F(PtzLockTest, LocksRunOutEachAtItsOwnTimeInCodeOrder) {
    Facade().SetLock("ch-0005", LOCK_PTZ, 0, "menu.ptz", 10);
    Facade().SetLock("ch-0001", LOCK_PTZ, 0, "menu.ptz", 10);
    Lock("ch-0003", LOCK_PTZ, 15, 3);
    AdvanceSeconds(5);
    Lock("ch-0003", LOCK_PTZ, 0, 4);  // again, at +5: runs out after +20

    EXPECT_EQ(ExpiredAfter(6), (Codes{"ch-0001", "ch-0005"}));  // +11
    EXPECT_EQ(Table(), (std::vector<Entry>{{"ch-0003", kStart + 5, 15}}));
    EXPECT_EQ(ExpiredAfter(9), (Codes{"ch-0001", "ch-0005"}));                // +20
    EXPECT_EQ(ExpiredAfter(1), (Codes{"ch-0001", "ch-0005", "ch-0003"}));  // +21
    EXPECT_EQ(control::CallCount("ZRSDK_PtzArrangePtz"), 7u);  // four locks, three releases
    EXPECT_TRUE(Table().empty());

    Lock("ch-0001", LOCK_PTZ, 5, 8);
    Lock("ch-0005", LOCK_PTZ, 5, 9);
    EXPECT_EQ(Facade().DelLockCamera("ch-0001"), 1);
    EXPECT_EQ(ExpiredAfter(6), (Codes{"ch-0001", "ch-0005", "ch-0003", "ch-0005"}));
}

// Another user holds the PTZ: lock and release come back with status 0,
// both reported as -501 with the holder's name; the lock is forgotten, the
// refused release stays recorded (with duration 0) and is tried again.
TEST_F(PtzLockTest, RefusedLockAndReleaseFollowTheTable) {
    const int other = LockAsSupervisor("ch-0003");
    const int seq = Facade().SetLock("ch-0003", LOCK_PTZ, 0, "menu.ptz", 30);
    EXPECT_TRUE(IsAnswer(LockResult(1), {-501, seq, "ch-0003", LOCK_PTZ, false, "supervisor"}));
    EXPECT_TRUE(Table().empty());

    const int querySeq = Facade().QueryLockState("ch-0003");
    // A query is never refused.
    EXPECT_TRUE(IsAnswer(LockResult(2), {0, querySeq, "ch-0003", QUERY_LOCK_STATE, false, "supervisor"}));
    EXPECT_FALSE(Facade().IsLock("ch-0003"));
    EXPECT_TRUE(IsRecord(Calls("ZRSDK_PtzArrangePtz").back().input, 648,
                         {{0, "ch-0003"}, {68, QUERY_LOCK_STATE}, {72, "U-0001"}, {136, "operator"}}));

    EXPECT_EQ(Lock("ch-0003", UNLOCK_PTZ, 0, 3)->GetEventResult(), -501);
    EXPECT_EQ(Table(), (std::vector<Entry>{{"ch-0003", kStart, 0}}));

    EXPECT_EQ(ExpiredAfter(1), Codes{"ch-0003"});
    EXPECT_EQ(LockResult(4)->GetEventResult(), -501);
    EXPECT_EQ(Table(), (std::vector<Entry>{{"ch-0003", kStart + 1, 0}}));
    EXPECT_EQ(control::GetLocks().at(0).holder, "supervisor");

    EXPECT_EQ(Facade().DelLockCamera("ch-0003"), 1);
    EXPECT_TRUE(Table().empty());
    ZRSDK_Logout(other);
}

// Status 2 is neither a grant nor a refusal: the table follows "not 0" (a
// lock is recorded, a release forgotten), the result "not 1" (-501).
TEST_F(PtzLockTest, AnswerWithStatusTwoIsRecordedAsHeldAndReportedRefused) {
    control::AnswerLockStatus(2, 1);
    auto locked = Lock("ch-0001", LOCK_PTZ, 30, 1);
    EXPECT_TRUE(IsAnswer(locked, {-501, locked->GetSeq(), "ch-0001", LOCK_PTZ}));
    EXPECT_EQ(Table(), (std::vector<Entry>{{"ch-0001", kStart, 30}}));

    control::AnswerLockStatus(2, 1);
    EXPECT_EQ(Lock("ch-0001", UNLOCK_PTZ, 0, 2)->GetEventResult(), -501);
    WaitIdle();
    EXPECT_FALSE(Facade().IsLock("ch-0001"));
    EXPECT_TRUE(Table().empty());
}

// A failed lock forgets the channel; a failed release keeps it recorded with
// its clock restarted, so the timer tries again a lock time later.
TEST_F(PtzLockTest, FailedCallsFollowTheTableAndAFailedReleaseIsRetried) {
    EXPECT_EQ(Lock("ch-0001", LOCK_PTZ, 30, 1)->GetEventResult(), 0);
    control::FailNextCalls("ZRSDK_PtzArrangePtz", 1, 4711);
    EXPECT_EQ(ExpiredAfter(31), Codes{"ch-0001"});
    auto failed = LockResult(2);
    EXPECT_TRUE(IsAnswer(failed, {4711, failed->GetSeq(), "ch-0001", UNLOCK_PTZ}));
    EXPECT_EQ(Table(), (std::vector<Entry>{{"ch-0001", kStart + 31, 30}}));

    EXPECT_EQ(ExpiredAfter(30).size(), 1u);
    EXPECT_EQ(ExpiredAfter(1).size(), 2u);
    EXPECT_EQ(LockResult(3)->GetEventResult(), 0);
    EXPECT_TRUE(Table().empty());

    // A lock that fails on a recorded channel removes it.
    Lock("ch-0005", LOCK_PTZ, 60, 4);
    ASSERT_EQ(Table(), (std::vector<Entry>{{"ch-0005", kStart + 62, 60}}));
    control::FailNextCalls("ZRSDK_PtzArrangePtz", 1, 4712);
    EXPECT_EQ(Lock("ch-0005", LOCK_PTZ, 60, 5)->GetEventResult(), 4712);
    EXPECT_FALSE(Facade().IsLock("ch-0005"));
    EXPECT_TRUE(Table().empty());

    // A release of an unrecorded channel that fails records it.
    control::FailNextCalls("ZRSDK_PtzArrangePtz", 1, 4713);
    EXPECT_EQ(Lock("ch-0002", UNLOCK_PTZ, 0, 6)->GetEventResult(), 4713);
    EXPECT_EQ(Table(), (std::vector<Entry>{{"ch-0002", kStart + 62, 0}}));
}

// The timer runs exactly while something is recorded, and a tick with an
// id other than the running timer's does nothing.
TEST_F(PtzLockTest, TimerFollowsTheTableAndIgnoresOtherIds) {
    EXPECT_EQ(Facade().DelLockCamera("ch-0001"), 0);
    Facade().SetLock("ch-0001", LOCK_PTZ, 0, "menu.ptz", 0);
    Lock("ch-0005", LOCK_PTZ, 100, 2);

    // Both expired by the clock, without a tick: the host reschedules timers
    // when the clock is set.
    UseManualClock(kStartMs + 500000);
    for (unsigned int id : {0u, 0xFFFFFFFFu, 123456u}) Worker().OnTimer(id);
    EXPECT_TRUE(ExpiredAfter(0).empty());

    EXPECT_EQ(Facade().DelLockCamera("ch-0001"), 1);
    EXPECT_EQ(Table(), (std::vector<Entry>{{"ch-0005", kStart, 100}}));
    EXPECT_EQ(Facade().DelLockCamera("ch-0005"), 1);
    EXPECT_TRUE(Table().empty());
    EXPECT_TRUE(ExpiredAfter(3).empty());
}

// Through the login connection: the plug-in's own PTZ observers get the
// server's notice, decoded field by field, on a pool thread, for a pushed
// record and for the platform's own notice of a lock taken by this client;
// the notice leaves the lock table alone.
TEST_F(PtzLockTest, ServerNoticesReachThePluginsObserversThroughTheLoginConnection) {
    ZRSDK_LOCKSTATUS_CHANGED_NOTIFY record{};
    record.status = ZRSDK_LOCK_EVENT_LOCKED;
    control::SetText(record.code, "ch-0003");
    control::SetText(record.message, "locked by supervisor");
    std::memset(record.info, 'i', sizeof(record.info));  // no NUL: read to the field's end
    ASSERT_TRUE(control::Push(m_env->SessionId(), control::MakeLockStatus(record)));
    ASSERT_TRUE(control::PushLoginEvent(m_env->SessionId(), 40, 0, "short", 6));
    ASSERT_TRUE(m_ptzObserver.WaitFor(1, CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED));
    Lock("ch-0001", LOCK_PTZ, 30, 1);
    ASSERT_TRUE(m_ptzObserver.WaitFor(2, CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED));
    ASSERT_TRUE(control::WaitEventsDelivered());
    WaitIdle();
    auto notices = m_ptzObserver.OfType(CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED);
    ASSERT_EQ(notices.size(), 2u);
    for (const auto& notice : notices) EXPECT_EQ(notice.thread, ThreadKind::Pool);
    EXPECT_TRUE(IsAnswer(notices[0].As<CPtzParam>(), {0, 0, "ch-0003", ZRSDK_LOCK_EVENT_LOCKED, false,
                                                      "locked by supervisor", 0xFFFFFFFFu, std::string(20, 'i')}));
    EXPECT_FALSE(Ptz()->IsLock("ch-0003"));
    EXPECT_EQ(notices[1].As<CPtzParam>()->GetCode(), "ch-0001");
    EXPECT_EQ(notices[1].As<CPtzParam>()->GetParam(), ZRSDK_LOCK_EVENT_LOCKED);
    // The test's own worker hears nothing of the login connection.
    EXPECT_TRUE(m_observer.OfType(CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED).empty());
}

}  // namespace
}  // namespace Kestrel
