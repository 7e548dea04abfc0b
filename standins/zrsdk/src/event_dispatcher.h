#pragma once
// The SDK's event thread: server events of every login connection wait in
// one queue and are handed to the session's callback one at a time, in the
// order they were pushed.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "zrsdk/zrsdk_control.h"
#include "zrsdk/zrsdk_session.h"

namespace zrsdk {

struct QueuedEvent {
    int sessionId = 0;
    control::LoginEventData data;
    // Not handed over before this moment (event streams at a rate).
    std::chrono::steady_clock::time_point due{};
};

struct DispatchCounters {
    uint64_t delivered = 0;
    // Events whose session had no callback or had logged out by then.
    uint64_t dropped = 0;
};

class EventDispatcher {
public:
    EventDispatcher() = default;
    ~EventDispatcher();

    // Null cb stops delivery to the session. Once this returns, the previous
    // callback of the session is not running any more (unless the caller is
    // that callback itself).
    void SetCallback(int sessionId, ZRSDK_LoginEventCallback cb, void* user);
    void RemoveSession(int sessionId);
    void Push(std::vector<QueuedEvent> events);
    // Drops every queued event (a platform reset).
    void DropPending();
    // True once the queue is empty and no callback is running.
    bool WaitIdle(std::chrono::milliseconds timeout);
    DispatchCounters Counters() const;
    bool OnEventThread() const;
    // Ends the event thread after the callback in progress and joins it.
    // Queued events stay queued; the next Push starts the thread again. No
    // effect on the event thread itself.
    void StopThread();

    EventDispatcher(const EventDispatcher&) = delete;
    EventDispatcher& operator=(const EventDispatcher&) = delete;

private:
    struct Target {
        ZRSDK_LoginEventCallback cb = nullptr;
        void* user = nullptr;
    };

    void Run();
    static void Deliver(const Target& to, control::LoginEventData& data);

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<QueuedEvent> m_queue;
    std::map<int, Target> m_targets;
    int m_deliveringTo = 0;
    bool m_stop = false;
    DispatchCounters m_counters;
    std::thread m_thread;
};

}  // namespace zrsdk
