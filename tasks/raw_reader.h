#pragma once
// Bounded reads from a raw platform record: every read checks that the bytes
// lie inside the record, so a short or corrupt payload never makes Kestrel
// read past its end.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace Kestrel {

class CRawReader {
public:
    CRawReader(const void* data, std::size_t size)
        : m_data(static_cast<const unsigned char*>(data)), m_size(data != nullptr ? size : 0) {}

    std::size_t Size() const { return m_size; }
    bool Has(std::size_t offset, std::size_t length) const {
        return offset <= m_size && length <= m_size - offset;
    }

    // Text in a field of at most width bytes: up to its first zero byte, or
    // the field's (or record's) end when it has none.
    std::string Text(std::size_t offset, std::size_t width) const {
        if (offset >= m_size) return std::string();
        if (width > m_size - offset) width = m_size - offset;
        const char* begin = reinterpret_cast<const char*>(m_data + offset);
        const void* nul = std::memchr(begin, 0, width);
        return std::string(begin, nul ? static_cast<const char*>(nul) - begin : width);
    }

    // Little-endian value at offset; 0 when it does not lie inside the record.
    template <class T>
    T Value(std::size_t offset) const {
        T value{};
        if (Has(offset, sizeof(T))) std::memcpy(&value, m_data + offset, sizeof(T));
        return value;
    }

    int32_t I32(std::size_t offset) const { return Value<int32_t>(offset); }
    uint32_t U32(std::size_t offset) const { return Value<uint32_t>(offset); }
    bool Flag(std::size_t offset) const { return Value<uint8_t>(offset) != 0; }

private:
    const unsigned char* m_data;
    std::size_t m_size;
};

}  // namespace Kestrel
