#include "recording_observer.h"

#include "hostfw/taskhub_host.h"

namespace kestrel_test {

void RecordingObserver::OnNotify(std::shared_ptr<Datahub::BaseParam> param) {
    ThreadKind kind = ThreadKind::Other;
    if (Taskhub::Host::IsUIThread()) kind = ThreadKind::UI;
    else if (Taskhub::Host::IsPoolThread()) kind = ThreadKind::Pool;
    // Notified under the lock: a waiter that returns may destroy this object.
    std::lock_guard<std::mutex> lock(m_mutex);
    m_received.push_back(Received{std::move(param), kind});
    m_changed.notify_all();
}

std::vector<Received> RecordingObserver::OfType(int eventType) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<Received> out;
    for (const Received& r : m_received)
        if (eventType == kAnyType || r.param->GetEventType() == eventType) out.push_back(r);
    return out;
}

std::vector<int> RecordingObserver::Results(int eventType) {
    std::vector<int> results;
    for (const Received& r : OfType(eventType)) results.push_back(r.param->GetEventResult());
    return results;
}

bool RecordingObserver::WaitFor(std::size_t n, int eventType, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] {
        std::size_t count = 0;
        for (const Received& r : m_received)
            if (eventType == kAnyType || r.param->GetEventType() == eventType) ++count;
        return count >= n;
    });
}

void RecordingObserver::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_received.clear();
}

}  // namespace kestrel_test
