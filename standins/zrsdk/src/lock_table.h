#pragma once
// PTZ locks: at most one holder (a user, not a session) per channel, each
// with the platform time it was granted at and its length.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "zrsdk/zrsdk_control.h"

namespace zrsdk {

struct LockDecision {
    int status = 0;  // ZRSDK_PTZ_STATUS_...
    std::string text;
    int answer = 0;
    // Set when the PTZ changed hands: a lock-status event is due.
    bool changed = false;
    int eventStatus = 0;  // ZRSDK_LOCK_EVENT_...
    std::string eventUser;
};

class LockTable {
public:
    static constexpr int kDefaultLockTime = 300;

    void Reset();
    void SetDefaultLockTime(int seconds) { m_defaultLockTime = seconds; }

    LockDecision Lock(const std::string& code, const std::string& user, int lockTime, int64_t now);
    LockDecision Unlock(const std::string& code, const std::string& user, int64_t now);
    LockDecision Query(const std::string& code, int64_t now) const;
    // Another user's running lock on the channel, or null.
    const control::LockView* HeldByOther(const std::string& code, const std::string& user,
                                         int64_t now) const;
    // Removes and returns the locks that ran out by `now`.
    std::vector<control::LockView> Expire(int64_t now);
    // Removes and returns every lock of the user.
    std::vector<control::LockView> ReleaseAllOf(const std::string& user);
    void Remove(const std::string& code) { m_locks.erase(code); }
    std::vector<control::LockView> All() const;

    // The next `count` lock or release answers report `status` in place of
    // their own; what the table did stands.
    void ForceAnswerStatus(int status, int count);
    void ApplyForcedStatus(LockDecision& decision);

private:
    const control::LockView* Running(const std::string& code, int64_t now) const;

    std::map<std::string, control::LockView> m_locks;
    int m_defaultLockTime = kDefaultLockTime;
    int m_forcedStatus = 0;
    int m_forcedCount = 0;
};

}  // namespace zrsdk
