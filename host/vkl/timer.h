#pragma once
#include "host_export.h"
#include "vkl/ref_obj.h"

namespace vkl {

// Receives the ticks of the timers created for it. A manager holds a
// reference to each handler while it has a timer for it.
class VKL_API DTimerHandler : public virtual DRefObj {
public:
    ~DTimerHandler() override;
    // Called on the timer thread each time a started timer comes due.
    virtual void OnTimerEvent(unsigned int timerId) = 0;
};

// Repeating timers, all ticked on one timer thread of the process. Ids are
// never 0xFFFFFFFF, which means "no timer".
class VKL_API DTimerMgr {
public:
    DTimerMgr();
    // Destroys every timer still alive; waits for a tick in progress unless
    // called from the timer thread itself.
    ~DTimerMgr();

    // A stopped timer for the handler; 0xFFFFFFFF for a null handler.
    unsigned int CreateTimer(DTimerHandler* handler);
    // Starts (or restarts) the timer: it fires every intervalMs milliseconds
    // until stopped or destroyed. 0 on success, -1 for an unknown id or an
    // interval below 1.
    int StartTimer(unsigned int timerId, int intervalMs);
    int StopTimer(unsigned int timerId);
    // Stops and forgets the timer; once it returns the handler gets no further
    // tick from it (unless called from inside that handler's own tick).
    // 0 on success, -1 for an unknown id.
    int DestroyTimer(unsigned int timerId);

    DTimerMgr(const DTimerMgr&) = delete;
    DTimerMgr& operator=(const DTimerMgr&) = delete;

private:
    struct Impl;
    Impl* m_impl;
};

}  // namespace vkl
