#pragma once
// The server's state shared by its connections: store, sessions, faults,
// the request log, and the decision of how to answer one request.
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>

#include "mgmt_server/server.h"
#include "router.h"

namespace mgmt {

using HttpRequest = boost::beast::http::request<boost::beast::http::string_body>;

struct Decision {
    Fault::Kind kind = Fault::Kind::Answer;
    std::chrono::milliseconds delay{0};
    Answer answer;  // Kind::Answer
    std::size_t hugeBytes = 0;
};

class ServerCore {
public:
    explicit ServerCore(const ServerOptions& options) : m_options(options) {}

    // Logs the request, applies the first matching fault, checks the session
    // and serves the route.
    Decision Decide(const HttpRequest& request);
    // The answer to a request that could not be read (too large, malformed).
    void RecordUnreadable(unsigned status, int code);

    const ServerOptions& Options() const { return m_options; }
    Store& GetStore() { return m_store; }

    void SetSessionValidator(Server::SessionValidator validator);
    void AddSession(int sessionId);
    void RemoveSession(int sessionId);
    void SetAcceptAllPositiveSessions(bool accept);

    void InjectFault(const Fault& fault);
    void ClearFaults();
    std::size_t PendingFaults() const;

    std::vector<RequestRecord> Requests() const;
    void ClearRequests();

    std::atomic<std::size_t> accepted{0};
    std::atomic<std::size_t> open{0};

private:
    bool SessionValid(const HttpRequest& request);
    bool TakeFault(const HttpRequest& request, Fault& fault);
    void Record(const HttpRequest& request, unsigned status, int code);

    ServerOptions m_options;
    Store m_store;

    std::mutex m_sessionMutex;
    Server::SessionValidator m_validator;
    std::set<int> m_sessions;

    mutable std::mutex m_faultMutex;
    std::vector<Fault> m_faults;

    mutable std::mutex m_recordMutex;
    std::deque<RequestRecord> m_records;
};

}  // namespace mgmt
