#pragma once
// One HTTP/1.1 request and its answer over a kept-alive or fresh connection,
// within a deadline.
#include <chrono>
#include <cstddef>
#include <string>

#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>

#include "host_settings.h"

namespace Datahub {
namespace detail {

using HttpRequest = boost::beast::http::request<boost::beast::http::string_body>;
using HttpAnswer = boost::beast::http::response<boost::beast::http::string_body>;

struct ExchangeOutcome {
    int error = 0;        // 0 or a PassThroughError_e
    std::string failure;  // what went wrong, for the response's slot 12
    HttpAnswer answer;    // complete when error is 0
};

// Sends `request` to `server` and reads the answer. A kept-alive connection
// that turns out closed before any answer byte arrived is retried once on a
// fresh one, unless the request is a POST of which some bytes were sent: the
// server may have acted on it, and the call fails with
// PASS_THROUGH_CONNECTION_LOST instead. Never blocks past `deadline`.
ExchangeOutcome RunExchange(const ServerAddress& server, const HttpRequest& request,
                            std::chrono::steady_clock::time_point deadline,
                            std::size_t maxAnswerBytes);

}  // namespace detail
}  // namespace Datahub
