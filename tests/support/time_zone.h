#pragma once
// The process's time zone for the C library's local-time conversions.
#include <optional>
#include <string>

namespace kestrel_test {

// Sets TZ to `zone` (null: removes it) and makes the C library read it again.
void UseTimeZone(const char* zone);

// Sets TZ for its lifetime, then puts back what was there (or its absence).
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> m_previous;
};

}  // namespace kestrel_test
