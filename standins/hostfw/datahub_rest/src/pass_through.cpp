// DataPassThroughJson: the request object to an HTTP request, the answer and
// its JSON envelope into the response object.
#include <cctype>
#include <new>
#include <string>
#include <string_view>

#include <boost/beast/core/string.hpp>
#include <boost/beast/http/field.hpp>
#include <boost/beast/http/verb.hpp>
#include <boost/json/serialize.hpp>
#include <boost/json/value.hpp>

#include "answer_data.h"
#include "datahub/head_param_list.h"
#include "datahub/rest.h"
#include "host_settings.h"
#include "hostfw/rest_host.h"
#include "http_exchange.h"
#include "meta_info.h"

namespace Datahub {
namespace {

namespace http = boost::beast::http;

constexpr int kDefaultTimeoutSeconds = 10;
constexpr int kMaxTimeoutSeconds = 3600;

void SetText(char*& slot, std::string_view text) {
    char* copy = detail::NewText(text.data(), text.size());
    if (!copy) throw std::bad_alloc();
    const_string_clear(slot);
    slot = copy;
}

void ClearText(char*& slot) {
    const_string_clear(slot);
    slot = nullptr;
}

// A response may be passed again: forget what an earlier call left in it.
void ResetResponse(PSDKResponse* r) {
    for (char** slot : {&r->uri, &r->rawBody, &r->reason, &r->answerContentType, &r->api_message,
                        &r->dataJson, &r->failure})
        ClearText(*slot);
    r->http_code = 0;
    r->api_code = 0;
    r->bodyBytes = 0;
}

int Finish(PSDKResponse* r, int error, const std::string& failure) {
    SetText(r->failure, failure);
    return error;
}

bool IsToken(std::string_view s) {
    if (s.empty()) return false;
    for (unsigned char c : s) {
        if (std::isalnum(c)) continue;
        if (std::string_view("!#$%&'*+-.^_`|~").find(static_cast<char>(c)) == std::string_view::npos)
            return false;
    }
    return true;
}

// The message's framing is the pass-through's own business.
bool IsFraming(std::string_view name) {
    return boost::beast::iequals(name, "Content-Length") || boost::beast::iequals(name, "Transfer-Encoding");
}

bool IsFieldValue(std::string_view s) {
    for (unsigned char c : s)
        if ((c < 0x20 && c != '\t') || c == 0x7f) return false;
    return true;
}

bool IsTarget(std::string_view s) {
    if (s.empty() || s.front() != '/') return false;
    for (unsigned char c : s)
        if (c <= 0x20 || c == 0x7f) return false;
    return true;
}

bool CarriesBody(http::verb v) {
    return v != http::verb::get && v != http::verb::head && v != http::verb::delete_;
}

// Reads the envelope {"code": int, "message": text, "data": any} into the
// response. False when the body is not one. "data" goes to its slot as the
// body spells it (re-serialising it cost a fifth of the call's own work),
// and its parsed value stays with the thread for the response's parse.
bool ReadEnvelope(const std::string& body, PSDKResponse* r) {
    const boost::json::value* envelope = detail::ParseAnswer(body);
    if (!envelope || !envelope->is_object()) return false;
    const boost::json::object& o = envelope->get_object();
    const boost::json::value* code = o.if_contains("code");
    if (!code) return false;
    if (code->is_int64() && code->get_int64() >= INT32_MIN && code->get_int64() <= INT32_MAX)
        r->api_code = static_cast<std::int32_t>(code->get_int64());
    else if (code->is_uint64() && code->get_uint64() <= INT32_MAX)
        r->api_code = static_cast<std::int32_t>(code->get_uint64());
    else
        return false;
    if (const boost::json::value* message = o.if_contains("message"); message && message->is_string())
        SetText(r->api_message, std::string_view(message->get_string()));
    if (const boost::json::value* data = o.if_contains("data"); data && !data->is_null()) {
        if (const auto raw = detail::RawMember(body, "data")) {
            SetText(r->dataJson, *raw);
        } else {
            SetText(r->dataJson, boost::json::serialize(*data));
        }
        detail::KeepData(*data, r->dataJson);
    }
    return true;
}

int PassThrough(int sessionId, const CHeadParamList* headers, PSDKRequest* request,
                PSDKResponse* response, int timeoutSeconds) {
    ResetResponse(response);
    if (!request) return Finish(response, PASS_THROUGH_INVALID_ARGUMENT, "no request");
    const http::verb verb = request->method ? http::string_to_verb(request->method) : http::verb::unknown;
    if (verb == http::verb::unknown)
        return Finish(response, PASS_THROUGH_INVALID_ARGUMENT, "no or unknown HTTP method");
    const char* target = request->uri ? request->uri : request->uriPath;
    if (!target || !IsTarget(target))
        return Finish(response, PASS_THROUGH_INVALID_ARGUMENT, "no or invalid URI");
    SetText(response->uri, target);

    const auto server = detail::CurrentServer();
    if (!server) return Finish(response, PASS_THROUGH_NO_SERVER, "no management server set");

    detail::HttpRequest message(verb, target, 11);
    message.set(http::field::host, server->Key());
    message.set(http::field::user_agent, "hostfw-datahub-rest");
    message.set(http::field::accept, "application/json");
    message.keep_alive(true);
    if (CarriesBody(verb)) {
        message.set(http::field::content_type,
                    request->contentType ? request->contentType : "application/json;charset=UTF-8");
        if (!IsFieldValue(message[http::field::content_type]))
            return Finish(response, PASS_THROUGH_INVALID_ARGUMENT, "invalid content type");
        if (request->jsonBody) message.body() = request->jsonBody;
    }
    if (headers) {
        for (const auto& header : headers->GetParams()) {
            if (!IsToken(header.first) || !IsFieldValue(header.second) || IsFraming(header.first))
                return Finish(response, PASS_THROUGH_INVALID_ARGUMENT, "invalid header " + header.first);
            message.set(header.first, header.second);
        }
    }
    message.set(Host::kSessionHeader, std::to_string(sessionId));
    message.prepare_payload();

    if (timeoutSeconds <= 0) timeoutSeconds = kDefaultTimeoutSeconds;
    if (timeoutSeconds > kMaxTimeoutSeconds) timeoutSeconds = kMaxTimeoutSeconds;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);

