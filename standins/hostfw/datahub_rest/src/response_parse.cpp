// The response side: the answer's "data" into the described body record.
#include <cstring>
#include <new>

#include <boost/json/parse.hpp>

#include "record_json.h"

namespace Datahub {

int kmp_response_parse(PSDKResponse* response, void* bodyRecord, const MetaInfo* bodyDesc) {
    if (!response || !bodyRecord || !bodyDesc) return -1;
    object_clear(bodyRecord, bodyDesc);
    std::memset(bodyRecord, 0, bodyDesc->size);
    if (!response->dataJson) return 0;
    try {
        boost::system::error_code ec;
        const boost::json::value data = boost::json::parse(response->dataJson, ec);
        if (ec) return -2;
        if (data.is_null()) return 0;
        if (!data.is_object()) return -2;
        return detail::JsonToRecord(data.get_object(), bodyRecord, *bodyDesc) ? 0 : -3;
    } catch (const std::bad_alloc&) {
        return -4;
    }
}

}  // namespace Datahub
