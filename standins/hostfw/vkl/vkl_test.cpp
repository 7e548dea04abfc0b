// The vkl pieces: the log, the bounded string functions, the re-entrant
// mutex, and the timers with the host's clock.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../../common/test_gate.h"
#include "hostfw/vkl_host.h"
#include "vkl/log.h"
#include "vkl/mutex.h"
#include "vkl/str.h"
#include "vkl/time.h"
#include "vkl/timer.h"

namespace {

using standins_test::Gate;
using standins_test::kPatience;
using vkl::DStr;

struct CapturedLog {
    std::mutex mutex;
    std::vector<vkl::Host::LogRecord> records;

    CapturedLog() {
        vkl::Host::SetLogSink([this](const vkl::Host::LogRecord& r) {
            std::lock_guard<std::mutex> lock(mutex);
            records.push_back(r);
        });
    }
    ~CapturedLog() {
        vkl::Host::SetLogSink(nullptr);
        vkl::Host::SetLogLevel(vkl::LOG_LEVEL_TRACE);
    }
};

TEST(DPrintLog, SinkGetsTheLinesAtOrAboveTheLevelNullPiecesAsEmpty) {
    CapturedLog log;
    const std::string longText(10000, 'x');
    vkl::DPrintLog::instance()->Log(nullptr, 1, nullptr, nullptr, 6, "%s", longText.c_str());
    vkl::DPrintLog::instance()->Log("u", 2, "f", "t", 6, nullptr);
    vkl::Host::SetLogLevel(vkl::LOG_LEVEL_WARN);
    vkl::DPrintLog::instance()->Log("a", 1, "f", "", vkl::LOG_LEVEL_INFO, "dropped");
    vkl::DPrintLog::instance()->Log("a", 2, "f", "", vkl::LOG_LEVEL_WARN, "kept");
    std::vector<std::string> texts;
    for (const auto& record : log.records) texts.push_back(record.text);
    ASSERT_EQ(texts, (std::vector<std::string>{longText, "", "kept"}));
    EXPECT_EQ(log.records[0].source, "");
}

TEST(DPrintLog, DefaultSinkWritesOneLineToTheLogFile) {
    // A name of its own, so that test runs at the same time keep apart.
    const std::string path = ::testing::TempDir() + "vkl_log_" + std::to_string(std::random_device{}()) + ".log";
    std::remove(path.c_str());
    ASSERT_TRUE(vkl::Host::SetLogFile(path));
    vkl::DPrintLog::instance()->Log("DeviceCommunicate", 7, "Kestrel::CDeviceCommunicate::Handle", "tg",
                                    vkl::LOG_LEVEL_ERROR, "failed %d", 3);
    ASSERT_TRUE(vkl::Host::SetLogFile(""));
    EXPECT_FALSE(vkl::Host::SetLogFile("/nonexistent-dir/x.log"));

    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), "ERROR DeviceCommunicate:7 Kestrel::CDeviceCommunicate::Handle [tg] failed 3\n");
    std::remove(path.c_str());
}

// At the bounds: overflow, empty and null arguments, sizes 0 and 1.
TEST(DStr, AtoiClampsAndTakesNullAsZero) {
    EXPECT_EQ(DStr::atoi("  -45xyz"), -45);
    EXPECT_EQ(DStr::atoi("abc"), 0);
    EXPECT_EQ(DStr::atoi(nullptr), 0);
    EXPECT_EQ(DStr::atoi("99999999999999999999"), INT_MAX);
    EXPECT_EQ(DStr::atoi("-99999999999"), INT_MIN);
}

