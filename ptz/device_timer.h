#pragma once
// A one-listener repeating timer on the host's timer manager.
#include <condition_variable>
#include <thread>
#include <vector>

#include "ptz/timer_listener.h"
#include "vkl/mutex.h"
#include "vkl/timer.h"

namespace Kestrel {

constexpr unsigned int kNoTimer = 0xFFFFFFFFu;

// The listener is called on the timer thread without the timer's mutex held,
// so that the listener may take its own locks; Release waits for a call in
// progress (from another thread) before it returns, and no call starts after
// it. Release must therefore not be called while holding a lock that the
// listener takes. Release from inside the listener's own call does not wait
// for that call.
//
// Start, Kill and Release belong to the owner and are not called
// concurrently with each other; only the ticks arrive on another thread.
class CDeviceTimer : public vkl::DTimerHandler {
public:
    explicit CDeviceTimer(ITimerListener* listener);
    // Deletes the timer manager when Release did not.
    ~CDeviceTimer() override;

    // Creates the timer when timerId is kNoTimer, then starts it every
    // intervalMs. -1 (timerId kNoTimer) without a timer manager.
    int Start(unsigned int& timerId, int intervalMs);
    // -1 without a timer manager, else the manager's answer to destroying it.
    int Kill(unsigned int timerId);
    // Detaches the listener and deletes the timer manager.
    void Release();

    void OnTimerEvent(unsigned int timerId) override;

    CDeviceTimer(const CDeviceTimer&) = delete;
    CDeviceTimer& operator=(const CDeviceTimer&) = delete;

private:
    // True when every listener call in progress runs on this thread.
    bool OnlyOwnCallsRunning() const;

    // The host's mutex, taken through the names the standard's waits use.
    struct Lockable {
        vkl::DMutex& mutex;
        void lock() { mutex.Lock(); }
        void unlock() { mutex.Unlock(); }
    };

    vkl::DTimerMgr* m_timerMgr;
    vkl::DMutex m_mutex;  // guards m_listener and m_callers
    // The standard library's: Boost.Thread's condition variable and thread
    // ids are not header-only everywhere.
    std::condition_variable_any m_idle;
    ITimerListener* m_listener;
    // The threads of the listener calls in progress.
    std::vector<std::thread::id> m_callers;
};

}  // namespace Kestrel
