#pragma once
// The pass-through sequence every REST handler runs, so that a handler says
// only what it sends and what it does with the answer:
//
//   auto headers = MakeRestHeaders(m_userManager.load(), req.menuKey);
//   const RestCallSite site{"Ptz", "Kestrel::CPtz::HandleSetIdleMonitor", __LINE__};
//   int result = RunRestCall(site, PtzRestMutex(), CreateVSLPtzSetIdleMotionRequest,
//       CreateVSLPtzSetIdleMotionResponse, "/videoService/ptz/idleMotion/channels/",
//       headers.get(), sessionId,
//       [&](VSLPtzSetIdleMotionRequest& r) {
//           r.body.enable = req.motion.enable ? 1 : 0;
//           SetRestText(r.body.function, req.motion.function);
//           SetRestText(r.path.channelCode, req.code);
//       },
//       [&](int result, VSLPtzSetIdleMotionResponse* response) { ...post the result... });
//
// RunRestCall:
//  1. under `creationMutex` creates the request and the response (each
//     failure logged: "Memory malloc error, create RestRequestType object
//     failed" / "... RestResponseType object failed"; a missing response
//     releases the request);
//  2. when both exist: sets the URI path (slot 3), calls `fill`, calls build
//     (its result is not consulted), then DataPassThroughJson(session,
//     headers, request, response, 10, 0); a nonzero result is the outcome and
//     is logged "DataPassThroughJson failed, error = %d."; otherwise parse
//     runs (result not consulted) and the answer is judged (JudgeRestAnswer);
//  3. calls `use(result, response)` in every case (response null when it was
//     not made; its body is unparsed when the call failed);
//  4. releases the request and the response, and returns the result: 0,
//     -1 when an object was not made, the pass-through's code, the server's
//     code, or the HTTP status.
// `session` is the session id, or a callable returning it, called just
// before the exchange. `headers` may be null (no headers are sent). Every
// log line is level 6 with the site's source, line and function and an empty
// tag. Nothing is retried.
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include <boost/thread/lock_types.hpp>
#include <boost/thread/mutex.hpp>

#include "datahub/head_param_list.h"
#include "datahub/rest.h"
#include "rest/rest_messages.h"

namespace AccountLogic {
class CLoginManagerExternal;
class CUserManagerExternal;
}  // namespace AccountLogic

namespace Kestrel {

// Who runs a REST call, for its log lines.
struct RestCallSite {
    const char* source;    // "Ptz", "DeviceCommunicate"
    const char* function;  // "Kestrel::CPtz::HandleSetIdleMonitor"
    int line;
};

// The pass-through's time-out (seconds) and reserved argument.
constexpr int kRestTimeoutSeconds = 10;
constexpr int kRestReserved = 0;

// The audit headers of a call: "X-Operate-Code" = the menu key as
// GetMenuName leaves it, "X-Operate-Name" = the menu name it gives ("" when
// there is no login manager or it does not know the key), "X-Api-Version" =
// "2.0", in that order.
std::unique_ptr<Datahub::CHeadParamList> MakeRestHeaders(AccountLogic::CLoginManagerExternal* loginManager,
                                                         const std::string& menuKey);
// The same through the user manager's login manager (either may be null).
std::unique_ptr<Datahub::CHeadParamList> MakeRestHeaders(AccountLogic::CUserManagerExternal* userManager,
                                                         const std::string& menuKey);

// 0 for HTTP 200 with code 1000; otherwise the server's code when it is not
// 1000, else the HTTP status, logged with the long "DataPassThroughJson
// failed" line.
int JudgeRestAnswer(const RestCallSite& site, const Datahub::PSDKResponse& response);

// One level-6 log line of a REST call, formatted as the host's log formats.
void LogRestFailure(const RestCallSite& site, const char* format, ...) HOST_PRINTF_FORMAT(2, 3);

namespace detail {
inline int ReadSession(int session) { return session; }
template <class F, class = std::enable_if_t<std::is_invocable_r_v<int, F&>>>
int ReadSession(F& session) {
    return session();
}
}  // namespace detail

template <class Request, class Response, class Session, class Fill, class Use>
int RunRestCall(const RestCallSite& site, boost::mutex& creationMutex, Request* (*createRequest)(),
                Response* (*createResponse)(), const char* path, const Datahub::CHeadParamList* headers,
                Session&& session, Fill&& fill, Use&& use) {
    Request* request = nullptr;
    Response* response = nullptr;
    {
        boost::unique_lock<boost::mutex> lock(creationMutex);
        request = createRequest();
        if (!request) LogRestFailure(site, "Memory malloc error, create RestRequestType object failed");
        response = createResponse();
        if (!response) {
            LogRestFailure(site, "Memory malloc error, create RestResponseType object failed");
            if (request) request->slots.release(&request->slots);
            request = nullptr;
        }
    }

    int result = -1;
    if (request && response) {
        SetRestText(request->slots.uriPath, path);
        fill(*request);
        request->slots.build(&request->slots);
        result = Datahub::DataPassThroughJson(detail::ReadSession(session), headers, &request->slots,
                                              &response->slots, kRestTimeoutSeconds, kRestReserved);
        if (result != 0) {
            LogRestFailure(site, "DataPassThroughJson failed, error = %d.", result);
        } else {
            response->slots.parse(&response->slots);
            result = JudgeRestAnswer(site, response->slots);
        }
    }

    use(result, response);
    if (request) request->slots.release(&request->slots);
    if (response) response->slots.release(&response->slots);
    return result;
}

}  // namespace Kestrel
