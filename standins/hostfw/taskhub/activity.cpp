#include "activity.h"

namespace Taskhub {

Activity& Activity::Instance() {
    static Activity activity;
    return activity;
}

void Activity::Posted() {
    m_state.fetch_add(kGeneration + kOne);
    Changed();
}

// Adding the generation step less one lowers the pending count by one.
void Activity::Finished() {
    m_state.fetch_add(kGeneration - kOne);
    Changed();
}

// A waiter registers itself before it reads the generation under the mutex,
// and both sides use sequentially consistent operations: either the waiter
// sees the new generation, or this side sees the waiter and notifies after
// taking the mutex the waiter holds until it sleeps. No wake-up is lost.
void Activity::Changed() {
    if (m_waiters.load() == 0) return;
    { std::lock_guard<std::mutex> lock(m_mutex); }
    m_changed.notify_all();
}

std::size_t Activity::Pending() const { return static_cast<std::size_t>(m_state.load() & kPendingMask); }

uint64_t Activity::Generation() const { return GenerationOf(m_state.load()); }

bool Activity::WaitForChange(uint64_t seen, Deadline deadline) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_waiters.fetch_add(1);
    const bool changed = m_changed.wait_until(lock, deadline, [&] { return GenerationOf(m_state.load()) != seen; });
    m_waiters.fetch_sub(1);
    return changed;
}

}  // namespace Taskhub
