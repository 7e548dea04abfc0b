#pragma once
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>

#include "vkl/timer.h"
#include "process_wide.h"

namespace vkl {

// The one timer thread of the process. Every DTimerMgr keeps its timers here;
// ticks of all managers run on this thread, one at a time, in due order.
class TimerService {
public:
    static TimerService& Instance();

    unsigned int Create(DTimerHandler* handler);
    int Start(unsigned int id, int intervalMs);
    int Stop(unsigned int id);
    // Once it returns no further tick of the timer runs, except when called on
    // the timer thread (a tick may destroy its own timer).
    int Destroy(unsigned int id);
    bool OnTimerThread() const;

    void UseManualClock(int64_t startMs);
    void UseRealClock();
    void AdvanceClock(int64_t ms);

    ~TimerService();
    TimerService(const TimerService&) = delete;
    TimerService& operator=(const TimerService&) = delete;

private:
    template <class T>
    friend T& standins::ProcessWide();
    // Schedule order: due time, then the order in which timers were scheduled.
    using SlotKey = std::pair<int64_t, uint64_t>;

    struct Entry {
        DRefPtr<DTimerHandler> handler;
        int intervalMs = 0;
        bool scheduled = false;
        SlotKey slot{};
    };

    TimerService();
    void ScheduleLocked(unsigned int id, Entry& entry, int64_t dueMs);
    void UnscheduleLocked(Entry& entry);
    void RescheduleAllLocked();
    // Timer thread only.
    void Rearm();
    void FireDue(int64_t limitMs, bool manual);
    void RunAdvance(int64_t ms);

    mutable std::mutex m_mutex;
    std::condition_variable m_tickDone;
    std::map<unsigned int, Entry> m_timers;
    std::map<SlotKey, unsigned int> m_schedule;
    uint64_t m_nextSlot = 0;
    unsigned int m_nextId = 1;
    unsigned int m_firingId = 0;  // 0: no tick in progress

    boost::asio::io_context m_io;
    boost::asio::executor_work_guard<boost::asio::io_context::executor_type> m_work;
    boost::asio::steady_timer m_wake;
    std::thread m_thread;
    std::thread::id m_threadId;
};

}  // namespace vkl
