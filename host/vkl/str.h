#pragma once
#include <cstddef>

#include "host_export.h"

namespace vkl {

class VKL_API DStr {
public:
    // Decimal text to int; 0 for null or for text without a leading number.
    static int atoi(const char* text);
    // snprintf into a buffer of size bytes, always terminated when size > 0;
    // returns the number of characters written (truncation included), or -1.
    static int sprintf_x(char* buffer, std::size_t size, const char* format, ...)
        HOST_PRINTF_FORMAT(3, 4);
    // Copies at most size - 1 characters and always terminates when size > 0.
    // A null source copies as the empty text. Returns dest.
    static char* strcpy_x(char* dest, std::size_t size, const char* src);
};

}  // namespace vkl