TEST(DStr, CopiesStayInsideTheBufferAndTerminate) {
    char buf[8];
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(DStr::sprintf_x(buf, 4, "%d", 123456), 3);
    EXPECT_STREQ(buf, "123");
    EXPECT_EQ(buf[4], '#');  // nothing written past size
    EXPECT_EQ(DStr::sprintf_x(buf, 1, "%s", "xyz"), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(DStr::sprintf_x(buf, 0, "%s", "xyz"), -1);
    EXPECT_EQ(DStr::sprintf_x(nullptr, 8, "%s", "xyz"), -1);
    EXPECT_EQ(DStr::sprintf_x(buf, sizeof buf, nullptr), 0);

    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(DStr::strcpy_x(buf, 5, "abcdefgh"), buf);
    EXPECT_STREQ(buf, "abcd");
    EXPECT_EQ(buf[5], '#');
    DStr::strcpy_x(buf, sizeof buf, nullptr);
    EXPECT_STREQ(buf, "");
    // A source without a terminator inside the bound is never read past it.
    const char unterminated[3] = {'p', 'q', 'r'};
    DStr::strcpy_x(buf, 3, unterminated);
    EXPECT_STREQ(buf, "pq");
    EXPECT_EQ(DStr::strcpy_x(buf, 0, "abc"), buf);
    EXPECT_EQ(buf[0], 'p');
    EXPECT_EQ(DStr::strcpy_x(nullptr, 4, "abc"), nullptr);
}

bool TryLockFromAnotherThread(vkl::DMutex& m) {
    bool locked = false;
    std::thread t([&] {
        locked = m.TryLock();
        if (locked) m.Unlock();
    });
    t.join();
    return locked;
}

TEST(DMutex, IsReEntrantAndHeldUntilTheLastUnlock) {
    vkl::DMutex m;
    {
        vkl::DMutexGuard outer(m);
        vkl::DMutexGuard inner(m);  // would deadlock on a plain mutex
        EXPECT_TRUE(m.TryLock());
        m.Unlock();
        EXPECT_FALSE(TryLockFromAnotherThread(m));
    }
    EXPECT_TRUE(TryLockFromAnotherThread(m));
}

constexpr unsigned int kNoTimer = 0xFFFFFFFFu;

struct Tick {
    unsigned int id;
    int64_t time;
    std::thread::id thread;
};

// Records every tick; tests wait for a number of ticks on a condition.
class RecordingHandler : public vkl::DTimerHandler {
public:
    void OnTimerEvent(unsigned int timerId) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ticks.push_back({timerId, vkl::DTime::GetTime(), std::this_thread::get_id()});
        m_changed.notify_all();
    }
    bool WaitFor(std::size_t count) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, kPatience, [&] { return m_ticks.size() >= count; });
    }
    std::vector<Tick> Ticks() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_ticks;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Tick> m_ticks;
};

struct ManualClock {
    explicit ManualClock(int64_t start) { vkl::Host::UseManualClock(start); }
    ~ManualClock() { vkl::Host::UseRealClock(); }
};

// Ids belong to their manager and die with DestroyTimer or the manager's
// end; neither leaves a tick to come or a reference held.
TEST(DTimerMgr, DestroyedTimersNeitherTickNorHoldTheirHandler) {
    vkl::DTimerMgr mgr;
    vkl::DRefPtr<RecordingHandler> destroyed(new RecordingHandler);
    vkl::DRefPtr<RecordingHandler> witness(new RecordingHandler);
    EXPECT_EQ(mgr.CreateTimer(nullptr), kNoTimer);
    const unsigned int id = mgr.CreateTimer(destroyed.get());
    EXPECT_EQ(destroyed->RefCount(), 2);  // ours and the manager's
    EXPECT_EQ(mgr.StartTimer(id, 0), -1);
    EXPECT_EQ(mgr.StartTimer(kNoTimer, 10), -1);
    {
        vkl::DTimerMgr ending;
        EXPECT_EQ(ending.StartTimer(id, 10), -1);
        EXPECT_EQ(ending.DestroyTimer(id), -1);
        ASSERT_EQ(ending.StartTimer(ending.CreateTimer(destroyed.get()), 1), 0);
        ending.CreateTimer(destroyed.get());  // a second, never started
        EXPECT_EQ(destroyed->RefCount(), 4);
    }
    ASSERT_EQ(mgr.StartTimer(id, 1), 0);
    ASSERT_EQ(mgr.DestroyTimer(id), 0);
    EXPECT_EQ(destroyed->RefCount(), 1);
    EXPECT_EQ(mgr.DestroyTimer(id), -1);
    EXPECT_EQ(mgr.StartTimer(id, 10), -1);
    const std::size_t ticked = destroyed->Ticks().size();

    // Ticks run one at a time in due order on the one timer thread: once the
    // witness has ticked a few times, a late tick of a destroyed timer
    // would have happened.
    ASSERT_EQ(mgr.StartTimer(mgr.CreateTimer(witness.get()), 1), 0);
    ASSERT_TRUE(witness->WaitFor(5));
    EXPECT_EQ(destroyed->Ticks().size(), ticked);
}

// Holds its tick until released.
class BlockingHandler : public vkl::DTimerHandler {
public:
    void OnTimerEvent(unsigned int) override {
        entered.Open();
        release.Wait();
    }
    Gate entered, release;
};

