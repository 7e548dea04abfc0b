#pragma once
// What the demo expects beyond the answers to its requests: events that
// arrive by themselves (a lock running out, the platform's lock-status
// notices), conditions on what the calls returned and on what the platform
// and the server saw, and the coverage of every event type Kestrel produces.
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "event_record.h"
#include "request_tracker.h"

namespace kestrel_host {

class DemoChecks {
public:
    using Predicate = std::function<bool(const EventRecord&)>;

    // An event that must arrive; recognised by the predicate.
    void ExpectEvent(const std::string& what, Predicate predicate);
    // The hub's listener: ticks off expected events.
    void OnEvent(const EventRecord& event);
    bool AllExpectedEventsSeen() const;

    // A condition checked at once.
    void Check(bool holds, const std::string& what);
    std::size_t ChecksMade() const;

    // Every failure, in words: expected events not seen, checks that did
    // not hold, answers with another result than expected, requests never
    // answered, and event types that were never seen.
    std::vector<std::string> Failures(const RequestTracker& tracker,
                                      const std::map<std::string, std::size_t>& seenByName) const;

private:
    struct Expected {
        std::string what;
        Predicate predicate;
        bool seen = false;
    };
    mutable std::mutex m_mutex;
    std::vector<Expected> m_expected;
    std::vector<std::string> m_failedChecks;
    std::size_t m_checks = 0;
};

}  // namespace kestrel_host
