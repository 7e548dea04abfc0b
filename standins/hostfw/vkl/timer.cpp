#include "vkl/timer.h"

#include <mutex>
#include <set>
#include <vector>

#include "timer_service.h"

namespace vkl {

namespace {
constexpr unsigned int kNoTimer = 0xFFFFFFFFu;
}  // namespace

DTimerHandler::~DTimerHandler() = default;

// The ids of the timers this manager created; the timers themselves live in
// the process-wide service.
struct DTimerMgr::Impl {
    std::mutex mutex;
    std::set<unsigned int> ids;

    bool Owns(unsigned int id) {
        std::lock_guard<std::mutex> lock(mutex);
        return ids.count(id) != 0;
    }
};

DTimerMgr::DTimerMgr() : m_impl(new Impl) {}

DTimerMgr::~DTimerMgr() {
    std::vector<unsigned int> ids;
    {
        std::lock_guard<std::mutex> lock(m_impl->mutex);
        ids.assign(m_impl->ids.begin(), m_impl->ids.end());
        m_impl->ids.clear();
    }
    for (unsigned int id : ids) TimerService::Instance().Destroy(id);
    delete m_impl;
}

unsigned int DTimerMgr::CreateTimer(DTimerHandler* handler) {
    const unsigned int id = TimerService::Instance().Create(handler);
    if (id == kNoTimer) return kNoTimer;
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->ids.insert(id);
    return id;
}

int DTimerMgr::StartTimer(unsigned int timerId, int intervalMs) {
    if (!m_impl->Owns(timerId)) return -1;
    return TimerService::Instance().Start(timerId, intervalMs);
}

int DTimerMgr::StopTimer(unsigned int timerId) {
    if (!m_impl->Owns(timerId)) return -1;
    return TimerService::Instance().Stop(timerId);
}

int DTimerMgr::DestroyTimer(unsigned int timerId) {
    {
        std::lock_guard<std::mutex> lock(m_impl->mutex);
        if (m_impl->ids.erase(timerId) == 0) return -1;
    }
    return TimerService::Instance().Destroy(timerId);
}

}  // namespace vkl
