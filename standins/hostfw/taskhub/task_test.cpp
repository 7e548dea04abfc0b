#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "taskhub/message_loop.h"
#include "taskhub/task.h"

namespace {

TEST(CFunctionTask, CallsItsFunctionAndKeepsItsFlag) {
    int calls = 0;
    Taskhub::CFunctionTask task([&] { ++calls; }, true);
    EXPECT_TRUE(task.IsLastTaskForWait());
    task.Exec();
    task.SetFunction([&] { calls += 10; });
    task.Exec();
    EXPECT_EQ(calls, 11);

    Taskhub::CFunctionTask empty(boost::function<void()>(), false);
    EXPECT_FALSE(empty.IsLastTaskForWait());
    empty.Exec();  // an empty function is a no-op
}

TEST(GetUniqueNum, NeverRepeatsAcrossThreads) {
    constexpr int kThreads = 4, kEach = 5000;
    std::vector<std::vector<int>> drawn(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) drawn[t].push_back(Taskhub::GetUniqueNum());
        });
    }
    for (auto& t : threads) t.join();
    std::set<int> all;
    for (const auto& d : drawn) all.insert(d.begin(), d.end());
    EXPECT_EQ(all.size(), std::size_t(kThreads * kEach));
}

TEST(CSingleton, OneInstancePerLoop) {
    auto* pool = Taskhub::CSingleton<Taskhub::CMessageLoopPoolForSDK>::GetInstance();
    auto* ui = Taskhub::CSingleton<Taskhub::CMessageLoopForUI>::GetInstance();
    ASSERT_NE(pool, nullptr);
    ASSERT_NE(ui, nullptr);
    EXPECT_EQ(pool, Taskhub::CSingleton<Taskhub::CMessageLoopPoolForSDK>::GetInstance());
    EXPECT_EQ(ui, Taskhub::CSingleton<Taskhub::CMessageLoopForUI>::GetInstance());
}

}  // namespace
