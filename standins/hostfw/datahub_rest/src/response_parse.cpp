// The response side: the answer's "data" into the described body record.
#include <cstring>
#include <new>

#include <boost/json/parse.hpp>

#include "answer_data.h"
#include "record_json.h"

namespace Datahub {

int kmp_response_parse(PSDKResponse* response, void* bodyRecord, const MetaInfo* bodyDesc) {
    if (!response || !bodyRecord || !bodyDesc) return -1;
    object_clear(bodyRecord, bodyDesc);
    std::memset(bodyRecord, 0, bodyDesc->size);
    if (!response->dataJson) return 0;
    try {
        // The pass-through that filled the response on this thread has
        // parsed this very text already.
        boost::json::value parsed;
        const boost::json::value* data = detail::KeptData(response->dataJson);
        if (!data) {
            boost::system::error_code ec;
            parsed = boost::json::parse(response->dataJson, ec);
            if (ec) return -2;
            data = &parsed;
        }
        if (data->is_null()) return 0;
        if (!data->is_object()) return -2;
        return detail::JsonToRecord(data->get_object(), bodyRecord, *bodyDesc) ? 0 : -3;
    } catch (const std::bad_alloc&) {
        return -4;
    }
}

}  // namespace Datahub
