#pragma once
// The host's observers: one per façade. Every delivery is copied into an
// EventRecord on the delivering thread, matched against the requests in
// flight, handed to a listener (the demo's checks), printed, and counted.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "datahub/observer.h"
#include "event_record.h"

namespace kestrel_host {

class Output;
class RequestTracker;

class EventHub {
public:
    using Listener = std::function<void(const EventRecord&)>;

    EventHub(Output& output, RequestTracker& tracker);
    ~EventHub();
    EventHub(const EventHub&) = delete;
    EventHub& operator=(const EventHub&) = delete;

    // The observer to register with the given façade.
    Datahub::IObserver* Observer(Facade facade);

    // Called for every event after it was matched; an empty one removes it.
    void SetListener(Listener listener);

    // Until the condition holds; it is tested after every event and at the
    // end of each `poll` interval (for conditions on things other than
    // events). False on time-out.
    bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
                   std::chrono::milliseconds poll = std::chrono::milliseconds(50));

    // Events seen so far by enumerator name.
    std::map<std::string, std::size_t> SeenByName() const;
    std::size_t EventCount() const;

    // What an observer does with one delivery (public for tests).
    void Deliver(Facade facade, const std::shared_ptr<Datahub::BaseParam>& param);

private:
    class FacadeObserver;

    Output& m_output;
    RequestTracker& m_tracker;
    std::unique_ptr<FacadeObserver> m_observers[3];
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::shared_ptr<Listener> m_listener;
    std::map<std::string, std::size_t> m_seen;
    std::size_t m_count = 0;
};

// Where the calling thread belongs: the host's UI loop, its SDK pool, or neither.
ThreadKind CurrentThreadKind();

}  // namespace kestrel_host
