// The SDK pool and the UI loop: the order tasks run in, blocked and throwing
// tasks, waiting for idle, and stopping.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "../../common/test_gate.h"
#include "hostfw/taskhub_host.h"
#include "hostfw/vkl_host.h"
#include "taskhub/message_loop.h"
#include "taskhub/task.h"

namespace {

using standins_test::Gate;
using standins_test::kPatience;
using Taskhub::Host::WaitIdle;

// Counts its runs and its deletions.
struct TaskCounters {
    std::atomic<int> runs{0};
    std::atomic<int> deletions{0};
    std::pair<int, int> RunsAndDeletions() const { return {runs, deletions}; }
};

struct CountingTask : Taskhub::CTask {
    CountingTask(TaskCounters& c, std::function<void()> b = nullptr) : counters(c), body(std::move(b)) {}
    ~CountingTask() override { ++counters.deletions; }
    void Exec() override {
        ++counters.runs;
        if (body) body();
    }
    TaskCounters& counters;
    std::function<void()> body;
};

Taskhub::CMessageLoopPoolForSDK* Pool() { return Taskhub::CSingleton<Taskhub::CMessageLoopPoolForSDK>::GetInstance(); }
Taskhub::CMessageLoopForUI* UI() { return Taskhub::CSingleton<Taskhub::CMessageLoopForUI>::GetInstance(); }

Taskhub::CTask* Task(std::function<void()> body) {
    return new Taskhub::CFunctionTask(boost::function<void()>(std::move(body)), false);
}
bool PostToPool(const std::string& key, std::function<void()> body) {
    return Pool()->PostTask(key, Task(std::move(body)));
}
bool PostToUI(std::function<void()> body) { return UI()->PostTask(Task(std::move(body))); }

// Each test finds the process-wide pool and UI loop not yet started, and
// leaves them stopped and empty.
class HostLoops : public ::testing::Test {
protected:
    void SetUp() override { Taskhub::Host::ReopenLoops(); }
    void TearDown() override {
        Taskhub::Host::StopPool();
        Taskhub::Host::StopUILoop();
        EXPECT_EQ(Taskhub::Host::PendingTasks(), 0u);
    }
};

using SdkPoolTest = HostLoops;
using UiLoopTest = HostLoops;

// Tasks posted before the start wait for it; then a key's tasks run one at
// a time in post order beside those of other keys.
TEST_F(SdkPoolTest, TasksWaitForTheStartThenRunOneAtATimePerKeyInPostOrder) {
    constexpr int kTasks = 300;
    std::vector<int> order;  // unguarded on purpose: a key's tasks must never overlap
    std::atomic<int> inFlight{0};
    std::atomic<bool> overlapped{false};
    std::atomic<int> otherKeys{0};
    for (int i = 0; i < kTasks; ++i) {
        ASSERT_TRUE(PostToPool("PTZ", [&, i] {
            if (++inFlight > 1) overlapped = true;
            EXPECT_TRUE(Taskhub::Host::IsPoolThread());
            order.push_back(i);
            --inFlight;
        }));
        PostToPool("key" + std::to_string(i % 7), [&] { ++otherKeys; });
    }
    EXPECT_EQ(Taskhub::Host::PendingTasks(), 2u * kTasks);
    EXPECT_TRUE(order.empty());
    Taskhub::Host::StartPool(4);
    ASSERT_TRUE(WaitIdle(kPatience));
    EXPECT_FALSE(overlapped.load());
    ASSERT_EQ(order.size(), std::size_t(kTasks));
    for (int i = 0; i < kTasks; ++i) EXPECT_EQ(order[i], i);
    EXPECT_EQ(otherKeys.load(), kTasks);
    EXPECT_FALSE(Taskhub::Host::IsPoolThread());
}

TEST_F(SdkPoolTest, ABlockedKeyDelaysNeitherOtherKeysNorIsOvertakenWithinItsKey) {
    Taskhub::Host::StartPool(2);
    Gate slowStarted, release, fastDone;
    std::atomic<bool> behindSlowRan{false};
    std::atomic<int> fastRuns{0};

    PostToPool("PTZPreset", [&] {
        slowStarted.Open();
        release.Wait();
    });
    PostToPool("PTZPreset", [&] { behindSlowRan = true; });
    ASSERT_TRUE(slowStarted.Wait());

    constexpr int kFast = 50;
    for (int i = 0; i < kFast; ++i) {
        PostToPool(i % 2 ? "CDeviceCommunicate" : "ARPTZPreset", [&] {
            if (++fastRuns == kFast) fastDone.Open();
        });
    }
    // All other keys finish while the slow key is still blocked.
    ASSERT_TRUE(fastDone.Wait());
    EXPECT_FALSE(behindSlowRan.load());
    EXPECT_GE(Taskhub::Host::PendingTasks(), 2u);  // the blocked task and the one behind it
    EXPECT_FALSE(WaitIdle(std::chrono::milliseconds(1)));

    release.Open();
    ASSERT_TRUE(WaitIdle(kPatience));
    EXPECT_TRUE(behindSlowRan.load());
}

TEST_F(SdkPoolTest, ATaskThatThrowsIsLoggedAndDeletedAndItsKeyGoesOn) {
    std::vector<vkl::Host::LogRecord> logged;
    std::mutex logMutex;
    vkl::Host::SetLogSink([&](const vkl::Host::LogRecord& r) {
        std::lock_guard<std::mutex> lock(logMutex);
        logged.push_back(r);
    });
    Taskhub::Host::StartPool(4);
    TaskCounters counters;
    ASSERT_TRUE(Pool()->PostTask("PTZ", new CountingTask(counters, [] { throw std::runtime_error("boom"); })));
    ASSERT_TRUE(Pool()->PostTask("PTZ", new CountingTask(counters, [] { throw 7; })));
    ASSERT_TRUE(Pool()->PostTask("PTZ", new CountingTask(counters)));  // the key goes on
    EXPECT_FALSE(Pool()->PostTask("PTZ", nullptr));
    ASSERT_TRUE(WaitIdle(kPatience));
    vkl::Host::SetLogSink(nullptr);

    EXPECT_EQ(counters.RunsAndDeletions(), std::make_pair(3, 3));
    std::lock_guard<std::mutex> lock(logMutex);
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0].level, 6);
    EXPECT_NE(logged[0].text.find("boom"), std::string::npos);
}

