// Texts, lists and whole described records: allocation, deep copy, release.
#include <cstdlib>
#include <cstring>
#include <limits>

#include "meta_info.h"

namespace Datahub {
namespace {

using detail::MemberKind;
using detail::MetaMember;

// Copies `source` into raw `destination` memory; every text and list of the
// copy is its own. False when memory ran out: what was not copied is null.
bool CopyRecord(void* destination, const void* source, const MetaInfo& desc) {
    std::memcpy(destination, source, desc.size);
    // First cut every link to the source, so that a half-made copy is safe
    // to clear.
    for (const MetaMember& m : desc.members) {
        if (m.kind == MemberKind::Text) detail::Store<const char*>(destination, m.offset, nullptr);
        if (m.kind == MemberKind::List) free_buffer_init(static_cast<unsigned char*>(destination) + m.offset);
    }
    bool complete = true;
    for (const MetaMember& m : desc.members) {
        if (m.kind == MemberKind::Text) {
            const char* text = detail::LoadText(source, m);
            if (!text) continue;
            char* copy = const_string_new(text);
            if (!copy) complete = false;
            detail::Store<const char*>(destination, m.offset, copy);
        } else if (m.kind == MemberKind::List) {
            const FreeBuffer list = detail::LoadList(source, m);
            const std::size_t elementSize = m.element->size;
            const std::size_t n = detail::ListElements(list, elementSize);
            void* target = static_cast<unsigned char*>(destination) + m.offset;
            for (std::size_t i = 0; i < n; ++i) {
                void* element = free_buffer_append(target, nullptr, elementSize);
                if (!element) {
                    complete = false;
                    break;
                }
                const void* from = static_cast<const unsigned char*>(list.data) + i * elementSize;
                if (!CopyRecord(element, from, *m.element)) complete = false;
            }
        }
    }
    return complete;
}

}  // namespace

char* const_string_new(const char* text) {
    if (!text) return nullptr;
    return detail::NewText(text, std::strlen(text));
}

void const_string_clear(const char* text) {
    std::free(const_cast<char*>(text));
}

void free_buffer_init(void* list) {
    if (list) std::memset(list, 0, sizeof(FreeBuffer));
}

void* free_buffer_append(void* list, const void* data, std::size_t bytes) {
    if (!list || bytes == 0) return nullptr;
    FreeBuffer buffer;
    std::memcpy(&buffer, list, sizeof buffer);
    if (buffer.count < 0 || buffer.count == std::numeric_limits<std::int32_t>::max() ||
        bytes > std::numeric_limits<std::size_t>::max() / 2 - buffer.bytes)
        return nullptr;
    const std::size_t needed = buffer.bytes + bytes;
    if (needed > buffer.capacity || !buffer.data) {
        std::size_t capacity = buffer.capacity * 2;
        if (capacity < needed) capacity = needed;
        if (capacity < 64) capacity = 64;
        void* grown = std::realloc(buffer.data, capacity);
        if (!grown) return nullptr;
        buffer.data = grown;
        buffer.capacity = capacity;
    }
    unsigned char* space = static_cast<unsigned char*>(buffer.data) + buffer.bytes;
    if (data)
        std::memcpy(space, data, bytes);
    else
        std::memset(space, 0, bytes);
    buffer.bytes = needed;
    ++buffer.count;
    std::memcpy(list, &buffer, sizeof buffer);
    return space;
}

int object_copy(void* destination, const void* source, const MetaInfo* desc) {
    if (!destination || !source || !desc) return -1;
    return CopyRecord(destination, source, *desc) ? 0 : -1;
}

void object_clear(void* record, const MetaInfo* desc) {
    if (!record || !desc) return;
    for (const MetaMember& m : desc->members) {
        if (m.kind == MemberKind::Text) {
            const_string_clear(detail::LoadText(record, m));
            detail::Store<const char*>(record, m.offset, nullptr);
        } else if (m.kind == MemberKind::List) {
            const FreeBuffer list = detail::LoadList(record, m);
            const std::size_t n = detail::ListElements(list, m.element->size);
            for (std::size_t i = 0; i < n; ++i)
                object_clear(static_cast<unsigned char*>(list.data) + i * m.element->size, m.element.get());
            std::free(list.data);
            free_buffer_init(static_cast<unsigned char*>(record) + m.offset);
        }
    }
}

}  // namespace Datahub
