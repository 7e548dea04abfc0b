#include "lock_table.h"

#include "zrsdk/zrsdk_types.h"

namespace zrsdk {

void LockTable::Reset() {
    m_locks.clear();
    m_defaultLockTime = kDefaultLockTime;
    m_forcedCount = 0;
}

void LockTable::ForceAnswerStatus(int status, int count) {
    m_forcedStatus = status;
    m_forcedCount = count > 0 ? count : 0;
}

void LockTable::ApplyForcedStatus(LockDecision& decision) {
    if (m_forcedCount == 0) return;
    --m_forcedCount;
    decision.status = m_forcedStatus;
}

// A lock granted at T for D seconds runs while now < T + D; a lock that ran
// out but was not yet expired by the clock counts as free.
const control::LockView* LockTable::Running(const std::string& code, int64_t now) const {
    auto found = m_locks.find(code);
    if (found == m_locks.end() || now >= found->second.expiresAt) {
        return nullptr;
    }
    return &found->second;
}

const control::LockView* LockTable::HeldByOther(const std::string& code, const std::string& user,
                                                int64_t now) const {
    const auto* lock = Running(code, now);
    return lock != nullptr && lock->holder != user ? lock : nullptr;
}

LockDecision LockTable::Lock(const std::string& code, const std::string& user, int lockTime,
                             int64_t now) {
    LockDecision decision;
    if (const auto* other = HeldByOther(code, user, now)) {
        decision.status = ZRSDK_PTZ_STATUS_REFUSED;
        decision.text = other->holder;
        decision.answer = static_cast<int>(other->expiresAt - now);
        return decision;
    }
    const auto* current = Running(code, now);
    decision.changed = current == nullptr;  // a renewal by the holder changes no hands
    control::LockView lock;
    lock.code = code;
    lock.holder = user;
    lock.grantedAt = now;
    lock.duration = lockTime > 0 ? lockTime : m_defaultLockTime;
    lock.expiresAt = now + lock.duration;
    m_locks[code] = lock;
    decision.status = ZRSDK_PTZ_STATUS_GRANTED;
    decision.answer = lock.duration;
    decision.eventStatus = ZRSDK_LOCK_EVENT_LOCKED;
    decision.eventUser = user;
    return decision;
}

LockDecision LockTable::Unlock(const std::string& code, const std::string& user, int64_t now) {
    LockDecision decision;
    if (const auto* other = HeldByOther(code, user, now)) {
        decision.status = ZRSDK_PTZ_STATUS_REFUSED;
        decision.text = other->holder;
        decision.answer = static_cast<int>(other->expiresAt - now);
        return decision;
    }
    // Releasing a free PTZ succeeds: the caller's view is right either way.
    decision.status = ZRSDK_PTZ_STATUS_GRANTED;
    decision.changed = Running(code, now) != nullptr;
    decision.eventStatus = ZRSDK_LOCK_EVENT_RELEASED;
    decision.eventUser = user;
    m_locks.erase(code);
    return decision;
}

LockDecision LockTable::Query(const std::string& code, int64_t now) const {
    LockDecision decision;
    decision.status = 0;
    if (const auto* lock = Running(code, now)) {
        decision.text = lock->holder;
        decision.answer = static_cast<int>(lock->expiresAt - now);
    }
    return decision;
}

std::vector<control::LockView> LockTable::Expire(int64_t now) {
    std::vector<control::LockView> expired;
    for (auto it = m_locks.begin(); it != m_locks.end();) {
        if (now >= it->second.expiresAt) {
            expired.push_back(it->second);
            it = m_locks.erase(it);
        } else {
            ++it;
        }
    }
    return expired;
}

std::vector<control::LockView> LockTable::ReleaseAllOf(const std::string& user) {
    std::vector<control::LockView> released;
    for (auto it = m_locks.begin(); it != m_locks.end();) {
        if (it->second.holder == user) {
            released.push_back(it->second);
            it = m_locks.erase(it);
        } else {
            ++it;
        }
    }
    return released;
}

std::vector<control::LockView> LockTable::All() const {
    std::vector<control::LockView> all;
    for (const auto& entry : m_locks) {
        all.push_back(entry.second);
    }
    return all;
}

}  // namespace zrsdk
