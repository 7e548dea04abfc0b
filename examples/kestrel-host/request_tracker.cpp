#include "request_tracker.h"

#include <algorithm>

#include "kestrel/ptz_param.h"

namespace kestrel_host {

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

double OperationStats::MedianMs() const {
    if (latenciesMs.empty()) return 0;
    std::vector<double> sorted = latenciesMs;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    return n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

double OperationStats::WorstMs() const {
    return latenciesMs.empty() ? 0 : *std::max_element(latenciesMs.begin(), latenciesMs.end());
}

OperationStats& RequestTracker::StatsOf(const std::string& operation, ReplyKind kind) {
    auto found = m_statsIndex.find(operation);
    if (found != m_statsIndex.end()) return m_stats[found->second];
    m_statsIndex[operation] = m_stats.size();
    OperationStats stats;
    stats.operation = operation;
    stats.kind = kind;
    m_stats.push_back(std::move(stats));
    return m_stats.back();
}

int RequestTracker::Send(const std::string& operation, const std::string& subject, const AnswerMatch& match,
                         std::optional<int> expectedResult, const std::function<int()>& call,
                         const std::function<bool(int)>& posted) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Pending pending;
    pending.operation = operation;
    pending.subject = subject;
    pending.match = match;
    pending.expectedResult = expectedResult;
    pending.sent = Clock::now();
    const int value = call();
    OperationStats& stats = StatsOf(operation, ReplyKind::Event);
    ++stats.sent;
    if (posted && !posted(value)) {
        ++stats.returns[value];
        return value;
    }
    pending.seq = match.bySeq ? value : 0;
    m_pending.push_back(std::move(pending));
    return value;
}

void RequestTracker::NoteEffect(const std::string& operation) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++StatsOf(operation, ReplyKind::Effect).sent;
}

void RequestTracker::NoteLocal(const std::string& operation, long long returned) {
    std::lock_guard<std::mutex> lock(m_mutex);
    OperationStats& stats = StatsOf(operation, ReplyKind::Local);
    ++stats.sent;
    ++stats.returns[returned];
}

bool RequestTracker::Matches(const Pending& pending, const EventRecord& event) const {
    const AnswerMatch& match = pending.match;
    if (match.facade != event.facade) return false;
    if (std::find(match.eventTypes.begin(), match.eventTypes.end(), event.type) == match.eventTypes.end())
        return false;
    if (match.bySeq && event.Int("seq", -1) != pending.seq) return false;
    return !match.accept || match.accept(event);
}

std::optional<Answer> RequestTracker::OnEvent(const EventRecord& event) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = std::find_if(m_pending.begin(), m_pending.end(),
                              [&](const Pending& pending) { return Matches(pending, event); });
    if (found == m_pending.end()) {
        ++StatsOf("(unsolicited) " + event.name, ReplyKind::Event).answered;
        if (event.facade == Facade::Ptz && event.type == Kestrel::CPtzParam::PTZ_EVENT_LOCK_EXPIRED) {
            // Kestrel sends the release itself; its answer carries this seq.
            Pending release;
            release.operation = "(automatic release)";
            release.subject = event.Text("code");
            release.match.facade = Facade::Ptz;
            release.match.eventTypes = {Kestrel::CPtzParam::PTZ_EVENT_LOCK};
            release.match.bySeq = true;
            release.seq = static_cast<int>(event.Int("seq"));
            release.sent = event.arrived;
            ++StatsOf(release.operation, ReplyKind::Event).sent;
            m_pending.push_back(std::move(release));
        }
        return std::nullopt;
    }
    Answer answer;
    answer.operation = found->operation;
    answer.latencyMs = std::max(0.0, Ms(event.arrived - found->sent));
    answer.expectedResult = found->expectedResult;
    answer.resultAsExpected = !found->expectedResult || *found->expectedResult == event.result;
    OperationStats& stats = StatsOf(found->operation, ReplyKind::Event);
    ++stats.answered;
    ++stats.results[event.result];
    stats.latenciesMs.push_back(answer.latencyMs);
    if (!answer.resultAsExpected)
        m_mismatches.push_back({found->operation, found->subject, *found->expectedResult, event.result, event.name});
    m_pending.erase(found);
    m_answered.notify_all();
    return answer;
}

bool RequestTracker::WaitAnswered(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_answered.wait_for(lock, timeout, [this] { return m_pending.empty(); });
}

std::size_t RequestTracker::PendingCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pending.size();
}

std::vector<OutstandingRequest> RequestTracker::Outstanding() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Clock::time_point now = Clock::now();
    std::vector<OutstandingRequest> out;
    for (const Pending& pending : m_pending)
        out.push_back({pending.operation, pending.subject, pending.seq, Ms(now - pending.sent)});
    return out;
}

std::vector<OperationStats> RequestTracker::Stats() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    // Requests in order of first use, then the events that answered none.
    std::vector<OperationStats> stats;
    for (const OperationStats& s : m_stats)
        if (s.sent > 0 || s.answered == 0) stats.push_back(s);
    for (const OperationStats& s : m_stats)
        if (s.sent == 0 && s.answered > 0) stats.push_back(s);
    return stats;
}

std::vector<ResultMismatch> RequestTracker::Mismatches() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mismatches;
}

void RequestTracker::ResetStats() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stats.clear();
    m_statsIndex.clear();
    m_mismatches.clear();
}

}  // namespace kestrel_host
