#include "server_core.h"

#include <boost/beast/core/string.hpp>

namespace mgmt {
namespace {

constexpr std::size_t kMaxRecords = 1000;
constexpr const char* kSessionHeader = "X-Session-Id";

bool ParseSession(boost::beast::string_view text, int& sessionId) {
    const std::string value(text);
    std::size_t used = 0;
    try {
        sessionId = std::stoi(value, &used);
    } catch (const std::exception&) {
        return false;
    }
    return !value.empty() && used == value.size();
}

}  // namespace

std::optional<std::string> RequestRecord::Header(const std::string& name) const {
    for (const auto& header : headers)
        if (boost::beast::iequals(header.first, name)) return header.second;
    return std::nullopt;
}

Decision ServerCore::Decide(const HttpRequest& request) {
    Decision decision;
    Fault fault;
    if (TakeFault(request, fault)) {
        decision.kind = fault.kind;
        decision.delay = fault.delay;
        decision.hugeBytes = fault.hugeBytes;
        const bool overrides = fault.httpStatus != 0 || fault.serverCode || fault.dataJson;
        if (fault.kind != Fault::Kind::Answer || overrides) {
            decision.answer.status = fault.httpStatus ? static_cast<unsigned>(fault.httpStatus) : 200u;
            decision.answer.code = fault.serverCode.value_or(kCodeSuccess);
            decision.answer.message = fault.message.empty() ? "injected fault" : fault.message;
            decision.answer.rawData = fault.dataJson;
            const bool answered = fault.kind != Fault::Kind::CloseWithoutAnswer;
            Record(request, answered ? decision.answer.status : 0u,
                   fault.kind == Fault::Kind::Answer ? decision.answer.code : 0);
            return decision;
        }
    }
    if (!SessionValid(request))
        decision.answer = ErrorAnswer(401, kCodeInvalidSession, "invalid or missing session");
    else
        decision.answer = Route(m_store, request.method(), request.target(), request.body());
    Record(request, decision.answer.status, decision.answer.code);
    return decision;
}

void ServerCore::RecordUnreadable(unsigned status, int code) {
    Record(HttpRequest(), status, code);
}

bool ServerCore::SessionValid(const HttpRequest& request) {
    auto header = request.find(kSessionHeader);
    int sessionId = 0;
    if (header == request.end() || !ParseSession(header->value(), sessionId)) return false;
    Server::SessionValidator validator;
    {
        std::lock_guard<std::mutex> lock(m_sessionMutex);
        if (!m_validator)
            return m_sessions.count(sessionId) > 0 || (m_options.acceptAllPositiveSessions && sessionId > 0);
        validator = m_validator;
    }
    // Called without the lock: it may call into the embedder's own code.
    return validator(sessionId);
}

bool ServerCore::TakeFault(const HttpRequest& request, Fault& fault) {
    const std::string method(request.method_string());
    const std::string target(request.target());
    std::lock_guard<std::mutex> lock(m_faultMutex);
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
        if (!it->method.empty() && it->method != method) continue;
        if (target.compare(0, it->path.size(), it->path) != 0) continue;
        fault = *it;
        if (--it->count <= 0) m_faults.erase(it);
        return true;
    }
    return false;
}

void ServerCore::Record(const HttpRequest& request, unsigned status, int code) {
    RequestRecord record;
    record.method = std::string(request.method_string());
    record.target = std::string(request.target());
    for (const auto& field : request)
        record.headers.emplace_back(std::string(field.name_string()), std::string(field.value()));
    record.body = request.body();
    record.status = status;
    record.code = code;
    std::lock_guard<std::mutex> lock(m_recordMutex);
    m_records.push_back(std::move(record));
    if (m_records.size() > kMaxRecords) m_records.pop_front();
}

void ServerCore::SetSessionValidator(Server::SessionValidator validator) {
    std::lock_guard<std::mutex> lock(m_sessionMutex);
    m_validator = std::move(validator);
}

void ServerCore::AddSession(int sessionId) {
    std::lock_guard<std::mutex> lock(m_sessionMutex);
    m_sessions.insert(sessionId);
}

void ServerCore::RemoveSession(int sessionId) {
    std::lock_guard<std::mutex> lock(m_sessionMutex);
    m_sessions.erase(sessionId);
}

void ServerCore::SetAcceptAllPositiveSessions(bool accept) {
    std::lock_guard<std::mutex> lock(m_sessionMutex);
    m_options.acceptAllPositiveSessions = accept;
}

void ServerCore::InjectFault(const Fault& fault) {
    if (fault.count <= 0) return;
    std::lock_guard<std::mutex> lock(m_faultMutex);
    m_faults.push_back(fault);
}

void ServerCore::ClearFaults() {
    std::lock_guard<std::mutex> lock(m_faultMutex);
    m_faults.clear();
}

std::size_t ServerCore::PendingFaults() const {
    std::lock_guard<std::mutex> lock(m_faultMutex);
    return m_faults.size();
}

std::vector<RequestRecord> ServerCore::Requests() const {
    std::lock_guard<std::mutex> lock(m_recordMutex);
    return std::vector<RequestRecord>(m_records.begin(), m_records.end());
}

void ServerCore::ClearRequests() {
    std::lock_guard<std::mutex> lock(m_recordMutex);
    m_records.clear();
}

}  // namespace mgmt
