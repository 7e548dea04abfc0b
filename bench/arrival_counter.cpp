#include "arrival_counter.h"

#include <algorithm>

#include "datahub/base_param.h"

namespace bench {

std::size_t ArrivalCounter::Slot(int eventType) {
    // Types run from -1 upwards; anything outside shares the last slot.
    const int slot = eventType + 1;
    return slot >= 0 && slot < kTypes ? static_cast<std::size_t>(slot) : kTypes - 1;
}

void ArrivalCounter::Arrive(int eventType) {
    const Clock::time_point now = Clock::now();
    bool reached = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Entry& entry = m_entries[Slot(eventType)];
        ++entry.count;
        entry.last = now;
        for (const Waiter& w : m_waiters)
            if (Slot(w.type) == Slot(eventType) && entry.count >= w.target) reached = true;
    }
    if (reached) m_reached.notify_all();
}

uint64_t ArrivalCounter::Count(int eventType) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries[Slot(eventType)].count;
}

Clock::time_point ArrivalCounter::LastArrival(int eventType) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries[Slot(eventType)].last;
}

bool ArrivalCounter::WaitFor(int eventType, uint64_t n, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const Entry& entry = m_entries[Slot(eventType)];
    if (entry.count >= n) return true;
    m_waiters.push_back(Waiter{eventType, n});
    const bool ok = m_reached.wait_for(lock, timeout, [&] { return entry.count >= n; });
    auto it = std::find_if(m_waiters.begin(), m_waiters.end(),
                           [&](const Waiter& w) { return w.type == eventType && w.target == n; });
    if (it != m_waiters.end()) m_waiters.erase(it);
    return ok;
}

void ArrivalObserver::OnNotify(std::shared_ptr<Datahub::BaseParam> param) {
    if (param) Arrive(param->GetEventType());
}

}  // namespace bench
