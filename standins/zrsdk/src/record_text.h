#pragma once
// Reading and writing the fixed text fields of SDK records.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace zrsdk {

// The text of a field, up to its first NUL and never past the field.
inline std::string ReadText(const char* field, std::size_t size) {
    const void* nul = std::memchr(field, 0, size);
    const std::size_t n = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : size;
    return std::string(field, n);
}

template <std::size_t N>
std::string ReadText(const char (&field)[N]) {
    return ReadText(field, N);
}

// Truncated to the field and NUL-terminated; the rest of the field is zeroed.
template <std::size_t N>
void WriteText(char (&field)[N], const std::string& text) {
    const std::size_t n = text.size() < N ? text.size() : N - 1;
    std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, N - n);
}

// "YYYYMMDDhhmmss" of the given second, in local time.
std::string LocalTimeText(int64_t secondsSince1970);

// A whole signed decimal number (optional sign, digits, nothing else).
bool ParseInt(const std::string& text, int& value);

}  // namespace zrsdk
