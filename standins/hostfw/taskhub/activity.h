#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace Taskhub {

// Counts the tasks accepted by the SDK pool and the UI loop that have not yet
// run (or been discarded). A task that posts another task raises the count
// before its own run ends, so the count reaches 0 only when all is done.
//
// Every post and every finish passes through here, from the posting thread,
// the pool's threads and the UI thread at once, so the counts are atomics
// and the condition variable is touched only while somebody waits on it.
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
    void Changed();
    uint64_t GenerationOf(uint64_t state) const { return state >> 32; }

    // The pending count in the low 32 bits, the generation above it: a post
    // or a finish is one atomic addition.
    static constexpr uint64_t kOne = 1;
    static constexpr uint64_t kGeneration = uint64_t{1} << 32;
    static constexpr uint64_t kPendingMask = kGeneration - 1;

    std::atomic<uint64_t> m_state{0};
    std::atomic<int> m_waiters{0};
    std::mutex m_mutex;
    std::condition_variable m_changed;
};

}  // namespace Taskhub
