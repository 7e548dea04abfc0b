#include "vkl/str.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vkl {

int DStr::atoi(const char* text) {
    if (!text) return 0;
    errno = 0;
    const long long value = std::strtoll(text, nullptr, 10);
    // Out-of-range numbers saturate instead of wrapping.
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

int DStr::sprintf_x(char* buffer, std::size_t size, const char* format, ...) {
    if (!buffer || size == 0) return -1;
    if (!format) {
        buffer[0] = '\0';
        return 0;
    }
    va_list args;
    va_start(args, format);
    const int needed = std::vsnprintf(buffer, size, format, args);
    va_end(args);
    if (needed < 0) {
        buffer[0] = '\0';
        return -1;
    }
    const std::size_t written = static_cast<std::size_t>(needed) < size - 1
                                    ? static_cast<std::size_t>(needed)
                                    : size - 1;
    return static_cast<int>(written);
}

char* DStr::strcpy_x(char* dest, std::size_t size, const char* src) {
    if (!dest || size == 0) return dest;
    if (!src) {
        dest[0] = '\0';
        return dest;
    }
    const std::size_t n = strnlen(src, size - 1);
    std::memmove(dest, src, n);
    dest[n] = '\0';
    return dest;
}

}  // namespace vkl
