#pragma once
// The two printed forms of an event: one text line for people, one JSON
// object for scripts.
#include <optional>
#include <string>

#include <boost/json/object.hpp>

#include "event_record.h"

namespace kestrel_host {

// The request an event answered, when it answered one.
struct Answer {
    std::string operation;  // "SetLock", or "(automatic release)" and the like
    double latencyMs = 0;   // from the call to the observer
    bool resultAsExpected = true;
    std::optional<int> expectedResult;
};

// PTZ_EVENT_LOCK result=-501 code=ch-0003 seq=12 param=1 msg=supervisor thread=UI  <- SetLock 0.41 ms
std::string FormatEventText(const EventRecord& event, const std::optional<Answer>& answer);

// {"event":"PTZ_EVENT_LOCK","facade":"ptz","type":7,"result":-501,"thread":"UI",
//  "fields":{...},"operation":"SetLock","latency_us":410,"expected_result":-501}
boost::json::object FormatEventJson(const EventRecord& event, const std::optional<Answer>& answer);

// A value as it appears after "key=" in a text line: numbers and plain words
// as they are, texts with blanks, quotes or '=' and empty texts quoted,
// lists and records as compact JSON.
std::string TextValue(const boost::json::value& value);

// "k=v k=v ..." of an object, in its order.
std::string TextFields(const boost::json::object& fields);

}  // namespace kestrel_host
