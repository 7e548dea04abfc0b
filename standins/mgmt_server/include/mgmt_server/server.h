#pragma once
// A stand-in for the management server's REST interface: an HTTP/1.1 server
// on its own threads, with keep-alive, the guard-preset, idle-motion and
// device-restart routes over a Store, session checking and fault injection.
//
// Every answer is the JSON envelope {"code": <int>, "message": <text>,
// "data": <any>}; codes are those of ServerCode. The caller's session comes
// in the "X-Session-Id" header. Routes (percent-encoded path parameters are
// decoded):
//   POST   /psib/ptz/presetTask                      save a channel's task; data {"id"}
//   GET    /psib/ptz/presetTask/{channelCode}?type=N a channel's task; data
//          {"channelCode","channelSn"?,"configList":[...],"id","status"}
//          (no task: empty configList, id 0, status 0; "type" must be an
//          integer when given and does not filter)
//   DELETE /psib/ptz/presetTask/{id}                 delete a task; 1005 when unknown
//   PUT    /videoService/ptz/idleMotion/channels/{channelCode}
//          body {"enable","function","index","second"}
//   PUT    /videoService/devices/restart/{deviceCode}
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "mgmt_server/fault.h"
#include "mgmt_server/mgmt_server_export.h"
#include "mgmt_server/store.h"

namespace mgmt {

enum ServerCode {
    kCodeSuccess = 1000,
    kCodeInvalidSession = 1001,  // HTTP 401
    kCodeBadRequest = 1002,      // HTTP 400: malformed body or parameter
    kCodeNoSuchRoute = 1003,     // HTTP 404
    kCodeNotFound = 1005,        // HTTP 200: no such guard-preset task
    kCodeTooLarge = 1006,        // HTTP 413: request body over the limit
    kCodeInternal = 1500,        // HTTP 500
};

struct ServerOptions {
    std::string address = "127.0.0.1";
    unsigned short port = 0;  // 0: an ephemeral port
    std::size_t threads = 2;
    // Without a validator: accept every session id above 0, not only those
    // added with AddSession.
    bool acceptAllPositiveSessions = false;
    std::size_t maxRequestBytes = 1u << 20;
    // A kept-alive connection with no request for this long is closed.
    std::chrono::milliseconds idleTimeout = std::chrono::seconds(60);
};

// One request as the server saw it, and what it answered (status 0 when
// it did not answer).
struct MGMT_SERVER_API RequestRecord {
    std::string method;
    std::string target;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    unsigned status = 0;
    int code = 0;

    // The first header of that name (case-insensitive), if any.
    std::optional<std::string> Header(const std::string& name) const;
};

class MGMT_SERVER_API Server {
public:
    explicit Server(ServerOptions options = ServerOptions());
    ~Server();  // stops

    // Listens and starts the threads; false when it cannot listen. A stopped
    // server may be started again (on the same port when it had one).
    bool Start();
    // Closes every connection and joins the threads. Idempotent.
    void Stop();
    bool IsRunning() const;
    const std::string& Address() const;
    // The port listened on (known after the first Start).
    unsigned short Port() const;

    // Sessions: the validator decides when set; otherwise a session is valid
    // when added, or (if so configured) when above 0.
    using SessionValidator = std::function<bool(int sessionId)>;
    void SetSessionValidator(SessionValidator validator);
    void AddSession(int sessionId);
    void RemoveSession(int sessionId);
    void SetAcceptAllPositiveSessions(bool accept);

    // Faults apply in the order injected; each is used up after `count`
    // matching requests.
    void InjectFault(const Fault& fault);
    void ClearFaults();
    std::size_t PendingFaults() const;

    // Refusing: stops listening and closes every open connection, so that
    // connecting is refused; ResumeListening listens on the same port again.
    void StopListening();
    bool ResumeListening();
    // Closes the kept-alive connections that are waiting for a request, and
    // returns once they are closed.
    void CloseIdleConnections();

    std::size_t AcceptedConnections() const;
    std::size_t OpenConnections() const;
    // The last requests (at most 1000), oldest first.
    std::vector<RequestRecord> Requests() const;
    void ClearRequests();

    Store& GetStore();

    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace mgmt
