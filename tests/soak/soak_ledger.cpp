#include "soak.h"

#include <algorithm>

#include "kestrel/device_function_param.h"
#include "kestrel/ptz_motion_policy.h"
#include "kestrel/ptz_param.h"

namespace soak {

using Kestrel::CDeviceFunctionParam;
using Kestrel::CPtzParam;

void Ledger::Merge(const Ledger& other) {
    calls += other.calls;
    seqs.insert(other.seqs.begin(), other.seqs.end());
    for (const auto& [key, count] : other.unnumbered) unnumbered[key] += count;
    tags.insert(other.tags.begin(), other.tags.end());
}

uint64_t Ledger::Reporting() const {
    uint64_t n = seqs.size() + tags.size();
    for (const auto& entry : unnumbered) n += entry.second;
    return n;
}

void SoakObserver::OnNotify(std::shared_ptr<Datahub::BaseParam> param) {
    Arrival a;
    a.business = param->GetBusiness();
    a.type = param->GetEventType();
    a.result = param->GetEventResult();
    if (a.business == Datahub::BUSINESS_PTZ) {
        a.seq = std::static_pointer_cast<CPtzParam>(param)->GetSeq();
    } else if (a.business == Datahub::BUSINESS_DEVICE_FUNCTION &&
               a.type == CDeviceFunctionParam::DEVICE_EVENT_BINDING_RESOURCE) {
        a.tag = std::static_pointer_cast<CDeviceFunctionParam>(param)->GetUi64Now();
    }
    a.event = IdentifyEvent(param);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_arrivals.push_back(a);
}

std::vector<Arrival> SoakObserver::Arrivals() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_arrivals;
}

std::size_t SoakObserver::Count() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_arrivals.size();
}

namespace {

// PTZ results that carry no sequence number.
bool IsUnnumberedPtz(int type) {
    static const std::set<int> kUnnumbered = {
        CPtzParam::PTZ_EVENT_RAIN_WIPER,       CPtzParam::PTZ_EVENT_AUTO_SCAN,
        CPtzParam::PTZ_EVENT_SCAN_MARGIN,      CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET,
        CPtzParam::PTZ_EVENT_DEL_GUARD_PRESET, CPtzParam::PTZ_EVENT_SET_IDLE_MONITOR};
    return kUnnumbered.count(type) != 0;
}

// The queues whose events reach the observers of a façade.
std::vector<EventQueue> QueuesOf(int business) {
    switch (business) {
        case Datahub::BUSINESS_DEVICE_FUNCTION: return {EventQueue::Device, EventQueue::SmartTrack};
        case Datahub::BUSINESS_PTZ: return {EventQueue::Lock};
        case Datahub::BUSINESS_FACE_FUNCTION: return {EventQueue::Face};
        default: return {};
    }
}

const char* QueueName(EventQueue queue) {
    switch (queue) {
        case EventQueue::Device: return "device";
        case EventQueue::SmartTrack: return "smart-track";
        case EventQueue::Face: return "face";
        default: return "lock";
    }
}

// Compares how often something was answered with how often it was asked:
// the shortfall counts as lost, the surplus as duplicated, and either is a
// problem, named by `what`.
void Balance(uint64_t asked, uint64_t got, const std::string& what, Tally& tally) {
    if (got < asked) tally.lost += asked - got;
    if (got > asked) tally.duplicated += got - asked;
    if (got != asked) tally.Problem(what + ": asked " + std::to_string(asked) + ", answered " + std::to_string(got));
}

// Compares the numbers received on one queue with those pushed: same
// numbers, each once, in the same order.
void CompareQueue(EventQueue queue, const std::vector<int64_t>& pushed, const std::vector<int64_t>& received,
                  Tally& tally) {
    if (received == pushed) return;
    std::vector<int64_t> sorted = received;
    std::sort(sorted.begin(), sorted.end());
    const auto unique = static_cast<std::size_t>(std::unique(sorted.begin(), sorted.end()) - sorted.begin());
    tally.duplicated += received.size() - unique;
    sorted.resize(unique);
    std::vector<int64_t> missing;
    std::set_difference(pushed.begin(), pushed.end(), sorted.begin(), sorted.end(), std::back_inserter(missing));
    tally.lost += missing.size();
    tally.Problem(std::string(QueueName(queue)) + " events: pushed " + std::to_string(pushed.size()) + ", received " +
                  std::to_string(received.size()) + ", lost " + std::to_string(missing.size()) +
                  (missing.empty() && received.size() == unique ? ", out of order" : ""));
}

}  // namespace

