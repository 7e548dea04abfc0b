#pragma once
#include "host_export.h"

namespace vkl {

// Re-entrant mutex: a thread that holds it may lock it again.
class VKL_API DMutex {
public:
    DMutex();
    ~DMutex();
    void Lock();
    void Unlock();
    bool TryLock();

    DMutex(const DMutex&) = delete;
    DMutex& operator=(const DMutex&) = delete;

private:
    void* m_impl;
};

class DMutexGuard {
public:
    explicit DMutexGuard(DMutex& mutex) : m_mutex(mutex) { m_mutex.Lock(); }
    ~DMutexGuard() { m_mutex.Unlock(); }

    DMutexGuard(const DMutexGuard&) = delete;
    DMutexGuard& operator=(const DMutexGuard&) = delete;

private:
    DMutex& m_mutex;
};

}  // namespace vkl
