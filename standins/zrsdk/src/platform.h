#pragma once
// The one in-memory platform behind every SDK call. Its data is guarded by
// one mutex. The event thread has a lock of its own and never takes the
// platform's, so events may be queued with the platform lock held; callbacks
// of the SDK's own (bindings, cruise) are called with it released.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

#include "channel_table.h"
#include "event_dispatcher.h"
#include "lock_table.h"
#include "process_wide.h"
#include "recording_book.h"
#include "user_table.h"

namespace zrsdk {

class Platform {
public:
    static Platform& Instance();

    std::mutex& Mutex() { return m_mutex; }
    EventDispatcher& Events() { return m_events; }

    // The fields and functions below need Mutex() held.
    UserTable users;
    ChannelTable channels;
    RecordingBook recordings;
    LockTable locks;
    std::vector<std::string> vehiclePreviewCodes;

    // The platform's time in seconds since 1970: manual (moved only by
    // SetNow) or the system clock plus an offset that SetNow adjusts.
    int64_t Now() const;
    // Sets the clock and expires the locks that ran out by then, with a
    // lock-status event for each.
    void SetNow(int64_t secondsSince1970);
    void ExpireLocks();
    // Queues a lock-status event for every logged-in session.
    void BroadcastLockStatus(int status, const std::string& code, const std::string& user);
    // Releases the user's locks when the user's last session is gone.
    void ReleaseLocksOfDepartedUser(const std::string& user);

    // Back to the default data and a manual clock at the system time; keeps
    // accounts and sessions. Take no lock before calling these two.
    void ResetData();
    // Real: the clock follows the system clock and a ticker thread expires
    // locks as their time runs out. Manual: the clock stops where it is.
    void UseRealClock(bool real);
    // Ends the lock ticker and the event thread and joins them; the clock
    // keeps its mode (a real one is read on demand, and expires locks again
    // once UseRealClock(true) is called), the next event starts delivery again.
    void StopThreads();

    ~Platform();

private:
    template <class T>
    friend T& standins::ProcessWide();
    Platform();
    void Tick();
    // Needs m_modeMutex.
    void StopTicker();

    std::mutex m_mutex;
    bool m_realClock = false;
    int64_t m_manualNow = 0;
    int64_t m_offset = 0;
    EventDispatcher m_events;

    // Serialises clock-mode changes; guards m_ticker.
    std::mutex m_modeMutex;
    std::mutex m_tickerMutex;
    std::condition_variable m_tickerWake;
    bool m_tickerStop = false;
    std::thread m_ticker;
};

}  // namespace zrsdk
