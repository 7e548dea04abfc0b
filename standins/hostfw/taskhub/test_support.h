#pragma once
// Helpers shared by the Taskhub tests.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <utility>

#include "../../common/test_gate.h"
#include "hostfw/taskhub_host.h"
#include "taskhub/message_loop.h"
#include "taskhub/task.h"

namespace taskhub_test {

using standins_test::Gate;
using standins_test::kPatience;

// Counts its runs and its deletions.
struct TaskCounters {
    std::atomic<int> runs{0};
    std::atomic<int> deletions{0};
    std::pair<int, int> RunsAndDeletions() const { return {runs, deletions}; }
};

class CountingTask : public Taskhub::CTask {
public:
    CountingTask(TaskCounters& counters, std::function<void()> body = nullptr)
        : m_counters(counters), m_body(std::move(body)) {}
    ~CountingTask() override { ++m_counters.deletions; }
    void Exec() override {
        ++m_counters.runs;
        if (m_body) m_body();
    }

private:
    TaskCounters& m_counters;
    std::function<void()> m_body;
};

inline Taskhub::CTask* Task(std::function<void()> body) {
    return new Taskhub::CFunctionTask(boost::function<void()>(std::move(body)), false);
}

inline bool PostToPool(const std::string& key, std::function<void()> body) {
    return Taskhub::CSingleton<Taskhub::CMessageLoopPoolForSDK>::GetInstance()->PostTask(
        key, Task(std::move(body)));
}

inline bool PostToUI(std::function<void()> body) {
    return Taskhub::CSingleton<Taskhub::CMessageLoopForUI>::GetInstance()->PostTask(
        Task(std::move(body)));
}

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

}  // namespace taskhub_test
