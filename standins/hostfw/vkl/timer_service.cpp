#include "timer_service.h"

#include <chrono>
#include <exception>
#include <future>

#include <boost/asio/post.hpp>

#include "clock.h"
#include "hostfw/vkl_host.h"
#include "vkl/log.h"

namespace vkl {

namespace {
constexpr unsigned int kNoTimer = 0xFFFFFFFFu;
}  // namespace

TimerService& TimerService::Instance() { return standins::ProcessWide<TimerService>(); }

TimerService::TimerService() : m_work(boost::asio::make_work_guard(m_io)), m_wake(m_io) {
    m_thread = std::thread([this] { m_io.run(); });
    m_threadId = m_thread.get_id();
}

TimerService::~TimerService() {
    m_work.reset();
    m_io.stop();
    if (m_thread.joinable()) m_thread.join();
}

bool TimerService::OnTimerThread() const { return std::this_thread::get_id() == m_threadId; }

unsigned int TimerService::Create(DTimerHandler* handler) {
    if (!handler) return kNoTimer;
    std::lock_guard<std::mutex> lock(m_mutex);
    while (m_nextId == 0 || m_nextId == kNoTimer || m_timers.count(m_nextId)) ++m_nextId;
    const unsigned int id = m_nextId++;
    m_timers[id].handler = handler;
    return id;
}

int TimerService::Start(unsigned int id, int intervalMs) {
    if (intervalMs < 1) return -1;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_timers.find(id);
        if (it == m_timers.end()) return -1;
        it->second.intervalMs = intervalMs;
        UnscheduleLocked(it->second);
        ScheduleLocked(id, it->second, Clock::SchedulerNowMs() + intervalMs);
    }
    boost::asio::post(m_io, [this] { Rearm(); });
    return 0;
}

int TimerService::Stop(unsigned int id) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_timers.find(id);
    if (it == m_timers.end()) return -1;
    UnscheduleLocked(it->second);
    return 0;
}

int TimerService::Destroy(unsigned int id) {
    // Declared first so that the manager's reference is dropped after the
    // lock is released: dropping it may delete the handler.
    DRefPtr<DTimerHandler> released;
    std::unique_lock<std::mutex> lock(m_mutex);
    auto it = m_timers.find(id);
    if (it == m_timers.end()) return -1;
    UnscheduleLocked(it->second);
    released = std::move(it->second.handler);
    m_timers.erase(it);
    if (!OnTimerThread()) {
        m_tickDone.wait(lock, [&] { return m_firingId != id; });
    }
    return 0;
}

void TimerService::ScheduleLocked(unsigned int id, Entry& entry, int64_t dueMs) {
    entry.slot = SlotKey(dueMs, m_nextSlot++);
    entry.scheduled = true;
    m_schedule.emplace(entry.slot, id);
}

void TimerService::UnscheduleLocked(Entry& entry) {
    if (!entry.scheduled) return;
    m_schedule.erase(entry.slot);
    entry.scheduled = false;
}

void TimerService::RescheduleAllLocked() {
    const int64_t now = Clock::SchedulerNowMs();
    for (auto& [id, entry] : m_timers) {
        if (!entry.scheduled) continue;
        UnscheduleLocked(entry);
        ScheduleLocked(id, entry, now + entry.intervalMs);
    }
}

void TimerService::Rearm() {
    int64_t due = 0;
    bool arm = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        arm = !Clock::IsManual() && !m_schedule.empty();
        if (arm) due = m_schedule.begin()->first.first;
    }
    if (!arm) {
        m_wake.cancel();
        return;
    }
    m_wake.expires_at(std::chrono::steady_clock::time_point(std::chrono::milliseconds(due)));
    m_wake.async_wait([this](const boost::system::error_code& ec) {
        if (ec == boost::asio::error::operation_aborted) return;
        FireDue(Clock::SchedulerNowMs(), false);
        Rearm();
    });
}

void TimerService::FireDue(int64_t limitMs, bool manual) {
    for (;;) {
        DRefPtr<DTimerHandler> handler;  // keeps the handler alive through its tick
        unsigned int id = 0;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_schedule.empty() || Clock::IsManual() != manual) return;
            auto first = m_schedule.begin();
            const int64_t due = first->first.first;
            if (due > limitMs) return;
            id = first->second;
            Entry& entry = m_timers.at(id);
            UnscheduleLocked(entry);
            int64_t next = due + entry.intervalMs;
            if (manual) {
                // The clock shows the tick's own time while it runs.
                if (due > Clock::ManualNowMs()) Clock::SetManualNow(due);
            } else {
                // After a stall, resume the rhythm instead of firing a burst.
                const int64_t now = Clock::SchedulerNowMs();
                if (next <= now) next = now + entry.intervalMs;
            }
            ScheduleLocked(id, entry, next);
            handler = entry.handler;
            m_firingId = id;
        }
        try {
            handler->OnTimerEvent(id);
        } catch (const std::exception& e) {
            DPrintLog::instance()->Log("vkl", __LINE__, "vkl::TimerService::FireDue", "", LOG_LEVEL_ERROR,
                                       "timer %u handler threw: %s", id, e.what());
        } catch (...) {
            DPrintLog::instance()->Log("vkl", __LINE__, "vkl::TimerService::FireDue", "", LOG_LEVEL_ERROR,
                                       "timer %u handler threw", id);
        }
        // Dropped before the tick counts as over, so that once DestroyTimer
        // returns nothing here holds the handler any more.
        handler.reset();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_firingId = 0;
        }
        m_tickDone.notify_all();
    }
}

void TimerService::RunAdvance(int64_t ms) {
    int64_t target = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!Clock::IsManual()) return;
        target = Clock::ManualNowMs() + ms;
    }
    FireDue(target, true);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (Clock::IsManual() && Clock::ManualNowMs() < target) Clock::SetManualNow(target);
}

void TimerService::UseManualClock(int64_t startMs) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Clock::SetManual(startMs);
        RescheduleAllLocked();
    }
    boost::asio::post(m_io, [this] { Rearm(); });
}

void TimerService::UseRealClock() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!Clock::IsManual()) return;
        Clock::SetReal();
        RescheduleAllLocked();
    }
    boost::asio::post(m_io, [this] { Rearm(); });
}

void TimerService::AdvanceClock(int64_t ms) {
    if (ms < 0) ms = 0;
    if (OnTimerThread()) {
        // A tick cannot wait for ticks that run after it on this same thread.
        boost::asio::post(m_io, [this, ms] { RunAdvance(ms); });
        return;
    }
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    boost::asio::post(m_io, [this, ms, &done] {
        RunAdvance(ms);
        done.set_value();
    });
    finished.wait();
}

namespace Host {

void UseManualClock(int64_t startMs) { TimerService::Instance().UseManualClock(startMs); }

void UseRealClock() { TimerService::Instance().UseRealClock(); }

void AdvanceClock(int64_t ms) { TimerService::Instance().AdvanceClock(ms); }

}  // namespace Host
}  // namespace vkl
