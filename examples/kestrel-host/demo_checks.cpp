#include "demo_checks.h"

#include "event_names.h"

namespace kestrel_host {

void DemoChecks::ExpectEvent(const std::string& what, Predicate predicate) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_expected.push_back({what, std::move(predicate), false});
}

void DemoChecks::OnEvent(const EventRecord& event) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Expected& expected : m_expected)
        if (!expected.seen && expected.predicate(event)) {
            expected.seen = true;
            break;
        }
}

bool DemoChecks::AllExpectedEventsSeen() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Expected& expected : m_expected)
        if (!expected.seen) return false;
    return true;
}

void DemoChecks::Check(bool holds, const std::string& what) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_checks;
    if (!holds) m_failedChecks.push_back(what);
}

std::size_t DemoChecks::ChecksMade() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_checks;
}

std::vector<std::string> DemoChecks::Failures(const RequestTracker& tracker,
                                              const std::map<std::string, std::size_t>& seenByName) const {
    std::vector<std::string> failures;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const Expected& expected : m_expected)
            if (!expected.seen) failures.push_back("missing event: " + expected.what);
        for (const std::string& check : m_failedChecks) failures.push_back("check failed: " + check);
    }
    for (const ResultMismatch& m : tracker.Mismatches())
        failures.push_back("wrong result: " + m.operation + " " + m.subject + " answered " + m.event + " result " +
                           std::to_string(m.got) + ", expected " + std::to_string(m.expected));
    for (const OutstandingRequest& r : tracker.Outstanding())
        failures.push_back("no answer: " + r.operation + " " + r.subject +
                           (r.seq != 0 ? " (seq " + std::to_string(r.seq) + ")" : std::string()));
    for (const EventKind& kind : AllEventKinds()) {
        if (IsUnreachable(kind.facade, kind.type)) continue;
        if (seenByName.count(kind.name) == 0) failures.push_back("never seen: " + kind.name);
    }
    return failures;
}

}  // namespace kestrel_host