TEST_F(SdkPoolTest, StopRunsWhatWasPostedThenRefusesAndDeletes) {
    Taskhub::Host::StartPool(2);
    Gate hold;
    std::atomic<int> chainEnd{0};
    // A blocked task keeps work queued while StopPool starts draining.
    PostToPool("PTZ", [&] { hold.Wait(); });
    std::function<void(int)> chain = [&](int depth) {
        if (depth == 0) {
            ++chainEnd;
            return;
        }
        PostToPool("key" + std::to_string(depth % 3), [&, depth] { chain(depth - 1); });
    };
    for (int i = 0; i < 10; ++i) PostToPool("CDeviceCommunicate", [&] { chain(20); });

    std::thread stopper([] { Taskhub::Host::StopPool(); });
    hold.Open();
    stopper.join();
    EXPECT_EQ(chainEnd.load(), 10);  // tasks posted by draining tasks ran too
    EXPECT_EQ(Taskhub::Host::PendingTasks(), 0u);

    TaskCounters late;
    EXPECT_FALSE(Pool()->PostTask("PTZ", new CountingTask(late)));
    EXPECT_EQ(late.RunsAndDeletions(), std::make_pair(0, 1));
    EXPECT_EQ(Taskhub::Host::PendingTasks(), 0u);
}

TEST_F(SdkPoolTest, WaitIdleFromInsideATaskRefusesAtOnce) {
    Taskhub::Host::StartPool(2);
    vkl::Host::SetLogLevel(7);  // keep the expected error line out of the output
    std::atomic<int> answer{-1};
    PostToPool("PTZ", [&] { answer = WaitIdle(kPatience) ? 1 : 0; });
    ASSERT_TRUE(WaitIdle(kPatience));
    vkl::Host::SetLogLevel(1);
    EXPECT_EQ(answer.load(), 0);
}

TEST_F(UiLoopTest, PumpRunsOnlyWhatIsQueuedNowOnTheCallingThread) {
    std::vector<int> order;
    PostToUI([&] { order.push_back(1); });
    PostToUI([&] {
        order.push_back(2);
        PostToUI([&] { order.push_back(3); });  // waits for the next pump
    });
    EXPECT_EQ(Taskhub::Host::RunUIPending(), 2u);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(Taskhub::Host::PendingTasks(), 1u);
    EXPECT_EQ(Taskhub::Host::RunUIPending(), 1u);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Taskhub::Host::RunUIPending(), 0u);
}

TEST_F(UiLoopTest, RunUILoopReturnsAfterStopHasRunTheQueue) {
    Gate running;
    std::atomic<int> ran{0};
    std::thread host([] { Taskhub::Host::RunUILoop(); });
    PostToUI([&] { running.Open(); });
    ASSERT_TRUE(running.Wait());
    for (int i = 0; i < 20; ++i) PostToUI([&] { ++ran; });
    Taskhub::Host::StopUILoop();  // returns once RunUILoop has returned
    EXPECT_EQ(ran.load(), 20);
    host.join();

    TaskCounters late;
    EXPECT_FALSE(UI()->PostTask(new CountingTask(late)));
    EXPECT_EQ(late.RunsAndDeletions(), std::make_pair(0, 1));
}

TEST_F(UiLoopTest, StopFromInsideAUITaskEndsTheLoopAfterThatTask) {
    Taskhub::Host::StartUILoopThread();
    std::atomic<bool> after{false};
    Gate bothQueued;
    PostToUI([&] {
        bothQueued.Wait();
        Taskhub::Host::StopUILoop();
    });
    PostToUI([&] { after = true; });  // queued before the stop: still runs
    bothQueued.Open();
    ASSERT_TRUE(WaitIdle(kPatience));
    EXPECT_TRUE(after.load());
    Taskhub::Host::StopUILoop();  // waits for the stop already under way
    EXPECT_FALSE(PostToUI([] {}));

    // The loop can be started again.
    Taskhub::Host::StartUILoopThread();
    Gate again;
    PostToUI([&] { again.Open(); });
    EXPECT_TRUE(again.Wait());
}

TEST_F(UiLoopTest, StopWithoutARunnerDrainsOnTheCallingThread) {
    TaskCounters counters;
    for (int i = 0; i < 5; ++i) UI()->PostTask(new CountingTask(counters));
    UI()->PostTask(new CountingTask(counters, [] { throw std::runtime_error("ui boom"); }));
    UI()->PostTask(new CountingTask(counters));
    Taskhub::Host::StopUILoop();
    EXPECT_EQ(counters.RunsAndDeletions(), std::make_pair(7, 7));
}

}  // namespace
