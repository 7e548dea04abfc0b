#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "hostfw/vkl_host.h"
#include "vkl/time.h"
#include "vkl/timer.h"

namespace {

constexpr unsigned int kNoTimer = 0xFFFFFFFFu;
constexpr auto kPatience = std::chrono::seconds(30);  // only bounds a hang

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

TEST(DTimerMgr, RejectsBadIdsAndIntervals) {
    vkl::DTimerMgr mgr, other;
    vkl::DRefPtr<RecordingHandler> h(new RecordingHandler);
    EXPECT_EQ(mgr.CreateTimer(nullptr), kNoTimer);
    const unsigned int id = mgr.CreateTimer(h.get());
    ASSERT_NE(id, kNoTimer);
    EXPECT_EQ(mgr.StartTimer(id, 0), -1);
    EXPECT_EQ(mgr.StartTimer(kNoTimer, 10), -1);
    EXPECT_EQ(other.StartTimer(id, 10), -1);  // ids belong to their manager
    EXPECT_EQ(other.DestroyTimer(id), -1);
    EXPECT_EQ(mgr.StopTimer(id), 0);
    EXPECT_EQ(mgr.DestroyTimer(id), 0);
    EXPECT_EQ(mgr.DestroyTimer(id), -1);
    EXPECT_EQ(mgr.StartTimer(id, 10), -1);
}

// Fails the test if it is ever ticked after Destroyed() was set.
class GuardedHandler : public vkl::DTimerHandler {
public:
    std::atomic<bool> destroyed{false};
    std::atomic<int> lateTicks{0};
    void OnTimerEvent(unsigned int) override {
        if (destroyed.load()) ++lateTicks;
    }
};

// Neither DestroyTimer nor the end of a manager leaves a tick to come or a
// reference held.
TEST(DTimerMgr, NoTickAfterDestroyOrTheManagersEndAndTheReferenceIsDropped) {
    vkl::DTimerMgr mgr;
    vkl::DRefPtr<GuardedHandler> guarded(new GuardedHandler);
    vkl::DRefPtr<RecordingHandler> witness(new RecordingHandler);
    const unsigned int gid = mgr.CreateTimer(guarded.get());
    EXPECT_EQ(guarded->RefCount(), 2);  // ours and the manager's
    ASSERT_EQ(mgr.StartTimer(gid, 1), 0);
    ASSERT_EQ(mgr.DestroyTimer(gid), 0);
    EXPECT_EQ(guarded->RefCount(), 1);
    {
        vkl::DTimerMgr ending;
        ASSERT_EQ(ending.StartTimer(ending.CreateTimer(guarded.get()), 1), 0);
        ending.CreateTimer(guarded.get());  // a second, never started
        EXPECT_EQ(guarded->RefCount(), 3);
    }
    EXPECT_EQ(guarded->RefCount(), 1);
    guarded->destroyed = true;

    // Ticks run one at a time in due order on the one timer thread: once the
    // witness has ticked a few times, a late tick of a destroyed timer
    // would have happened.
    const unsigned int wid = mgr.CreateTimer(witness.get());
    ASSERT_EQ(mgr.StartTimer(wid, 1), 0);
    ASSERT_TRUE(witness->WaitFor(5));
    EXPECT_EQ(guarded->lateTicks.load(), 0);
}

// Blocks inside its tick until released.
class BlockingHandler : public vkl::DTimerHandler {
public:
    void OnTimerEvent(unsigned int) override {
        std::unique_lock<std::mutex> lock(m);
        entered = true;
        cv.notify_all();
        cv.wait(lock, [&] { return go; });
        destroyReturnedDuringTick = destroyReturned.load();
        go = false;
    }
    std::mutex m;
    std::condition_variable cv;
    bool entered = false, go = false, destroyReturnedDuringTick = false;
    std::atomic<bool> destroyReturned{false};
};

TEST(DTimerMgr, DestroyWaitsForATickInProgress) {
    vkl::DTimerMgr mgr;
    vkl::DRefPtr<BlockingHandler> h(new BlockingHandler);
    const unsigned int id = mgr.CreateTimer(h.get());
    ASSERT_EQ(mgr.StartTimer(id, 1), 0);
    {
        std::unique_lock<std::mutex> lock(h->m);
        ASSERT_TRUE(h->cv.wait_for(lock, kPatience, [&] { return h->entered; }));
    }
    std::thread destroyer([&] {
        EXPECT_EQ(mgr.DestroyTimer(id), 0);
        h->destroyReturned = true;
    });
    // The id is gone once the destroyer is inside DestroyTimer; a destroy
    // that did not wait for the tick would return well within the pause.
    while (mgr.StopTimer(id) == 0) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(h->destroyReturned.load());
    {
        std::lock_guard<std::mutex> lock(h->m);
        h->go = true;
    }
    h->cv.notify_all();
    destroyer.join();
    EXPECT_FALSE(h->destroyReturnedDuringTick);
    EXPECT_TRUE(h->destroyReturned.load());
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
    const std::vector<std::pair<unsigned int, int64_t>> expected = {
        {fast, 1000300}, {slow, 1000500}, {fast, 1000600}, {fast, 1000900}, {slow, 1001000}};
    ASSERT_EQ(ticks.size(), expected.size());
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_EQ(ticks[i].id, expected[i].first) << i;
        EXPECT_EQ(ticks[i].time, expected[i].second) << i;  // the clock shows the tick's time
        EXPECT_NE(ticks[i].thread, std::this_thread::get_id());
        EXPECT_EQ(ticks[i].thread, ticks[0].thread);
    }
    EXPECT_EQ(vkl::DTime::GetTime(), 1001000);

    // A long lock expiry takes no real time.
    ASSERT_EQ(a.DestroyTimer(slow), 0);
    vkl::Host::AdvanceClock(31000);
    // fast is next due at 1001200, then every 300 ms up to 1032000: 103 ticks.
    EXPECT_EQ(rec->Ticks().size(), expected.size() + 103);
    EXPECT_EQ(vkl::DTime::GetTime(), 1032000);
}

TEST(ManualClock, ReadableWhileAnotherThreadAdvancesIt) {
    ManualClock clock(0);
    std::atomic<bool> done{false};
    int64_t last = 0;
    bool monotonic = true;
    std::thread reader([&] {
        while (!done.load()) {
            const int64_t now = vkl::DTime::GetTime();
            if (now < last) monotonic = false;
            last = now;
        }
    });
    for (int i = 0; i < 200; ++i) vkl::Host::AdvanceClock(5);
    done = true;
    reader.join();
    EXPECT_TRUE(monotonic);
    EXPECT_EQ(vkl::DTime::GetTime(), 1000);
}

}  // namespace