    ++detail::Statistics().calls;
    detail::ExchangeOutcome outcome =
        detail::RunExchange(*server, message, deadline, detail::MaxAnswerBytes());
    if (outcome.error) return Finish(response, outcome.error, outcome.failure);

    const detail::HttpAnswer& answer = outcome.answer;
    response->http_code = static_cast<std::int32_t>(answer.result_int());
    SetText(response->reason, std::string_view(answer.reason().data(), answer.reason().size()));
    if (auto type = answer.find(http::field::content_type); type != answer.end())
        SetText(response->answerContentType, std::string_view(type->value().data(), type->value().size()));
    SetText(response->rawBody, answer.body());
    response->bodyBytes = static_cast<std::int64_t>(answer.body().size());
    if (!ReadEnvelope(answer.body(), response)) {
        ClearText(response->api_message);
        ClearText(response->dataJson);
        response->api_code = 0;
        return Finish(response, PASS_THROUGH_BAD_ENVELOPE, "the answer's body is not a JSON envelope");
    }
    return PASS_THROUGH_OK;
}

}  // namespace

int DataPassThroughJson(int sessionId, const CHeadParamList* headers, PSDKRequest* request,
                        PSDKResponse* response, int timeoutSeconds, int) {
    if (!response) return PASS_THROUGH_INVALID_ARGUMENT;
    try {
        return PassThrough(sessionId, headers, request, response, timeoutSeconds);
    } catch (const std::bad_alloc&) {
        return PASS_THROUGH_OUT_OF_MEMORY;
    } catch (const std::exception&) {
        // Beast refuses fields it cannot send (too long, for one).
        return PASS_THROUGH_INVALID_ARGUMENT;
    }
}

}  // namespace Datahub
