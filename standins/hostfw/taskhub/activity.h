#pragma once
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace Taskhub {

// Counts the tasks accepted by the SDK pool and the UI loop that have not yet
// run (or been discarded). A task that posts another task raises the count
// before its own run ends, so the count reaches 0 only when all is done.
class Activity {
public:
    using Deadline = std::chrono::steady_clock::time_point;

    static Activity& Instance();

    void Posted();
    void Finished();
    std::size_t Pending() const;
    // Changes on every post and every finish.
    uint64_t Generation() const;
    // Waits until the generation differs from seen; false at the deadline.
    bool WaitForChange(uint64_t seen, Deadline deadline);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_pending = 0;
    uint64_t m_generation = 0;
};

}  // namespace Taskhub
