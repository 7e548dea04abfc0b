#include "event_dispatcher.h"

#include <cstring>

namespace zrsdk {

EventDispatcher::~EventDispatcher() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void EventDispatcher::StopThread() {
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_thread.joinable() || OnEventThread()) {
            return;
        }
        m_stop = true;
        thread = std::move(m_thread);
    }
    m_wake.notify_all();
    thread.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = false;
}

bool EventDispatcher::OnEventThread() const {
    return std::this_thread::get_id() == m_thread.get_id();
}

void EventDispatcher::SetCallback(int sessionId, ZRSDK_LoginEventCallback cb, void* user) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (cb == nullptr) {
        m_targets.erase(sessionId);
    } else {
        m_targets[sessionId] = Target{cb, user};
    }
    if (!OnEventThread()) {  // a running callback may change its own registration
        m_idle.wait(lock, [&] { return m_deliveringTo != sessionId; });
    }
}

void EventDispatcher::RemoveSession(int sessionId) {
    SetCallback(sessionId, nullptr, nullptr);
}

void EventDispatcher::Push(std::vector<QueuedEvent> events) {
    if (events.empty()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stop) {
            return;
        }
        for (auto& event : events) {
            m_queue.push_back(std::move(event));
        }
        if (!m_thread.joinable()) {
            m_thread = std::thread([this] { Run(); });
        }
    }
    m_wake.notify_all();
}

void EventDispatcher::DropPending() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_counters.dropped += m_queue.size();
    m_queue.clear();
    m_idle.notify_all();
}

bool EventDispatcher::WaitIdle(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (OnEventThread()) {
        return m_queue.empty();
    }
    return m_idle.wait_for(lock, timeout,
                           [&] { return m_queue.empty() && m_deliveringTo == 0; });
}

DispatchCounters EventDispatcher::Counters() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_counters;
}

void EventDispatcher::Deliver(const Target& to, control::LoginEventData& data) {
    if (data.nullData || data.bytes.empty()) {
        to.cb(data.type, data.result, nullptr, data.size, to.user);
        return;
    }
    // Pointers inside the record lead into the delivered copy itself.
    uint8_t* base = data.bytes.data();
    for (const auto& slot : data.pointers) {
        if (slot.at + sizeof(void*) <= data.bytes.size() && slot.target <= data.bytes.size()) {
            uint8_t* target = base + slot.target;
            std::memcpy(base + slot.at, &target, sizeof(target));
        }
    }
    to.cb(data.type, data.result, base, data.size, to.user);
}

void EventDispatcher::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stop || !m_queue.empty(); });
        if (m_stop) {
            return;
        }
        const auto due = m_queue.front().due;
        if (due > std::chrono::steady_clock::now()) {
            m_wake.wait_until(lock, due);
            continue;  // re-check: a reset may have emptied the queue meanwhile
        }
        QueuedEvent event = std::move(m_queue.front());
        m_queue.pop_front();
        auto target = m_targets.find(event.sessionId);
        if (target == m_targets.end()) {
            ++m_counters.dropped;
            if (m_queue.empty()) {
                m_idle.notify_all();
            }
            continue;
        }
        const Target to = target->second;
        m_deliveringTo = event.sessionId;
        lock.unlock();
        Deliver(to, event.data);
        lock.lock();
        m_deliveringTo = 0;
        ++m_counters.delivered;
        m_idle.notify_all();
    }
}

}  // namespace zrsdk
