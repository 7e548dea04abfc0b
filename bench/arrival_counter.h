#pragma once
// Counts arrivals per event type and keeps the time of the latest one. The
// observers of the bench and the baselines' last hop both end here, so the
// cost of being observed is the same on both sides.
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "datahub/observer.h"

namespace bench {

using Clock = std::chrono::steady_clock;

class ArrivalCounter {
public:
    void Arrive(int eventType);
    uint64_t Count(int eventType);
    Clock::time_point LastArrival(int eventType);
    // Waits until the type's count reaches n; false after the time-out.
    bool WaitFor(int eventType, uint64_t n, std::chrono::milliseconds timeout = std::chrono::seconds(60));

private:
    static constexpr int kTypes = 256;
    struct Entry {
        uint64_t count = 0;
        Clock::time_point last;
    };
    struct Waiter {
        int type;
        uint64_t target;
    };
    static std::size_t Slot(int eventType);

    std::mutex m_mutex;
    std::condition_variable m_reached;
    std::array<Entry, kTypes> m_entries{};
    // Woken only when a target is reached, so that a burst does not wake
    // the waiting thread once per arrival.
    std::vector<Waiter> m_waiters;
};

// An observer of a façade that counts what it receives.
class ArrivalObserver : public Datahub::IObserver, public ArrivalCounter {
public:
    void OnNotify(std::shared_ptr<Datahub::BaseParam> param) override;
};

}  // namespace bench
