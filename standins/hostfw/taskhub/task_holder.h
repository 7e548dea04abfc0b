#pragma once
#include <atomic>
#include <cstddef>

#include "taskhub/task.h"

namespace Taskhub {

// Owns one posted task inside a loop's queue: runs it once and deletes it, or
// deletes it unrun when the queue is discarded. Either way the task leaves the
// activity count (and the queue's own count, when given) after its deletion.
class TaskHolder {
public:
    TaskHolder(CTask* task, const char* loopName, std::atomic<std::size_t>* queued = nullptr);
    TaskHolder(TaskHolder&& other) noexcept;
    ~TaskHolder();
    void Run();

    TaskHolder(const TaskHolder&) = delete;
    TaskHolder& operator=(const TaskHolder&) = delete;
    TaskHolder& operator=(TaskHolder&&) = delete;

private:
    void Finish();

    CTask* m_task;
    const char* m_loopName;
    std::atomic<std::size_t>* m_queued;
};

}  // namespace Taskhub
