// CDeviceTimer on the host's timer thread: ticks reach the listener until
// Kill or Release; Release waits for a call in progress on another thread,
// returns at once from inside the listener's own call, and the
// retire-then-release pattern of the PTZ worker never deadlocks.
#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "hostfw/vkl_host.h"
#include "ptz/device_timer.h"

namespace Kestrel {
namespace {

struct CountingListener : ITimerListener {
    void OnTimer(unsigned int timerId) override {
        std::lock_guard<std::mutex> lock(mutex);
        ids.push_back(timerId);
    }
    std::vector<unsigned int> Ids() {
        std::lock_guard<std::mutex> lock(mutex);
        return ids;
    }
    std::mutex mutex;
    std::vector<unsigned int> ids;
};

struct ManualClock {
    ManualClock() { vkl::Host::UseManualClock(1700000000000); }
    ~ManualClock() { vkl::Host::UseRealClock(); }
};

TEST(DeviceTimer, TicksEverySecondUntilKilledAndNotAfterRelease) {
    ManualClock clock;
    CountingListener listener;
    vkl::DRefPtr<CDeviceTimer> timer(new CDeviceTimer(&listener));

    unsigned int id = kNoTimer;
    ASSERT_EQ(timer->Start(id, 1000), 0);
    ASSERT_NE(id, kNoTimer);
    vkl::Host::AdvanceClock(999);
    EXPECT_TRUE(listener.Ids().empty());
    vkl::Host::AdvanceClock(2001);
    EXPECT_EQ(listener.Ids(), (std::vector<unsigned int>{id, id, id}));

    // Starting again with a known id restarts that timer, no second one.
    const unsigned int first = id;
    ASSERT_EQ(timer->Start(id, 1000), 0);
    EXPECT_EQ(id, first);
    EXPECT_EQ(timer->Kill(id), 0);
    EXPECT_EQ(timer->Kill(id), -1);  // already gone
    vkl::Host::AdvanceClock(5000);
    EXPECT_EQ(listener.Ids().size(), 3u);

    // A second timer, still running when Release detaches the listener.
    unsigned int second = kNoTimer;
    ASSERT_EQ(timer->Start(second, 1000), 0);
    vkl::Host::AdvanceClock(1000);
    EXPECT_EQ(listener.Ids().size(), 4u);
    timer->Release();
    vkl::Host::AdvanceClock(5000);
    EXPECT_EQ(listener.Ids().size(), 4u);

    // Without a timer manager nothing starts.
    unsigned int third = 7;
    EXPECT_EQ(timer->Start(third, 1000), -1);
    EXPECT_EQ(third, kNoTimer);
    EXPECT_EQ(timer->Kill(second), -1);
    timer->Release();  // a second Release does nothing
}

// A listener that blocks inside its call: Release on another thread detaches
// it at once but returns only after that call has finished.
TEST(DeviceTimer, ReleaseWaitsForACallInProgressOnAnotherThread) {
    struct BlockingListener : ITimerListener {
        std::promise<void> entered, go;
        std::shared_future<void> goSignal = go.get_future().share();
        std::atomic<bool> finished{false};
        std::atomic<int> probes{0};
        void OnTimer(unsigned int timerId) override {
            if (timerId == 99) {  // a probe: returns at once
                ++probes;
                return;
            }
            entered.set_value();
            goSignal.wait();
            finished = true;
        }
    } listener;
    vkl::DRefPtr<CDeviceTimer> timer(new CDeviceTimer(&listener));

    std::future<void> entered = listener.entered.get_future();
    std::thread tick([&] { timer->OnTimerEvent(1); });
    entered.wait();
    std::atomic<bool> released{false};
    bool finishedWhenReleased = false;
    std::thread releaser([&] {
        timer->Release();
        finishedWhenReleased = listener.finished;
        released = true;
    });
    // Once a probe no longer reaches the listener, Release has detached it
    // and is waiting for the blocked call.
    for (int reached = 0;; ++reached) {
        const int before = listener.probes.load();
        timer->OnTimerEvent(99);
        if (listener.probes.load() == before) break;
        ASSERT_LT(reached, 10000000);
        std::this_thread::yield();
    }
    EXPECT_FALSE(released.load());
    listener.go.set_value();
    tick.join();
    releaser.join();
    EXPECT_TRUE(finishedWhenReleased);
}

// Kill and Release from inside the tick, on the timer thread itself, return.
TEST(DeviceTimer, ReleaseFromInsideItsOwnTickReturns) {
    ManualClock clock;
    struct SelfReleasing : ITimerListener {
        CDeviceTimer* timer = nullptr;
        unsigned int id = kNoTimer;
        int calls = 0;
        void OnTimer(unsigned int timerId) override {
            ++calls;
            timer->Kill(timerId);
            timer->Release();
        }
    } listener;
    vkl::DRefPtr<CDeviceTimer> timer(new CDeviceTimer(&listener));
    listener.timer = timer.get();
    ASSERT_EQ(timer->Start(listener.id, 1000), 0);
    vkl::Host::AdvanceClock(5000);  // would never return on a deadlock
    EXPECT_EQ(listener.calls, 1);
}

// The worker's pattern: the listener checks an atomic id, takes the owner's
// mutex and checks again; the owner retires the id under that mutex and
// kills and releases the timer only after leaving it. Each round waits until
// a tick is blocked on the owner's mutex before it retires the timer, the
// case in which stopping the timer under the mutex would never return.
TEST(DeviceTimer, RetireThenReleaseNeverDeadlocksAndNoTickFollowsRelease) {
    struct Owner : ITimerListener {
        std::recursive_mutex mutex;
        std::atomic<unsigned int> current{kNoTimer};
        std::atomic<int> waiting{0};
        std::atomic<bool> released{false};
        std::atomic<int> callsAfterRelease{0};
        void OnTimer(unsigned int timerId) override {
            if (released.load()) ++callsAfterRelease;
            if (timerId != current.load()) return;
            ++waiting;
            std::lock_guard<std::recursive_mutex> lock(mutex);
            --waiting;
            if (timerId != current.load()) return;
        }
    };
    for (int round = 0; round < 50; ++round) {
        Owner owner;
        vkl::DRefPtr<CDeviceTimer> timer(new CDeviceTimer(&owner));
        vkl::DRefPtr<CDeviceTimer> retired;
        unsigned int retiredId = kNoTimer;
        {
            std::lock_guard<std::recursive_mutex> lock(owner.mutex);
            unsigned int id = kNoTimer;
            ASSERT_EQ(timer->Start(id, 1), 0);
            owner.current = id;
            // Ticks come every millisecond; the bound only stops a broken timer.
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (owner.waiting.load() == 0) {
                ASSERT_LT(std::chrono::steady_clock::now(), giveUp) << "no tick arrived";
                std::this_thread::yield();
            }
            retired = timer;
            retiredId = owner.current.exchange(kNoTimer);
            timer.reset();
        }
        retired->Kill(retiredId);
        retired->Release();
        owner.released = true;
        // Several ticks' time: a tick that still reached the owner would count.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(owner.waiting.load(), 0) << "round " << round;
        EXPECT_EQ(owner.callsAfterRelease.load(), 0) << "round " << round;
    }
}

}  // namespace
}  // namespace Kestrel
