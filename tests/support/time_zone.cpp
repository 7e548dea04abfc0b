#include "time_zone.h"

#include <cstdlib>
#include <ctime>

namespace kestrel_test {

void UseTimeZone(const char* zone) {
#ifdef _WIN32
    _putenv_s("TZ", zone != nullptr ? zone : "");
    _tzset();
#else
    if (zone != nullptr)
        setenv("TZ", zone, 1);
    else
        unsetenv("TZ");
    tzset();
#endif
}

ScopedTimeZone::ScopedTimeZone(const char* zone) {
    if (const char* previous = std::getenv("TZ")) m_previous = previous;
    UseTimeZone(zone);
}

ScopedTimeZone::~ScopedTimeZone() { UseTimeZone(m_previous ? m_previous->c_str() : nullptr); }

}  // namespace kestrel_test
