#include "platform.h"

#include <ctime>

#include "record_text.h"
#include "zrsdk/zrsdk_types.h"

namespace zrsdk {

Platform::Platform() : m_now(static_cast<int64_t>(std::time(nullptr))) {}

Platform& Platform::Instance() {
    static Platform platform;
    return platform;
}

void Platform::ResetData() {
    std::lock_guard<std::mutex> lock(m_mutex);
    channels.Reset();
    recordings.Reset();
    locks.Reset();
    vehiclePreviewCodes.clear();
    m_now = static_cast<int64_t>(std::time(nullptr));
}

void Platform::SetNow(int64_t secondsSince1970) {
    m_now = secondsSince1970;
    for (const auto& expired : locks.Expire(m_now)) {
        BroadcastLockStatus(ZRSDK_LOCK_EVENT_EXPIRED, expired.code, expired.holder);
    }
}

void Platform::BroadcastLockStatus(int status, const std::string& code, const std::string& user) {
    ZRSDK_LOCKSTATUS_CHANGED_NOTIFY notify{};
    notify.status = status;
    WriteText(notify.code, code);
    WriteText(notify.message, user);
    WriteText(notify.info, LocalTimeText(m_now));
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
