#pragma once
// Small helpers of the PTZ tests: bytes of captured platform records, the
// fields of a PTZ result, a gate that holds one queue of the SDK pool, and a
// log capture.
#include <cstdint>
#include <cstring>
#include <future>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hostfw/vkl_host.h"
#include "kestrel/ptz_param.h"
#include "recording_observer.h"

namespace kestrel_test {

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

// One field of a record: a text (its bytes without the NUL) or a number in
// the machine's byte order, at its offset.
struct Field {
    Field(std::size_t at, const char* text) : offset(at), bytes(text, text + std::strlen(text)) {}
    Field(std::size_t at, int32_t value) : Field(at, &value, sizeof(value)) {}
    Field(std::size_t at, double value) : Field(at, &value, sizeof(value)) {}
    Field(std::size_t at, uint8_t value) : Field(at, &value, sizeof(value)) {}
    Field(std::size_t at, const void* data, std::size_t size);
    std::size_t offset;
    std::vector<uint8_t> bytes;
};
// Success when bytes are exactly a record of the size that is zero but for
// the fields; otherwise names the size or the first byte that differs.
::testing::AssertionResult IsRecord(const std::vector<uint8_t>& bytes, std::size_t size,
                                    std::initializer_list<Field> fields);

// Every field of a PTZ result but its type, compared at once by IsAnswer.
struct Answer {
    int result = 0;
    int seq = 0;
    std::string code{};
    int param = 0;
    bool enable = false;
    std::string msg{};
    unsigned int id = 0xFFFFFFFFu;  // a result's id when none is set
    std::string info{};
};
::testing::AssertionResult IsAnswer(const std::shared_ptr<Kestrel::CPtzParam>& param, const Answer& expected);
// Waits for n PTZ results of the type and returns the nth; a placeholder
// that matches no answer after a time-out.
std::shared_ptr<Kestrel::CPtzParam> WaitPtzResult(RecordingObserver& observer, int eventType, std::size_t n);

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
