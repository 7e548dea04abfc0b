#include "value_parse.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace kestrel_host {

namespace {
[[noreturn]] void Bad(const std::string& name, const std::string& what, const std::string& text) {
    throw std::invalid_argument(name + ": expected " + what + ", got \"" + text + "\"");
}
}  // namespace

long long ParseInt64(const std::string& text, const std::string& name) {
    if (text.empty()) Bad(name, "an integer", text);
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno == ERANGE || end != text.c_str() + text.size()) Bad(name, "an integer", text);
    return value;
}

int ParseInt(const std::string& text, const std::string& name, int min, int max) {
    const long long value = ParseInt64(text, name);
    if (value < min || value > max)
        Bad(name, "an integer from " + std::to_string(min) + " to " + std::to_string(max), text);
    return static_cast<int>(value);
}

double ParseDouble(const std::string& text, const std::string& name) {
    if (text.empty()) Bad(name, "a number", text);
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (errno == ERANGE || end != text.c_str() + text.size() || !std::isfinite(value)) Bad(name, "a number", text);
    return value;
}

bool ParseBool(const std::string& text, const std::string& name) {
    if (text == "on" || text == "true" || text == "yes" || text == "1") return true;
    if (text == "off" || text == "false" || text == "no" || text == "0") return false;
    Bad(name, "on or off", text);
}

std::vector<int> ParseIntList(const std::string& text, const std::string& name, std::size_t max) {
    std::vector<int> values;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        values.push_back(ParseInt(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start), name));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (values.size() > max) Bad(name, "at most " + std::to_string(max) + " comma-separated integers", text);
    return values;
}

}  // namespace kestrel_host
