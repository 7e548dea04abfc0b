#pragma once
// Request and response objects as a caller of the pass-through lays them out,
// with their records behind the slots, room for 16 bytes each; freed with
// everything they hold.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "datahub/rest.h"

namespace resttest {

constexpr std::size_t kRoom = 16;  // bytes of each record behind the slots

struct DescriptorDeleter {
    void operator()(Datahub::MetaInfo* d) const { Datahub::metainfo_destroy(d); }
};
// Declare before the objects that use it: they need it to free themselves.
using Descriptor = std::unique_ptr<Datahub::MetaInfo, DescriptorDeleter>;

// A record of one member at offset 0.
inline Descriptor OneMember(int type, const char* name) {
    Descriptor d(Datahub::metainfo_create(8));
    Datahub::metainfo_add_member(d.get(), 0, type, name, 0);
    return d;
}

// The body of a message without members.
inline Descriptor EmptyBody() {
    Descriptor d(Datahub::metainfo_create(8));
    Datahub::metainfo_add_member(d.get(), 0, Datahub::META_TYPE_BOOL, "hasFieldOf_nouse", 0);
    Datahub::metainfo_add_member(d.get(), 4, Datahub::META_TYPE_INT32, "_nouse", 0);
    return d;
}

// The body record, then those of the path and query parameters.
class RequestObject {
public:
    RequestObject(const char* method, const char* path, const Datahub::MetaInfo* body,
                  const Datahub::MetaInfo* pathParams = nullptr, const Datahub::MetaInfo* query = nullptr)
        : m_descs{body, pathParams, query},
          m_request(static_cast<Datahub::PSDKRequest*>(std::calloc(1, sizeof(Datahub::PSDKRequest) + 3 * kRoom))) {
        m_request->method = Datahub::const_string_new(method);
        m_request->uriPath = Datahub::const_string_new(path);
        m_request->contentType = Datahub::const_string_new("application/json;charset=UTF-8");
    }
    ~RequestObject() {
        for (int i = 0; i < 3; ++i) Datahub::object_clear(Record(i), m_descs[i]);
        char** texts = &m_request->operateCode;
        for (int i = 0; i < 10; ++i) Datahub::const_string_clear(texts[i]);
        std::free(m_request);
    }
    RequestObject(const RequestObject&) = delete;
    RequestObject& operator=(const RequestObject&) = delete;

    Datahub::PSDKRequest* get() { return m_request; }
    unsigned char* Body() { return Record(0); }
    unsigned char* Path() { return Record(1); }
    unsigned char* Query() { return Record(2); }

    // What a message's build operation does.
    void Build() {
        m_request->jsonBody = Datahub::vsl_request_build(Body(), m_descs[0]);
        Datahub::kmp_request_build_uri(m_request, Path(), m_descs[1], Query(), m_descs[2]);
    }

private:
    unsigned char* Record(int i) { return reinterpret_cast<unsigned char*>(m_request + 1) + i * kRoom; }

    const Datahub::MetaInfo* m_descs[3];
    Datahub::PSDKRequest* m_request;
};

class ResponseObject {
public:
    explicit ResponseObject(const Datahub::MetaInfo* body)
        : m_body(body),
          m_response(static_cast<Datahub::PSDKResponse*>(std::calloc(1, sizeof(Datahub::PSDKResponse) + kRoom))) {}
    ~ResponseObject() {
        Datahub::object_clear(Body(), m_body);
        for (char* text : {m_response->uri, m_response->rawBody, m_response->reason, m_response->answerContentType,
                           m_response->api_message, m_response->dataJson, m_response->failure})
            Datahub::const_string_clear(text);
        std::free(m_response);
    }
    ResponseObject(const ResponseObject&) = delete;
    ResponseObject& operator=(const ResponseObject&) = delete;

    Datahub::PSDKResponse* get() { return m_response; }
    Datahub::PSDKResponse* operator->() { return m_response; }
    unsigned char* Body() { return reinterpret_cast<unsigned char*>(m_response + 1); }
    int Parse() { return Datahub::kmp_response_parse(m_response, Body(), m_body); }

private:
    const Datahub::MetaInfo* m_body;
    Datahub::PSDKResponse* m_response;
};

template <class T>
T Read(const unsigned char* record, std::size_t offset) {
    T value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

template <class T>
void Write(unsigned char* record, std::size_t offset, T value) {
    std::memcpy(record + offset, &value, sizeof value);
}

inline void SetText(unsigned char* record, std::size_t offset, const char* text) {
    Datahub::const_string_clear(Read<const char*>(record, offset));
    Write(record, offset, Datahub::const_string_new(text));
}

}  // namespace resttest
