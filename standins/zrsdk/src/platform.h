#pragma once
// The one in-memory platform behind every SDK call. Its data is guarded by
// one mutex. The event thread has a lock of its own and never takes the
// platform's, so events may be queued with the platform lock held; callbacks
// of the SDK's own (bindings, cruise) are called with it released.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "channel_table.h"
#include "event_dispatcher.h"
#include "lock_table.h"
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

    int64_t Now() const { return m_now; }
    // Sets the clock and expires the locks that ran out by then, with a
    // lock-status event for each.
    void SetNow(int64_t secondsSince1970);
    // Queues a lock-status event for every logged-in session.
    void BroadcastLockStatus(int status, const std::string& code, const std::string& user);
    // Releases the user's locks when the user's last session is gone.
    void ReleaseLocksOfDepartedUser(const std::string& user);

    // Back to the default data; keeps accounts and sessions. Takes the lock.
    void ResetData();

private:
    Platform();

    std::mutex m_mutex;
    int64_t m_now = 0;
    EventDispatcher m_events;
};

}  // namespace zrsdk
