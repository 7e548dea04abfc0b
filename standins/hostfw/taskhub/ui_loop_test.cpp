#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "test_support.h"

namespace {

using namespace taskhub_test;
using Taskhub::Host::WaitIdle;

class UiLoopTest : public HostLoops {};

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
    EXPECT_FALSE(Taskhub::CSingleton<Taskhub::CMessageLoopForUI>::GetInstance()->PostTask(
        new CountingTask(late)));
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
    auto* ui = Taskhub::CSingleton<Taskhub::CMessageLoopForUI>::GetInstance();
    for (int i = 0; i < 5; ++i) ui->PostTask(new CountingTask(counters));
    ui->PostTask(new CountingTask(counters, [] { throw std::runtime_error("ui boom"); }));
    ui->PostTask(new CountingTask(counters));
    Taskhub::Host::StopUILoop();
    EXPECT_EQ(counters.RunsAndDeletions(), std::make_pair(7, 7));
}

}  // namespace
