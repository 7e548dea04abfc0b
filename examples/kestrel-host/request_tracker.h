#pragma once
// Keeps every request the host sends through a façade until the observer
// event that answers it arrives, and collects per-operation figures: how
// many were sent and answered, the result codes seen, and the time from the
// call to the observer.
//
// A PTZ request whose answer carries the sequence number is matched by it;
// the others are answered in the order they were sent (each goes through one
// queue key of the SDK pool, which keeps that order). Pushed server events
// are matched by event type, and by content where the platform produces the
// same type by itself.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "event_format.h"
#include "event_record.h"

namespace kestrel_host {

// How the answer of a request is recognised.
struct AnswerMatch {
    Facade facade = Facade::Device;
    std::vector<int> eventTypes;
    bool bySeq = false;  // the answer's "seq" field equals the call's return value
    std::function<bool(const EventRecord&)> accept;  // optional further condition
};

enum class ReplyKind {
    Event,   // answered by an observer event
    Effect,  // reported to nobody: only the platform or the server sees it
    Local,   // answered by the call's return value
};

struct OperationStats {
    std::string operation;
    ReplyKind kind = ReplyKind::Event;
    std::size_t sent = 0;
    std::size_t answered = 0;
    std::map<int, std::size_t> results;    // event results seen
    std::map<long long, std::size_t> returns;  // values returned by calls that sent nothing
    std::vector<double> latenciesMs;

    double MedianMs() const;
    double WorstMs() const;
};

struct OutstandingRequest {
    std::string operation;
    std::string subject;
    int seq = 0;
    double waitingMs = 0;
};

struct ResultMismatch {
    std::string operation;
    std::string subject;
    int expected = 0;
    int got = 0;
    std::string event;
};

class RequestTracker {
public:
    RequestTracker() = default;
    RequestTracker(const RequestTracker&) = delete;
    RequestTracker& operator=(const RequestTracker&) = delete;

    // Registers a request and makes the call with the tracker locked, so that
    // an answer arriving before the call returns still finds its request.
    // `call` returns the façade's return value; when `posted` says that the
    // value means nothing was sent (e.g. -1), no answer is awaited and the
    // value is counted as returned. Returns the façade's return value.
    int Send(const std::string& operation, const std::string& subject, const AnswerMatch& match,
             std::optional<int> expectedResult, const std::function<int()>& call,
             const std::function<bool(int)>& posted = {});
    // A request that nothing answers (only the platform or server sees it).
    void NoteEffect(const std::string& operation);
    // A call answered by its return value.
    void NoteLocal(const std::string& operation, long long returned);

    // Matches an observer event; the answer it gave, if it answered a request.
    // A lock-expiry notice announces the release Kestrel sends by itself:
    // its answer is then awaited as "(automatic release)".
    std::optional<Answer> OnEvent(const EventRecord& event);

    // Until every awaited answer has arrived; false on time-out.
    bool WaitAnswered(std::chrono::milliseconds timeout);
    std::size_t PendingCount() const;
    std::vector<OutstandingRequest> Outstanding() const;

    // In order of first use; events that answered nothing appear as
    // "(unsolicited) <event name>".
    std::vector<OperationStats> Stats() const;
    std::vector<ResultMismatch> Mismatches() const;
    void ResetStats();

private:
    struct Pending {
        std::string operation;
        std::string subject;
        AnswerMatch match;
        int seq = 0;
        std::optional<int> expectedResult;
        std::chrono::steady_clock::time_point sent;
    };

    OperationStats& StatsOf(const std::string& operation, ReplyKind kind);
    bool Matches(const Pending& pending, const EventRecord& event) const;

    mutable std::mutex m_mutex;
    std::condition_variable m_answered;
    std::list<Pending> m_pending;
    std::vector<OperationStats> m_stats;
    std::map<std::string, std::size_t> m_statsIndex;
    std::vector<ResultMismatch> m_mismatches;
};

}  // namespace kestrel_host