TEST(DTimerMgr, DestroyWaitsForATickInProgress) {
    vkl::DTimerMgr mgr;
    vkl::DRefPtr<BlockingHandler> h(new BlockingHandler);
    const unsigned int id = mgr.CreateTimer(h.get());
    ASSERT_EQ(mgr.StartTimer(id, 1), 0);
    ASSERT_TRUE(h->entered.Wait());
    std::atomic<bool> destroyed{false};
    std::thread destroyer([&] {
        EXPECT_EQ(mgr.DestroyTimer(id), 0);
        destroyed = true;
    });
    // The id is gone once the destroyer is inside DestroyTimer; a destroy
    // that did not wait for the tick would return well within the pause.
    while (mgr.StopTimer(id) == 0) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(destroyed.load());
    h->release.Open();
    destroyer.join();
}

// A host stops the timer thread before it exits. Its timers keep their
// schedule: any later call that needs the thread starts it again, and the
// periodic timer resumes without being started anew.
TEST(DTimerMgr, StopTimerThreadHoldsTicksUntilTheNextTimerCall) {
    vkl::DTimerMgr mgr;
    vkl::DRefPtr<RecordingHandler> periodic(new RecordingHandler);
    ASSERT_EQ(mgr.StartTimer(mgr.CreateTimer(periodic.get()), 1), 0);
    ASSERT_TRUE(periodic->WaitFor(3));
    vkl::Host::StopTimerThread();
    const std::size_t ticked = periodic->Ticks().size();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(periodic->Ticks().size(), ticked);  // a 1-ms timer: it would have ticked
    vkl::Host::StopTimerThread();  // again: nothing to stop

    // A timer due much later, on another manager, brings the thread back.
    vkl::DTimerMgr other;
    vkl::DRefPtr<RecordingHandler> late(new RecordingHandler);
    ASSERT_EQ(other.StartTimer(other.CreateTimer(late.get()), 3600 * 1000), 0);
    ASSERT_TRUE(periodic->WaitFor(ticked + 3));
    EXPECT_TRUE(late->Ticks().empty());
}

// A manual-clock advance waits for its ticks; a stop in between neither
// loses the schedule nor leaves the advance waiting.
TEST(ManualClock, AdvanceAfterStopTimerThreadStillFiresWhatIsDue) {
    ManualClock clock(5000);
    vkl::DTimerMgr mgr;
    vkl::DRefPtr<RecordingHandler> rec(new RecordingHandler);
    ASSERT_EQ(mgr.StartTimer(mgr.CreateTimer(rec.get()), 100), 0);
    vkl::Host::StopTimerThread();
    vkl::Host::AdvanceClock(250);
    const auto ticks = rec->Ticks();
    ASSERT_EQ(ticks.size(), 2u);
    EXPECT_EQ(ticks[0].time, 5100);
    EXPECT_EQ(ticks[1].time, 5200);
}

TEST(ManualClock, AdvanceFiresDueTicksInTimeOrderOnTheTimerThread) {
    ManualClock clock(1000000);
    EXPECT_EQ(vkl::DTime::GetTime(), 1000000);

    vkl::DTimerMgr a, b;
    vkl::DRefPtr<RecordingHandler> rec(new RecordingHandler);
    const unsigned int slow = a.CreateTimer(rec.get());
    const unsigned int fast = b.CreateTimer(rec.get());
    ASSERT_EQ(a.StartTimer(slow, 500), 0);
    ASSERT_EQ(b.StartTimer(fast, 300), 0);

    vkl::Host::AdvanceClock(299);
    EXPECT_TRUE(rec->Ticks().empty());
    EXPECT_EQ(vkl::DTime::GetTime(), 1000299);

    vkl::Host::AdvanceClock(701);  // to 1001000
    const auto ticks = rec->Ticks();  // AdvanceClock returns after they ran
    std::vector<std::pair<unsigned int, int64_t>> seen;  // the clock shows each tick's time
    for (const Tick& tick : ticks) {
        seen.emplace_back(tick.id, tick.time);
        EXPECT_NE(tick.thread, std::this_thread::get_id());
        EXPECT_EQ(tick.thread, ticks[0].thread);
    }
    EXPECT_EQ(seen, (decltype(seen){{fast, 1000300}, {slow, 1000500}, {fast, 1000600}, {fast, 1000900},
                                    {slow, 1001000}}));
    EXPECT_EQ(vkl::DTime::GetTime(), 1001000);

    // A long lock expiry takes no real time.
    ASSERT_EQ(a.DestroyTimer(slow), 0);
    vkl::Host::AdvanceClock(31000);
    // fast is next due at 1001200, then every 300 ms up to 1032000: 103 ticks.
    EXPECT_EQ(rec->Ticks().size(), 5u + 103);
    EXPECT_EQ(vkl::DTime::GetTime(), 1032000);
}

}  // namespace
