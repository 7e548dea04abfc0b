#include "event_hub.h"

#include "event_decoder.h"
#include "hostfw/taskhub_host.h"
#include "output.h"
#include "request_tracker.h"

namespace kestrel_host {

ThreadKind CurrentThreadKind() {
    if (Taskhub::Host::IsUIThread()) return ThreadKind::UI;
    if (Taskhub::Host::IsPoolThread()) return ThreadKind::Pool;
    return ThreadKind::Other;
}

class EventHub::FacadeObserver : public Datahub::IObserver {
public:
    FacadeObserver(EventHub& hub, Facade facade) : m_hub(hub), m_facade(facade) {}
    void OnNotify(std::shared_ptr<Datahub::BaseParam> param) override { m_hub.Deliver(m_facade, param); }

private:
    EventHub& m_hub;
    const Facade m_facade;
};

EventHub::EventHub(Output& output, RequestTracker& tracker) : m_output(output), m_tracker(tracker) {
    m_observers[0] = std::make_unique<FacadeObserver>(*this, Facade::Device);
    m_observers[1] = std::make_unique<FacadeObserver>(*this, Facade::Ptz);
    m_observers[2] = std::make_unique<FacadeObserver>(*this, Facade::Face);
}

EventHub::~EventHub() = default;

Datahub::IObserver* EventHub::Observer(Facade facade) { return m_observers[static_cast<int>(facade)].get(); }

void EventHub::SetListener(Listener listener) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_listener = listener ? std::make_shared<Listener>(std::move(listener)) : nullptr;
}

void EventHub::Deliver(Facade facade, const std::shared_ptr<Datahub::BaseParam>& param) {
    const EventRecord event = DecodeEvent(facade, param, CurrentThreadKind());
    const std::optional<Answer> answer = m_tracker.OnEvent(event);
    std::shared_ptr<Listener> listener;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        listener = m_listener;
    }
    if (listener) (*listener)(event);
    m_output.Event(event, answer);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_seen[event.name];
        ++m_count;
    }
    m_changed.notify_all();
}

bool EventHub::WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
                         std::chrono::milliseconds poll) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        lock.unlock();
        const bool met = condition();
        lock.lock();
        if (met) return true;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return false;
        const std::size_t seen = m_count;
        m_changed.wait_until(lock, std::min(deadline, now + poll), [&] { return m_count != seen; });
    }
}

std::map<std::string, std::size_t> EventHub::SeenByName() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_seen;
}

std::size_t EventHub::EventCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_count;
}

}  // namespace kestrel_host
