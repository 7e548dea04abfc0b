#pragma once
// Small helpers of the PTZ tests: bytes of captured platform records, a gate
// that holds one queue of the SDK pool, and a log capture.
#include <cstdint>
#include <cstring>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "hostfw/vkl_host.h"

namespace kestrel_test {

// A value at an offset; 0 where the bytes end before it.
template <class T>
T ValueAt(const std::vector<uint8_t>& bytes, std::size_t offset) {
    T value = 0;
    if (offset + sizeof(value) <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof(value));
    return value;
}
inline int32_t I32At(const std::vector<uint8_t>& bytes, std::size_t offset) { return ValueAt<int32_t>(bytes, offset); }
inline double DoubleAt(const std::vector<uint8_t>& bytes, std::size_t offset) { return ValueAt<double>(bytes, offset); }

// The text of a field: up to its first NUL, at most width bytes.
inline std::string TextAt(const std::vector<uint8_t>& bytes, std::size_t offset, std::size_t width) {
    std::string text;
    for (std::size_t i = offset; i < offset + width && i < bytes.size() && bytes[i] != 0; ++i)
        text.push_back(static_cast<char>(bytes[i]));
    return text;
}

// True when every byte of [from, to) is zero.
inline bool ZeroFrom(const std::vector<uint8_t>& bytes, std::size_t from, std::size_t to) {
    if (to > bytes.size()) return false;
    for (std::size_t i = from; i < to; ++i)
        if (bytes[i] != 0) return false;
    return true;
}

// Holds every later task of one pool key until Open (or destruction).
class QueueGate {
public:
    explicit QueueGate(const std::string& key);
    ~QueueGate() { Open(); }
    void Open();

private:
    std::promise<void> m_open;
    bool m_opened = false;
};

// Collects the log lines written while it lives.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    std::vector<vkl::Host::LogRecord> Lines();
    // The lines written by one function.
    std::vector<vkl::Host::LogRecord> LinesOf(const std::string& function);

private:
    std::mutex m_mutex;
    std::vector<vkl::Host::LogRecord> m_lines;
};

}  // namespace kestrel_test
