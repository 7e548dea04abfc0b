#include "tasks/time_text.h"

#include <cstdio>
#include <ctime>

namespace Kestrel {

namespace {
// Seconds east of UTC of the local zone at the instant.
long OffsetAt(std::time_t instant) {
    std::tm local{};
    return localtime_r(&instant, &local) != nullptr ? local.tm_gmtoff : 0;
}
}  // namespace

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
    calendar.tm_isdst = -1;
    static_assert(sizeof(std::time_t) == 8, "64-bit time expected");
    // What mktime would give, without its cost: glibc's mktime examines the
    // time zone afresh on every call (with TZ unset, a stat of
    // /etc/localtime each time, under the library's zone lock), while
    // localtime_r uses the zone as loaded. The fields are read as if UTC,
    // then shifted by the zone's offset at that instant, and the offset is
    // taken once more where the first shift crossed a daylight-saving change
    // (a local time that does not exist comes out after the change).
    const std::time_t asUtc = timegm(&calendar);
    std::time_t seconds = asUtc - OffsetAt(asUtc);
    seconds = asUtc - OffsetAt(seconds);
    return seconds < 0 ? 0 : static_cast<int64_t>(seconds);
}

}  // namespace Kestrel
