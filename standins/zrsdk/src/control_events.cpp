// Control functions that push server events onto login connections.
#include <cmath>

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

// Due times `1 / perSecond` apart from now, the first one at once.
std::vector<QueuedEvent> Schedule(int sessionId, std::vector<LoginEventData> events,
                                  double perSecond) {
    std::vector<QueuedEvent> queued;
    queued.reserve(events.size());
    const auto start = std::chrono::steady_clock::now();
    const bool spaced = perSecond > 0 && std::isfinite(perSecond);
    for (std::size_t i = 0; i < events.size(); ++i) {
        QueuedEvent event;
        event.sessionId = sessionId;
        event.data = std::move(events[i]);
        if (spaced) {
            event.due = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                    std::chrono::duration<double>(static_cast<double>(i) / perSecond));
        }
        queued.push_back(std::move(event));
    }
    return queued;
}

}  // namespace

bool Push(int sessionId, const LoginEventData& event) {
    return PushStream(sessionId, {event}, 0);
}

bool PushLoginEvent(int sessionId, int eventType, int eventResult, const void* data,
                    std::size_t size) {
    return Push(sessionId, MakeRawEvent(eventType, eventResult, data, size));
}

bool PushStream(int sessionId, const std::vector<LoginEventData>& events, double perSecond) {
    if (events.size() > kMaxStreamEvents || !IsLoggedIn(sessionId)) {
        return false;
    }
    Platform::Instance().Events().Push(Schedule(sessionId, events, perSecond));
    return true;
}

bool PushRepeated(int sessionId, const LoginEventData& event, std::size_t count, double perSecond) {
    if (count > kMaxStreamEvents) {
        return false;
    }
    return PushStream(sessionId, std::vector<LoginEventData>(count, event), perSecond);
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
