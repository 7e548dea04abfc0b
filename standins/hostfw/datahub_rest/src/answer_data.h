#pragma once
// The answer's JSON, parsed once per call into the calling thread's arena,
// and its "data" member kept there for the response parse that follows the
// call on the same thread (a handler parses right after its exchange).
#include <optional>
#include <string_view>

#include <boost/json/value.hpp>

namespace Datahub {
namespace detail {

// Parses `body` into the calling thread's arena; null when it is not JSON.
// The value stays valid until the thread's next ParseAnswer. Throws
// std::bad_alloc when memory runs out.
const boost::json::value* ParseAnswer(std::string_view body);

// Remembers that `text` reads as `data` (a value of the thread's last
// ParseAnswer).
void KeepData(const boost::json::value& data, std::string_view text);
// The value kept on this thread for exactly this text, or null.
const boost::json::value* KeptData(const char* text);

// The text of the member `name` of the object `json` (valid JSON) as it
// stands there; nothing when no member or more than one is spelled `name`,
// or a key is escaped (it might be `name` in disguise).
std::optional<std::string_view> RawMember(std::string_view json, std::string_view name);

}  // namespace detail
}  // namespace Datahub