Tally Check(int business, const Ledger& ledger, const PushLog& log, int64_t platformLocks,
            const std::vector<Arrival>& arrivals) {
    Tally t;
    std::map<int, int> answered;  // client seq -> answers
    std::map<int, int> expiries;  // expiry seq -> notices
    std::map<int, int> releases;  // expiry seq -> answers to its release
    std::map<int, int> autoStops;  // dead-man stop seq -> notices
    std::map<std::pair<int, int>, uint64_t> unnumbered;
    std::map<uint64_t, int> tags;
    std::vector<int64_t> received[kEventQueues];

    for (const Arrival& a : arrivals) {
        if (a.business != business) {
            t.Problem("a parameter object of business " + std::to_string(a.business));
            continue;
        }
        switch (a.event.kind) {
            case EventIdentity::Pushed:
                received[static_cast<int>(a.event.queue)].push_back(a.event.number);
                if (!a.event.intact || a.result != 0)
                    t.Problem("event " + std::to_string(a.event.number) + " (type " + std::to_string(a.type) +
                              ", result " + std::to_string(a.result) + ") arrived changed");
                ++t.events;
                continue;
            case EventIdentity::Bad:
                t.Problem("an event that fails its checks arrived (type " + std::to_string(a.type) + ")");
                continue;
            case EventIdentity::PlatformLock:
                ++t.platformLocks;
                continue;
            case EventIdentity::NotAnEvent:
                break;
        }
        if (business == Datahub::BUSINESS_PTZ) {
            if (a.result == Kestrel::PTZ_RESULT_SUPERSEDED) ++t.superseded;
            if (a.type == CPtzParam::PTZ_EVENT_AUTO_STOP) {
                ++autoStops[a.seq];
                ++t.autoStops;
            } else if (a.type == CPtzParam::PTZ_EVENT_LOCK_EXPIRED) {
                ++expiries[a.seq];
                ++t.expiries;
            } else if (IsUnnumberedPtz(a.type)) {
                ++unnumbered[{business, a.type}];
                ++t.results;
            } else if (auto it = ledger.seqs.find(a.seq); it != ledger.seqs.end()) {
                if (it->second != a.type)
                    t.Problem("seq " + std::to_string(a.seq) + " answered with type " + std::to_string(a.type));
                ++answered[a.seq];
                ++t.results;
            } else if (a.type == CPtzParam::PTZ_EVENT_LOCK) {
                ++releases[a.seq];
                ++t.releases;
            } else {
                t.Problem("type " + std::to_string(a.type) + " with a seq nobody asked for");
            }
        } else if (a.type == CDeviceFunctionParam::DEVICE_EVENT_BINDING_RESOURCE) {
            ++tags[a.tag];
            ++t.results;
        } else {
            ++unnumbered[{business, a.type}];
            ++t.results;
        }
    }

    // Requests: each answered exactly once (the unnumbered ones as often as
    // they were made).
    if (business == Datahub::BUSINESS_PTZ) {
        for (const auto& [seq, type] : ledger.seqs)
            Balance(1, answered[seq], "seq " + std::to_string(seq) + " of type " + std::to_string(type), t);
    }
    if (business == Datahub::BUSINESS_DEVICE_FUNCTION) {
        if (tags.size() != ledger.tags.size()) t.Problem("binding answers nobody asked for");
        for (int64_t tag : ledger.tags)
            Balance(1, tags[static_cast<uint64_t>(tag)], "binding query " + std::to_string(tag), t);
    }
    std::map<std::pair<int, int>, uint64_t> expected;
    for (const auto& [key, count] : ledger.unnumbered)
        if (key.first == business) expected[key] = count;
    for (const auto& [key, count] : expected)
        Balance(count, unnumbered[key], "requests of type " + std::to_string(key.second), t);
    for (const auto& [key, count] : unnumbered)
        if (!expected.count(key)) t.Problem("type " + std::to_string(key.second) + " answers nobody asked for");

    // The lock timer: each expiry notice once, each followed by one answer
    // to its release, and no release without a notice.
    for (const auto& [seq, n] : expiries) {
        if (n != 1) t.Problem("expiry seq " + std::to_string(seq) + " noticed " + std::to_string(n) + " times");
        const int r = releases.count(seq) ? releases[seq] : 0;
        if (r != 1) t.Problem("release seq " + std::to_string(seq) + " answered " + std::to_string(r) + " times");
        if (r == 0) ++t.lost;
    }
    for (const auto& [seq, n] : releases)
        if (!expiries.count(seq)) t.Problem("lock answer seq " + std::to_string(seq) + " without a request");
    // The dead-man: each stop it sent answered once.
    for (const auto& [seq, n] : autoStops) {
        if (n != 1) t.Problem("dead-man stop seq " + std::to_string(seq) + " answered " + std::to_string(n) + " times");
        if (n > 1) t.duplicated += static_cast<uint64_t>(n - 1);
    }

    // Events: every one that passes its checks, once, in push order per queue.
    for (EventQueue queue : QueuesOf(business))
        CompareQueue(queue, log.passing[static_cast<int>(queue)], received[static_cast<int>(queue)], t);
    for (int q = 0; q < kEventQueues; ++q) {
        const auto queues = QueuesOf(business);
        if (std::find(queues.begin(), queues.end(), static_cast<EventQueue>(q)) == queues.end() && !received[q].empty())
            t.Problem("events of another façade arrived");
    }
    if (platformLocks >= 0 && static_cast<uint64_t>(platformLocks) != t.platformLocks)
        t.Problem("platform lock events: " + std::to_string(platformLocks) + " pushed, " +
                  std::to_string(t.platformLocks) + " received");
    return t;
}

}  // namespace soak
