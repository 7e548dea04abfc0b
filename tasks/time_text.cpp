#include "tasks/time_text.h"

#include <cstdio>
#include <ctime>

namespace Kestrel {

static_assert(sizeof(std::time_t) == 8, "time texts are converted on 64-bit time");

int64_t ParseLocalTimeText(const char* text) {
    if (text == nullptr) return 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (std::sscanf(text, "%4d%2d%2d%2d%2d%2d", &year, &month, &day, &hour, &minute, &second) != 6)
        return 0;
    std::tm calendar{};
    calendar.tm_year = year - 1900;
    calendar.tm_mon = month - 1;
    calendar.tm_mday = day;
    calendar.tm_hour = hour;
    calendar.tm_min = minute;
    calendar.tm_sec = second;
    calendar.tm_isdst = -1;  // the C library decides, the repeated hour included
    const std::time_t seconds = std::mktime(&calendar);
    return seconds < 0 ? 0 : static_cast<int64_t>(seconds);
}

}  // namespace Kestrel
