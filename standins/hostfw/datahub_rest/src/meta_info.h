#pragma once
// What a MetaInfo descriptor holds, and typed access to a described record's
// members. Records are plain memory of any alignment: members are read and
// written with memcpy.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "datahub/rest.h"

namespace Datahub {
namespace detail {

enum class MemberKind { Int32, Int64, Bool, Text, List };

struct MetaMember {
    std::string name;
    std::size_t offset = 0;
    MemberKind kind = MemberKind::Int32;
    // Lists: the elements' descriptor (its size is the element size).
    std::unique_ptr<MetaInfo> element;
    // A "hasFieldOf_<name>" boolean: never written to JSON itself.
    bool isPresenceFlag = false;
    // Index of the "hasFieldOf_<name>" member that governs this one, or -1.
    int presenceFlag = -1;
};

std::size_t MemberBytes(MemberKind kind);

}  // namespace detail

struct MetaInfo {
    std::size_t size = 0;
    std::vector<detail::MetaMember> members;
};

namespace detail {

template <class T>
T Load(const void* record, std::size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

template <class T>
void Store(void* record, std::size_t offset, T value) {
    std::memcpy(static_cast<unsigned char*>(record) + offset, &value, sizeof value);
}

inline const char* LoadText(const void* record, const MetaMember& m) {
    return Load<const char*>(record, m.offset);
}

inline FreeBuffer LoadList(const void* record, const MetaMember& m) {
    return Load<FreeBuffer>(record, m.offset);
}

// Number of whole elements a list really holds (never more than its bytes).
std::size_t ListElements(const FreeBuffer& list, std::size_t elementSize);

// False when the member is a presence flag, or a flag governs it and is 0,
// or it is a null text.
bool MemberPresent(const void* record, const MetaInfo& desc, const MetaMember& m);

// A text copied from `length` bytes (NUL added); null when out of memory.
char* NewText(const char* text, std::size_t length);

}  // namespace detail
}  // namespace Datahub
