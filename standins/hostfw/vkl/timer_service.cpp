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

TimerService::Runner::Runner() : work(boost::asio::make_work_guard(io)), wake(io) {}

TimerService::TimerService() = default;

TimerService::~TimerService() { StopThread(); }

bool TimerService::OnTimerThread() const { return std::this_thread::get_id() == m_threadId.load(); }

template <class F>
void TimerService::Post(F f) {
    std::lock_guard<std::mutex> lock(m_runnerMutex);
    if (!m_runner) {
        m_runner = std::make_unique<Runner>();
        Runner* runner = m_runner.get();
        runner->thread = std::thread([runner] { runner->io.run(); });
        m_threadId = runner->thread.get_id();
        // The schedule may have outlived an earlier thread; its wake-up did not.
        boost::asio::post(runner->io, [this, runner] { Rearm(runner->wake); });
    }
    Runner* runner = m_runner.get();
    boost::asio::post(runner->io, [runner, f = std::move(f)]() mutable { f(*runner); });
}

void TimerService::StopThread() {
    std::unique_ptr<Runner> runner;
    {
        std::lock_guard<std::mutex> lock(m_runnerMutex);
        if (!m_runner || OnTimerThread()) return;
        runner = std::move(m_runner);
    }
    const std::thread::id stopped = runner->thread.get_id();
    runner->work.reset();
    runner->io.stop();  // what was posted and has not run is dropped with the context
    runner->thread.join();
    std::thread::id expected = stopped;
    m_threadId.compare_exchange_strong(expected, std::thread::id());
}

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
    Post([this](Runner& runner) { Rearm(runner.wake); });
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

void TimerService::Rearm(boost::asio::steady_timer& wake) {
    int64_t due = 0;
    bool arm = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        arm = !Clock::IsManual() && !m_schedule.empty();
        if (arm) due = m_schedule.begin()->first.first;
    }
    if (!arm) {
        wake.cancel();
        return;
    }
    wake.expires_at(std::chrono::steady_clock::time_point(std::chrono::milliseconds(due)));
    wake.async_wait([this, &wake](const boost::system::error_code& ec) {
        if (ec == boost::asio::error::operation_aborted) return;
        FireDue(Clock::SchedulerNowMs(), false);
        Rearm(wake);
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
    Post([this](Runner& runner) { Rearm(runner.wake); });
}

void TimerService::UseRealClock() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!Clock::IsManual()) return;
        Clock::SetReal();
        RescheduleAllLocked();
    }
    Post([this](Runner& runner) { Rearm(runner.wake); });
}

void TimerService::AdvanceClock(int64_t ms) {
    if (ms < 0) ms = 0;
    if (OnTimerThread()) {
        // A tick cannot wait for ticks that run after it on this same thread.
        Post([this, ms](Runner&) { RunAdvance(ms); });
        return;
    }
    // Shared with the task: a task dropped unrun (StopThread) breaks the
    // promise, which ends the wait too.
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    Post([this, ms, done](Runner&) {
        RunAdvance(ms);
        done->set_value();
    });
    finished.wait();
}

namespace Host {

void UseManualClock(int64_t startMs) { TimerService::Instance().UseManualClock(startMs); }

void UseRealClock() { TimerService::Instance().UseRealClock(); }

void AdvanceClock(int64_t ms) { TimerService::Instance().AdvanceClock(ms); }

void StopTimerThread() { TimerService::Instance().StopThread(); }

}  // namespace Host
}  // namespace vkl
