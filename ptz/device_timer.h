#pragma once
// A one-listener repeating timer on the host's timer manager.
#include <boost/thread/condition_variable.hpp>
#include <boost/thread/mutex.hpp>

#include "ptz/timer_listener.h"
#include "vkl/mutex.h"
#include "vkl/timer.h"

namespace Kestrel {

constexpr unsigned int kNoTimer = 0xFFFFFFFFu;

// The listener is called on the timer thread without the timer's mutex held,
// so that the listener may take its own locks; Release waits for a call in
// progress (from another thread) before it returns, and no call starts after
// it. Release must therefore not be called while holding a lock that the
// listener takes.
class CDeviceTimer : public vkl::DTimerHandler {
public:
    explicit CDeviceTimer(ITimerListener* listener);
    ~CDeviceTimer() override;

    // Creates the timer when timerId is kNoTimer, then starts it every
    // intervalMs. -1 (timerId kNoTimer) without a timer manager.
    int Start(unsigned int& timerId, int intervalMs);
    int Kill(unsigned int timerId);
    // Detaches the listener and deletes the timer manager.
    void Release();

    void OnTimerEvent(unsigned int timerId) override;

private:
    vkl::DTimerMgr* m_timerMgr;
    boost::mutex m_mutex;
    boost::condition_variable m_idle;
    ITimerListener* m_listener;
    int m_calls = 0;  // listener calls in progress
};

}  // namespace Kestrel
