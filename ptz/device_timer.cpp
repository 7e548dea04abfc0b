#include "ptz/device_timer.h"

#include <algorithm>
#include <mutex>

namespace Kestrel {

CDeviceTimer::CDeviceTimer(ITimerListener* listener) : m_timerMgr(new vkl::DTimerMgr), m_listener(listener) {}

// The timer manager holds a reference to this handler while it has a timer
// for it, so no tick can be running or due once the last reference is gone.
CDeviceTimer::~CDeviceTimer() { delete m_timerMgr; }

int CDeviceTimer::Start(unsigned int& timerId, int intervalMs) {
    if (m_timerMgr == nullptr) {
        timerId = kNoTimer;
        return -1;
    }
    if (timerId == kNoTimer) timerId = m_timerMgr->CreateTimer(this);
    return m_timerMgr->StartTimer(timerId, intervalMs);
}

// Not under m_mutex: destroying a timer waits for its tick in progress, and
// that tick takes m_mutex to sign off.
int CDeviceTimer::Kill(unsigned int timerId) {
    if (m_timerMgr == nullptr) return -1;
    return m_timerMgr->DestroyTimer(timerId);
}

bool CDeviceTimer::OnlyOwnCallsRunning() const {
    const std::thread::id self = std::this_thread::get_id();
    return std::all_of(m_callers.begin(), m_callers.end(),
                       [&](const std::thread::id& caller) { return caller == self; });
}

void CDeviceTimer::Release() {
    {
        Lockable lockable{m_mutex};
        std::unique_lock<Lockable> lock(lockable);
        m_listener = nullptr;
        // A call from this very thread (Release inside the listener) cannot
        // finish before Release returns; waiting for it would never end.
        while (!OnlyOwnCallsRunning()) m_idle.wait(lock);
    }
    delete m_timerMgr;
    m_timerMgr = nullptr;
}

void CDeviceTimer::OnTimerEvent(unsigned int timerId) {
    ITimerListener* listener = nullptr;
    {
        vkl::DMutexGuard lock(m_mutex);
        listener = m_listener;
        if (listener == nullptr) return;
        m_callers.push_back(std::this_thread::get_id());
    }
    // Signs the call off even if the listener throws.
    struct SignOff {
        CDeviceTimer& timer;
        // Notifies under the mutex: once it is unlocked, a waiting Release
        // may return and the owner may let the timer go.
        ~SignOff() {
            vkl::DMutexGuard lock(timer.m_mutex);
            auto it = std::find(timer.m_callers.begin(), timer.m_callers.end(), std::this_thread::get_id());
            if (it != timer.m_callers.end()) timer.m_callers.erase(it);
            timer.m_idle.notify_all();
        }
    } signOff{*this};
    listener->OnTimer(timerId);
}

}  // namespace Kestrel
