#include "platform.h"

#include <ctime>

#include "record_text.h"
#include "zrsdk/zrsdk_types.h"

namespace zrsdk {

namespace {

int64_t SystemSeconds() {
    return static_cast<int64_t>(std::time(nullptr));
}

}  // namespace

Platform::Platform() : m_manualNow(SystemSeconds()) {}

Platform::~Platform() {
    std::lock_guard<std::mutex> mode(m_modeMutex);
    StopTicker();
}

Platform& Platform::Instance() { return standins::ProcessWide<Platform>(); }

void Platform::ResetData() {
    UseRealClock(false);
    std::lock_guard<std::mutex> lock(m_mutex);
    channels.Reset();
    recordings.Reset();
    locks.Reset();
    vehiclePreviewCodes.clear();
    m_manualNow = SystemSeconds();
    m_offset = 0;
}

int64_t Platform::Now() const {
    return m_realClock ? SystemSeconds() + m_offset : m_manualNow;
}

void Platform::SetNow(int64_t secondsSince1970) {
    if (m_realClock) {
        m_offset = secondsSince1970 - SystemSeconds();
    } else {
        m_manualNow = secondsSince1970;
    }
    ExpireLocks();
}

void Platform::ExpireLocks() {
    for (const auto& expired : locks.Expire(Now())) {
        BroadcastLockStatus(ZRSDK_LOCK_EVENT_EXPIRED, expired.code, expired.holder);
    }
}

void Platform::UseRealClock(bool real) {
    std::lock_guard<std::mutex> mode(m_modeMutex);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const int64_t now = Now();
        m_realClock = real;
        // The clock goes on from where it stood.
        if (real) {
            m_offset = now - SystemSeconds();
        } else {
            m_manualNow = now;
        }
    }
    if (real) {
        if (!m_ticker.joinable()) {
            m_tickerStop = false;
            m_ticker = std::thread([this] { Tick(); });
        }
        return;
    }
    StopTicker();
}

void Platform::StopThreads() {
    {
        std::lock_guard<std::mutex> mode(m_modeMutex);
        StopTicker();
    }
    m_events.StopThread();
}

void Platform::StopTicker() {
    {
        std::lock_guard<std::mutex> ticker(m_tickerMutex);
        m_tickerStop = true;
    }
    m_tickerWake.notify_all();
    // Joined with no platform lock held: the ticker takes it.
    if (m_ticker.joinable()) {
        m_ticker.join();
    }
}

void Platform::Tick() {
    std::unique_lock<std::mutex> ticker(m_tickerMutex);
    while (!m_tickerWake.wait_for(ticker, std::chrono::milliseconds(200),
                                  [this] { return m_tickerStop; })) {
        ticker.unlock();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ExpireLocks();
        }
        ticker.lock();
    }
}

void Platform::BroadcastLockStatus(int status, const std::string& code, const std::string& user) {
    ZRSDK_LOCKSTATUS_CHANGED_NOTIFY notify{};
    notify.status = status;
    WriteText(notify.code, code);
    WriteText(notify.message, user);
    WriteText(notify.info, LocalTimeText(Now()));
    const auto event = control::MakeLockStatus(notify);
    std::vector<QueuedEvent> queued;
    for (int sessionId : users.Sessions()) {
        queued.push_back(QueuedEvent{sessionId, event, {}});
    }
    m_events.Push(std::move(queued));
}

void Platform::ReleaseLocksOfDepartedUser(const std::string& user) {
    if (users.HasSessionOf(user)) {
        return;
    }
    for (const auto& released : locks.ReleaseAllOf(user)) {
        BroadcastLockStatus(ZRSDK_LOCK_EVENT_RELEASED, released.code, user);
    }
}

}  // namespace zrsdk
