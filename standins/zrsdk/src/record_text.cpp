#include "record_text.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <stdexcept>

#include <boost/date_time/c_time.hpp>

namespace zrsdk {

std::string LocalTimeText(int64_t secondsSince1970) {
    const std::time_t t = static_cast<std::time_t>(secondsSince1970);
    std::tm buffer{};
    const std::tm* local = nullptr;
    try {
        // The C library's thread-safe local time, whichever it has.
        local = boost::date_time::c_time::localtime(&t, &buffer);
    } catch (const std::runtime_error&) {
        return std::string();  // outside what the C library converts
    }
    char text[32];
    std::snprintf(text, sizeof(text), "%04d%02d%02d%02d%02d%02d", local->tm_year + 1900,
                  local->tm_mon + 1, local->tm_mday, local->tm_hour, local->tm_min, local->tm_sec);
    return text;
}

bool ParseInt(const std::string& text, int& value) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0' || parsed < INT32_MIN ||
        parsed > INT32_MAX || text[0] == ' ') {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

}  // namespace zrsdk
