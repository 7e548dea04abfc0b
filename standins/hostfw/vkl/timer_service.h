#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
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
// ticks of all managers run on this thread, one at a time, in due order. The
// thread starts with the first call that needs it and runs until StopThread
// or the end of the service.
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

    // Ends the timer thread after the tick in progress and joins it. The
    // timers keep their schedule; the next call that needs the thread starts
    // it again. No effect when called on the timer thread.
    void StopThread();

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

    // One run of the timer thread: its I/O context and its wake-up timer.
    struct Runner {
        Runner();
        boost::asio::io_context io;
        boost::asio::executor_work_guard<boost::asio::io_context::executor_type> work;
        boost::asio::steady_timer wake;
        std::thread thread;
    };

    TimerService();
    // Runs f(runner) on the timer thread, starting the thread (and a
    // re-arm of the wake-up) if it is not running.
    template <class F>
    void Post(F f);
    void ScheduleLocked(unsigned int id, Entry& entry, int64_t dueMs);
    void UnscheduleLocked(Entry& entry);
    void RescheduleAllLocked();
    // Timer thread only.
    void Rearm(boost::asio::steady_timer& wake);
    void FireDue(int64_t limitMs, bool manual);
    void RunAdvance(int64_t ms);

    mutable std::mutex m_mutex;
    std::condition_variable m_tickDone;
    std::map<unsigned int, Entry> m_timers;
    std::map<SlotKey, unsigned int> m_schedule;
    uint64_t m_nextSlot = 0;
    unsigned int m_nextId = 1;
    unsigned int m_firingId = 0;  // 0: no tick in progress

    std::mutex m_runnerMutex;
    std::unique_ptr<Runner> m_runner;
    std::atomic<std::thread::id> m_threadId{};
};

}  // namespace vkl
