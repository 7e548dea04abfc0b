#pragma once
// The soak's books: what the clients asked for (each client keeps its own
// ledger, merged at the end), what the pusher pushed, what each observer
// received, and the comparison of the three.
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "datahub/observer.h"
#include "soak_events.h"

namespace soak {

class Ledger {
public:
    // A façade call, whether or not it reports a result.
    void Called() { ++m_calls; }
    // A request answered with its sequence number and this event type.
    void ExpectSeq(int seq, int eventType) { m_seqs.emplace(seq, eventType); }
    // A request answered without a sequence number.
    void ExpectUnnumbered(int business, int eventType) { ++m_unnumbered[{business, eventType}]; }
    // A binding query, answered with its tag.
    void ExpectTag(int64_t tag) { m_tags.insert(tag); }

    void Merge(const Ledger& other);

    uint64_t Calls() const { return m_calls; }
    // How many calls report a result.
    uint64_t Reporting() const;

    const std::map<int, int>& Seqs() const { return m_seqs; }
    const std::map<std::pair<int, int>, uint64_t>& Unnumbered() const { return m_unnumbered; }
    const std::set<int64_t>& Tags() const { return m_tags; }

private:
    uint64_t m_calls = 0;
    std::map<int, int> m_seqs;  // seq -> event type
    std::map<std::pair<int, int>, uint64_t> m_unnumbered;  // (business, type) -> count
    std::set<int64_t> m_tags;
};

// What the pusher pushed: the numbers of the events that pass their checks,
// per queue, in push order; and how many events it pushed in all.
struct PushLog {
    std::vector<int64_t> passing[kEventQueues];
    uint64_t pushed = 0;
    uint64_t refused = 0;  // pushed to be dropped
};

// One parameter object as an observer received it.
struct Arrival {
    int business = 0;
    int type = 0;
    int result = 0;
    int seq = 0;
    uint64_t tag = 0;  // Ui64Now of a binding result
    EventIdentity event;
};

// An observer that keeps a compact record of everything it receives.
class SoakObserver : public Datahub::IObserver {
public:
    void OnNotify(std::shared_ptr<Datahub::BaseParam> param) override;
    std::vector<Arrival> Arrivals();
    std::size_t Count();

private:
    std::mutex m_mutex;
    std::vector<Arrival> m_arrivals;
};

// The figures of one observer's check.
struct Tally {
    uint64_t results = 0;          // answers to client requests
    uint64_t expiries = 0;         // lock-timer expiry notices
    uint64_t releases = 0;         // answers to the timer's releases
    uint64_t events = 0;           // pushed events received
    uint64_t platformLocks = 0;    // lock-status events of the platform's own
    uint64_t lost = 0;             // requests unanswered, events not received
    uint64_t duplicated = 0;       // answers or events received more than once
    std::vector<std::string> problems;  // the first 20

    void Problem(const std::string& text) {
        if (problems.size() < 20) problems.push_back(text);
    }
};

// Compares one observer's arrivals with the ledger (requests of its façade,
// `business`) and the push log (events of its queues). `platformLocks` is
// the number of lock-status events the platform pushed by itself (-1: the
// observer is not a PTZ observer).
Tally Check(int business, const Ledger& ledger, const PushLog& log, int64_t platformLocks,
            const std::vector<Arrival>& arrivals);

}  // namespace soak
