#pragma once
#include <cstdint>

namespace Kestrel {

// The platform's 14-digit local time text ("%4d%2d%2d%2d%2d%2d": year, month,
// day, hour, minute, second) as seconds since 1970-01-01 UTC, converted by
// the C library's mktime with the daylight-saving flag left to it. 0 for a
// null text, for a text that does not hold six numbers, and for a time
// before 1970.
int64_t ParseLocalTimeText(const char* text);

}  // namespace Kestrel
