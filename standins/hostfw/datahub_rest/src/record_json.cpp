#include "record_json.h"

#include <cmath>
#include <limits>
#include <new>

#include <boost/json/value.hpp>

namespace Datahub {
namespace detail {
namespace {

// A JSON number as a whole number within [low, high], if it is one.
template <class T>
std::optional<T> WholeNumber(const boost::json::value& v) {
    constexpr T low = std::numeric_limits<T>::min();
    constexpr T high = std::numeric_limits<T>::max();
    if (v.is_int64()) {
        const std::int64_t n = v.get_int64();
        if (n >= low && n <= high) return static_cast<T>(n);
    } else if (v.is_uint64()) {
        const std::uint64_t n = v.get_uint64();
        if (n <= static_cast<std::uint64_t>(high)) return static_cast<T>(n);
    } else if (v.is_double()) {
        const double d = v.get_double();
        // The bounds are powers of two, exact in a double: [low, -low).
        if (std::floor(d) == d && d >= static_cast<double>(low) && d < -static_cast<double>(low))
            return static_cast<T>(d);
    }
    return std::nullopt;
}

void MarkPresent(void* record, const MetaInfo& desc, const MetaMember& m) {
    if (m.presenceFlag >= 0)
        Store<std::int32_t>(record, desc.members[static_cast<std::size_t>(m.presenceFlag)].offset, 1);
}

bool StoreMember(const boost::json::value& v, void* record, const MetaMember& m) {
    switch (m.kind) {
        case MemberKind::Int32: {
            auto n = WholeNumber<std::int32_t>(v);
            if (!n) return false;
            Store<std::int32_t>(record, m.offset, *n);
            return true;
        }
        case MemberKind::Int64: {
            auto n = WholeNumber<std::int64_t>(v);
            if (!n) return false;
            Store<std::int64_t>(record, m.offset, *n);
            return true;
        }
        case MemberKind::Bool: {
            if (v.is_bool()) {
                Store<std::int32_t>(record, m.offset, v.get_bool() ? 1 : 0);
                return true;
            }
            if (v.is_int64() || v.is_uint64()) {
                const bool set = v.is_int64() ? v.get_int64() != 0 : v.get_uint64() != 0;
                Store<std::int32_t>(record, m.offset, set ? 1 : 0);
                return true;
            }
            return false;
        }
        case MemberKind::Text: {
            if (!v.is_string()) return false;
            const boost::json::string& s = v.get_string();
            char* text = NewText(s.data(), s.size());
            if (!text) throw std::bad_alloc();
            Store<const char*>(record, m.offset, text);
            return true;
        }
        case MemberKind::List: {
            if (!v.is_array()) return false;
            bool fitted = true;
            void* list = static_cast<unsigned char*>(record) + m.offset;
            for (const boost::json::value& item : v.get_array()) {
                if (!item.is_object()) {
                    fitted = false;
                    continue;
                }
                void* element = free_buffer_append(list, nullptr, m.element->size);
                if (!element) throw std::bad_alloc();
                if (!JsonToRecord(item.get_object(), element, *m.element)) fitted = false;
            }
            return fitted;
        }
    }
    return false;
}

}  // namespace

boost::json::object RecordToJson(const void* record, const MetaInfo& desc) {
    boost::json::object out;
    for (const MetaMember& m : desc.members) {
        if (!MemberPresent(record, desc, m)) continue;
        switch (m.kind) {
            case MemberKind::Int32: out[m.name] = Load<std::int32_t>(record, m.offset); break;
            case MemberKind::Int64: out[m.name] = Load<std::int64_t>(record, m.offset); break;
            case MemberKind::Bool: out[m.name] = Load<std::int32_t>(record, m.offset) != 0; break;
            case MemberKind::Text: out[m.name] = LoadText(record, m); break;
            case MemberKind::List: {
                const FreeBuffer list = LoadList(record, m);
                const std::size_t n = ListElements(list, m.element->size);
                boost::json::array items;
                items.reserve(n);
                for (std::size_t i = 0; i < n; ++i)
                    items.emplace_back(RecordToJson(
                        static_cast<const unsigned char*>(list.data) + i * m.element->size, *m.element));
                out[m.name] = std::move(items);
                break;
            }
        }
    }
    return out;
}

bool JsonToRecord(const boost::json::object& object, void* record, const MetaInfo& desc) {
    bool fitted = true;
    for (const MetaMember& m : desc.members) {
        if (m.isPresenceFlag) continue;
        const boost::json::value* v = object.if_contains(m.name);
        if (!v || v->is_null()) continue;
        if (StoreMember(*v, record, m))
            MarkPresent(record, desc, m);
        else
            fitted = false;
    }
    return fitted;
}

std::optional<std::string> MemberText(const void* record, const MetaInfo& desc, const MetaMember& m) {
    if (!MemberPresent(record, desc, m)) return std::nullopt;
    switch (m.kind) {
        case MemberKind::Int32: return std::to_string(Load<std::int32_t>(record, m.offset));
        case MemberKind::Int64: return std::to_string(Load<std::int64_t>(record, m.offset));
        case MemberKind::Bool: return std::string(Load<std::int32_t>(record, m.offset) ? "true" : "false");
        case MemberKind::Text: return std::string(LoadText(record, m));
        case MemberKind::List: return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace detail
}  // namespace Datahub
