#pragma once
// The REST routes over the Store, for a request whose session was accepted.
#include <optional>
#include <string>
#include <string_view>

#include <boost/beast/http/verb.hpp>
#include <boost/json/value.hpp>

#include "mgmt_server/server.h"

namespace mgmt {

struct Answer {
    unsigned status = 200;
    int code = kCodeSuccess;
    std::string message = "success";
    boost::json::value data;  // null: sent as "data": null
    // Sent as "data" instead of `data`, as it is (may be any text).
    std::optional<std::string> rawData;
};

Answer ErrorAnswer(unsigned status, int code, std::string message);

Answer Route(Store& store, boost::beast::http::verb method, std::string_view target,
             const std::string& body);

// {"code":..,"message":..,"data":..}
std::string EnvelopeText(const Answer& answer);

}  // namespace mgmt
