#include "activity.h"

namespace Taskhub {

Activity& Activity::Instance() {
    static Activity activity;
    return activity;
}

void Activity::Posted() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_pending;
        ++m_generation;
    }
    m_changed.notify_all();
}

void Activity::Finished() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        --m_pending;
        ++m_generation;
    }
    m_changed.notify_all();
}

std::size_t Activity::Pending() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pending;
}

uint64_t Activity::Generation() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_generation;
}

bool Activity::WaitForChange(uint64_t seen, Deadline deadline) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_until(lock, deadline, [&] { return m_generation != seen; });
}

}  // namespace Taskhub
