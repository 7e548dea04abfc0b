#pragma once
// The one in-memory platform behind every SDK call. Its data is guarded by
// one mutex; the event thread has a lock of its own and is never entered
// with the platform lock held.
#include <mutex>

#include "channel_table.h"
#include "event_dispatcher.h"
#include "user_table.h"

namespace zrsdk {

class Platform {
public:
    static Platform& Instance();

    std::mutex& Mutex() { return m_mutex; }
    // The fields below are read and changed only with Mutex() held.
    UserTable users;
    ChannelTable channels;

    EventDispatcher& Events() { return m_events; }

    // Resets the platform data; keeps accounts and sessions.
    void ResetData();

private:
    Platform() = default;

    std::mutex m_mutex;
    EventDispatcher m_events;
};

}  // namespace zrsdk
