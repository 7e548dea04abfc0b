// Control functions that push server events onto login connections.
#include "platform.h"
#include "zrsdk/zrsdk_control.h"

namespace zrsdk {
namespace control {

namespace {

bool IsLoggedIn(int sessionId) {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    return platform.users.UserOf(sessionId) != nullptr;
}

}  // namespace

bool PushLoginEvent(int sessionId, int eventType, int eventResult, const void* data,
                    std::size_t size) {
    if (!IsLoggedIn(sessionId)) {
        return false;
    }
    LoginEvent event;
    event.sessionId = sessionId;
    event.type = eventType;
    event.result = eventResult;
    if (data == nullptr) {
        event.nullData = size > 0;
        event.nullSize = static_cast<unsigned int>(size);
    } else {
        const auto* bytes = static_cast<const uint8_t*>(data);
        event.bytes.assign(bytes, bytes + size);
    }
    std::vector<LoginEvent> events;
    events.push_back(std::move(event));
    Platform::Instance().Events().Push(std::move(events));
    return true;
}

bool WaitEventsDelivered(std::chrono::milliseconds timeout) {
    return Platform::Instance().Events().WaitIdle(timeout);
}

EventCounters GetEventCounters() {
    const auto counters = Platform::Instance().Events().Counters();
    return EventCounters{counters.delivered, counters.dropped};
}

}  // namespace control
}  // namespace zrsdk
