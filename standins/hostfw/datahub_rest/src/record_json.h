#pragma once
// Described records to JSON and back (rules at the top of datahub/rest.h).
#include <optional>
#include <string>

#include <boost/json/object.hpp>

#include "meta_info.h"

namespace Datahub {
namespace detail {

// Throws std::bad_alloc when memory runs out.
boost::json::object RecordToJson(const void* record, const MetaInfo& desc);

// Fills a zeroed record from `object`. True when every present member fitted;
// members that did not are left zero. Throws std::bad_alloc when memory runs
// out (what was stored so far stays owned by the record).
bool JsonToRecord(const boost::json::object& object, void* record, const MetaInfo& desc);

// A scalar member as URI parameter text; nothing when absent or a list.
std::optional<std::string> MemberText(const void* record, const MetaInfo& desc, const MetaMember& m);

}  // namespace detail
}  // namespace Datahub
