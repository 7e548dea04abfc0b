#pragma once
// Small helpers of the tests: bytes of captured platform records, the
// fields of a PTZ result, and a gate that holds one queue of the SDK pool.
// The recorders (the observer, the log capture) come with it.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <future>
#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "kestrel/ptz_param.h"
#include "recording_observer.h"
#include "tasks/task_worker.h"

namespace kestrel_test {

// The text of a field: up to its first NUL, at most width bytes.
inline std::string TextAt(const std::vector<uint8_t>& bytes, std::size_t offset, std::size_t width) {
    std::string text;
    for (std::size_t i = offset; i < offset + width && i < bytes.size() && bytes[i] != 0; ++i)
        text.push_back(static_cast<char>(bytes[i]));
    return text;
}

// One field of a record: a text (its bytes without the NUL) or a number in
// the machine's byte order and of its type's size, at its offset.
struct Field {
    Field(std::size_t at, const char* text) : offset(at), bytes(text, text + std::strlen(text)) {}
    template <class T, class = std::enable_if_t<std::is_arithmetic<T>::value || std::is_enum<T>::value>>
    Field(std::size_t at, T value) : offset(at), bytes(sizeof(T)) {
        std::memcpy(bytes.data(), &value, sizeof(T));
    }
    std::size_t offset;
    std::vector<uint8_t> bytes;
};

// The bytes of a platform record, to compare a captured input with whole.
template <class Record>
std::vector<uint8_t> BytesOf(const Record& record) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
    return std::vector<uint8_t>(bytes, bytes + sizeof record);
}

// Success when bytes are exactly the expected ones; otherwise names the size
// or the first byte that differs.
inline ::testing::AssertionResult SameBytes(const std::vector<uint8_t>& bytes, const std::vector<uint8_t>& expected) {
    if (bytes.size() != expected.size())
        return ::testing::AssertionFailure() << "size " << bytes.size() << ", not " << expected.size();
    const auto differ = std::mismatch(bytes.begin(), bytes.end(), expected.begin());
    if (differ.first == bytes.end()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "byte " << differ.first - bytes.begin() << " is " << int(*differ.first)
                                         << ", not " << int(*differ.second);
}

// Bytes that are exactly the record given whole...
template <class Record, class = std::enable_if_t<std::is_trivially_copyable<Record>::value>>
::testing::AssertionResult IsRecord(const std::vector<uint8_t>& bytes, const Record& record) {
    return SameBytes(bytes, BytesOf(record));
}

// ...or a record of the size that is zero but for the fields.
inline ::testing::AssertionResult IsRecord(const std::vector<uint8_t>& bytes, std::size_t size,
                                           std::initializer_list<Field> fields) {
    std::vector<uint8_t> expected(size, 0);
    for (const Field& field : fields) {
        if (field.offset + field.bytes.size() > size)
            return ::testing::AssertionFailure() << "the field at " << field.offset << " ends past the record";
        std::copy(field.bytes.begin(), field.bytes.end(), expected.begin() + field.offset);
    }
    return SameBytes(bytes, expected);
}

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
inline ::testing::AssertionResult IsAnswer(const std::shared_ptr<Kestrel::CPtzParam>& param, const Answer& expected) {
    const Answer got{param->GetEventResult(), param->GetSeq(), param->GetCode(), param->GetParam(),
                     param->GetEnable(),      param->GetMsg(), param->GetId(),   param->GetInfo()};
    const auto fields = [](const Answer& a) {
        return std::tie(a.result, a.seq, a.code, a.param, a.enable, a.msg, a.id, a.info);
    };
    if (fields(got) == fields(expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << ::testing::PrintToString(fields(got)) << "\nnot "
                                         << ::testing::PrintToString(fields(expected));
}

// Holds every later task of one pool key until Open (or destruction).
class QueueGate {
public:
    explicit QueueGate(const std::string& key) {
        std::shared_future<void> opened = m_open.get_future().share();
        Kestrel::PostToPool(key, [opened] { opened.wait(); });
    }
    ~QueueGate() { Open(); }
    void Open() {
        if (m_opened) return;
        m_opened = true;
        m_open.set_value();
    }

private:
    std::promise<void> m_open;
    bool m_opened = false;
};

}  // namespace kestrel_test
