#include "event_format.h"

#include <cmath>
#include <cstdio>

#include <boost/json/serialize.hpp>

namespace kestrel_host {

namespace json = boost::json;

namespace {

bool NeedsQuotes(json::string_view text) {
    if (text.empty()) return true;
    for (char c : text)
        if (c == ' ' || c == '\t' || c == '"' || c == '=' || c == '\n' || c == '\\' ||
            static_cast<unsigned char>(c) < 0x20)
            return true;
    return false;
}

long long Microseconds(double ms) { return std::llround(ms * 1000.0); }

std::string Milliseconds(double ms) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f ms", ms);
    return text;
}

}  // namespace

namespace {

// Compact JSON with numbers written as people write them (0.93, not 9.3E-1).
std::string Compact(const json::value& value) {
    switch (value.kind()) {
        case json::kind::double_: {
            char text[32];
            std::snprintf(text, sizeof(text), "%.6g", value.get_double());
            return text;
        }
        case json::kind::array: {
            std::string out = "[";
            for (const json::value& item : value.get_array()) out += (out.size() > 1 ? "," : "") + Compact(item);
            return out + "]";
        }
        case json::kind::object: {
            std::string out = "{";
            for (const auto& field : value.get_object())
                out += (out.size() > 1 ? "," : "") + json::serialize(json::string(field.key())) + ":" + Compact(field.value());
            return out + "}";
        }
        default:
            return json::serialize(value);
    }
}

}  // namespace

std::string TextValue(const json::value& value) {
    if (value.is_string()) {
        const json::string& text = value.as_string();
        return NeedsQuotes(text) ? json::serialize(value) : std::string(text);
    }
    return Compact(value);
}

std::string TextFields(const json::object& fields) {
    std::string line;
    for (const auto& field : fields) {
        if (!line.empty()) line += ' ';
        line += std::string(field.key());
        line += '=';
        line += TextValue(field.value());
    }
    return line;
}

std::string FormatEventText(const EventRecord& event, const std::optional<Answer>& answer) {
    std::string line = event.name;
    line += " result=" + std::to_string(event.result);
    if (!event.fields.empty()) line += ' ' + TextFields(event.fields);
    line += " thread=";
    line += ThreadName(event.thread);
    if (answer) {
        line += "  <- " + answer->operation + ' ' + Milliseconds(answer->latencyMs);
        if (!answer->resultAsExpected && answer->expectedResult)
            line += "  (expected result " + std::to_string(*answer->expectedResult) + ")";
    }
    return line;
}

json::object FormatEventJson(const EventRecord& event, const std::optional<Answer>& answer) {
    json::object out;
    out["event"] = event.name;
    out["facade"] = FacadeName(event.facade);
    out["type"] = event.type;
    out["result"] = event.result;
    out["thread"] = ThreadName(event.thread);
    out["fields"] = event.fields;
    if (answer) {
        out["operation"] = answer->operation;
        out["latency_us"] = Microseconds(answer->latencyMs);
        if (answer->expectedResult) out["expected_result"] = *answer->expectedResult;
    }
    return out;
}

}  // namespace kestrel_host
