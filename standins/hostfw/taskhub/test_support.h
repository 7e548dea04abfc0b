#pragma once
// Helpers shared by the Taskhub tests.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "hostfw/taskhub_host.h"
#include "taskhub/message_loop.h"
#include "taskhub/task.h"

namespace taskhub_test {

constexpr auto kPatience = std::chrono::seconds(30);  // only bounds a hang

// A one-shot gate: Wait blocks until Open.
class Gate {
public:
    void Open() {
        // Notifies under the lock: a waiter may destroy the gate once it wakes.
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_cv.notify_all();
    }
    bool Wait() {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, kPatience, [&] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_open = false;
};

// Counts its runs and its deletions.
struct TaskCounters {
    std::atomic<int> runs{0};
    std::atomic<int> deletions{0};
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
