#include "meta_info.h"

#include <cstdlib>
#include <new>

namespace Datahub {
namespace detail {
namespace {

const char kPresencePrefix[] = "hasFieldOf_";
constexpr std::size_t kPresencePrefixLength = sizeof kPresencePrefix - 1;

bool IsPresenceFlagName(const std::string& name) {
    return name.size() > kPresencePrefixLength &&
           name.compare(0, kPresencePrefixLength, kPresencePrefix) == 0;
}

// "hasFieldOf_x" governs the member "x", or "_x" where the generated
// record keeps it under that name.
bool Governs(const MetaMember& flag, const MetaMember& member) {
    const std::string governed = flag.name.substr(kPresencePrefixLength);
    return member.name == governed || member.name == "_" + governed;
}

// Links a new member with its presence flag, whichever was added first.
void LinkPresence(MetaInfo& desc, std::size_t added) {
    MetaMember& m = desc.members[added];
    for (std::size_t i = 0; i < desc.members.size(); ++i) {
        if (i == added) continue;
        MetaMember& other = desc.members[i];
        if (m.isPresenceFlag && !other.isPresenceFlag && Governs(m, other))
            other.presenceFlag = static_cast<int>(added);
        else if (!m.isPresenceFlag && other.isPresenceFlag && Governs(other, m))
            m.presenceFlag = static_cast<int>(i);
    }
}

MetaMember* AddMember(MetaInfo* desc, std::size_t offset, MemberKind kind, const char* name) {
    if (!desc || !name || !*name) return nullptr;
    const std::size_t bytes = MemberBytes(kind);
    if (offset > desc->size || desc->size - offset < bytes) return nullptr;
    MetaMember m;
    m.name = name;
    m.offset = offset;
    m.kind = kind;
    m.isPresenceFlag = kind == MemberKind::Bool && IsPresenceFlagName(m.name);
    desc->members.push_back(std::move(m));
    LinkPresence(*desc, desc->members.size() - 1);
    return &desc->members.back();
}

}  // namespace

std::size_t MemberBytes(MemberKind kind) {
    switch (kind) {
        case MemberKind::Int32:
        case MemberKind::Bool: return 4;
        case MemberKind::Int64:
        case MemberKind::Text: return 8;
        case MemberKind::List: return sizeof(FreeBuffer);
    }
    return 0;
}

std::size_t ListElements(const FreeBuffer& list, std::size_t elementSize) {
    if (!list.data || list.count <= 0 || elementSize == 0) return 0;
    const std::size_t whole = list.bytes / elementSize;
    const std::size_t counted = static_cast<std::size_t>(list.count);
    return counted < whole ? counted : whole;
}

bool MemberPresent(const void* record, const MetaInfo& desc, const MetaMember& m) {
    if (m.isPresenceFlag) return false;
    if (m.presenceFlag >= 0 &&
        Load<std::int32_t>(record, desc.members[static_cast<std::size_t>(m.presenceFlag)].offset) == 0)
        return false;
    if (m.kind == MemberKind::Text) return LoadText(record, m) != nullptr;
    return true;
}

char* NewText(const char* text, std::size_t length) {
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (!copy) return nullptr;
    if (length) std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

}  // namespace detail

MetaInfo* metainfo_create(std::size_t size) {
    return new (std::nothrow) MetaInfo{size, {}};
}

void metainfo_destroy(MetaInfo* desc) {
    delete desc;
}

int metainfo_add_member(MetaInfo* desc, std::size_t offset, int type, const char* name, int) {
    using detail::MemberKind;
    MemberKind kind;
    switch (type) {
        case META_TYPE_INT32: kind = MemberKind::Int32; break;
        case META_TYPE_INT64: kind = MemberKind::Int64; break;
        case META_TYPE_BOOL: kind = MemberKind::Bool; break;
        case META_TYPE_STRING: kind = MemberKind::Text; break;
        default: return -1;
    }
    try {
        return detail::AddMember(desc, offset, kind, name) ? 0 : -1;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

MetaInfo* metainfo_add_child(MetaInfo* desc, std::size_t offset, std::size_t elementSize,
                             const char* name, int) {
    if (elementSize == 0) return nullptr;
    try {
        auto element = std::make_unique<MetaInfo>();
        element->size = elementSize;
        detail::MetaMember* m = detail::AddMember(desc, offset, detail::MemberKind::List, name);
        if (!m) return nullptr;
        m->element = std::move(element);
        return m->element.get();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace Datahub
