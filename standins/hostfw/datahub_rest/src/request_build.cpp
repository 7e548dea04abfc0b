// The request side: body JSON and the joined URI.
#include <new>
#include <string>

#include <boost/json/serialize.hpp>
#include <boost/url/encode.hpp>
#include <boost/url/rfc/unreserved_chars.hpp>

#include "record_json.h"

namespace Datahub {
namespace {

std::string Encode(const std::string& text) {
    return boost::urls::encode(text, boost::urls::unreserved_chars);
}

void AppendPathParameters(std::string& uri, const void* record, const MetaInfo* desc) {
    if (!record || !desc) return;
    for (const detail::MetaMember& m : desc->members) {
        const auto value = detail::MemberText(record, *desc, m);
        if (!value) continue;
        const std::string placeholder = "{" + m.name + "}";
        const std::size_t at = uri.find(placeholder);
        if (at != std::string::npos) {
            uri.replace(at, placeholder.size(), Encode(*value));
            continue;
        }
        if (uri.empty() || uri.back() != '/') uri += '/';
        uri += Encode(*value);
    }
}

void AppendQueryParameters(std::string& uri, const void* record, const MetaInfo* desc) {
    if (!record || !desc) return;
    char separator = '?';
    for (const detail::MetaMember& m : desc->members) {
        const auto value = detail::MemberText(record, *desc, m);
        if (!value) continue;
        uri += separator;
        uri += Encode(m.name);
        uri += '=';
        uri += Encode(*value);
        separator = '&';
    }
}

}  // namespace

char* vsl_request_build(const void* record, const MetaInfo* desc) {
    if (!record || !desc) return nullptr;
    try {
        const std::string json = boost::json::serialize(detail::RecordToJson(record, *desc));
        return detail::NewText(json.data(), json.size());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

int kmp_request_build_uri(PSDKRequest* request, const void* pathRecord, const MetaInfo* pathDesc,
                          const void* queryRecord, const MetaInfo* queryDesc) {
    if (!request || !request->uriPath) return -1;
    try {
        std::string uri = request->uriPath;
        AppendPathParameters(uri, pathRecord, pathDesc);
        AppendQueryParameters(uri, queryRecord, queryDesc);
        char* joined = detail::NewText(uri.data(), uri.size());
        if (!joined) return -2;
        const_string_clear(request->uri);
        request->uri = joined;
        return 0;
    } catch (const std::bad_alloc&) {
        return -2;
    }
}

}  // namespace Datahub
