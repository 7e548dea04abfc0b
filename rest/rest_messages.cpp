#include "rest/rest_messages.h"

#include <array>
#include <cstdlib>
#include <cstring>

namespace Kestrel {
namespace {

using Datahub::MetaInfo;
using Datahub::PSDKRequest;
using Datahub::PSDKResponse;

const char kContentType[] = "application/json;charset=UTF-8";

// --- descriptors -------------------------------------------------------------

MetaInfo* MakeEmpty() {
    MetaInfo* d = Datahub::metainfo_create(sizeof(RestEmptyRecord));
    if (!d) return nullptr;
    Datahub::metainfo_add_member(d, 0, Datahub::META_TYPE_BOOL, "hasFieldOf_nouse", 0);
    Datahub::metainfo_add_member(d, 4, Datahub::META_TYPE_INT32, "_nouse", 0);
    return d;
}

// A record of one member at offset 0.
template <class Record>
MetaInfo* MakeSingle(int type, const char* name) {
    MetaInfo* d = Datahub::metainfo_create(sizeof(Record));
    if (!d) return nullptr;
    Datahub::metainfo_add_member(d, 0, type, name, 0);
    return d;
}

MetaInfo* MakePresetTaskBody() {
    MetaInfo* d = Datahub::metainfo_create(sizeof(PresetTaskBody));
    if (!d) return nullptr;
    Datahub::metainfo_add_member(d, offsetof(PresetTaskBody, status), Datahub::META_TYPE_INT32, "status", 0);
    Datahub::metainfo_add_member(d, offsetof(PresetTaskBody, channelSn), Datahub::META_TYPE_STRING, "channelSn", 0);
    MetaInfo* item = Datahub::metainfo_add_child(d, offsetof(PresetTaskBody, configList), sizeof(PresetTaskConfig),
                                                 "configList", 1);
    if (item) {
        Datahub::metainfo_add_member(item, offsetof(PresetTaskConfig, idleTime), Datahub::META_TYPE_INT32, "idleTime", 0);
        Datahub::metainfo_add_member(item, offsetof(PresetTaskConfig, type), Datahub::META_TYPE_INT32, "type", 0);
        Datahub::metainfo_add_member(item, offsetof(PresetTaskConfig, cover), Datahub::META_TYPE_INT32, "cover", 0);
        Datahub::metainfo_add_member(item, offsetof(PresetTaskConfig, endTime), Datahub::META_TYPE_STRING, "endTime", 0);
        Datahub::metainfo_add_member(item, offsetof(PresetTaskConfig, presetIndex), Datahub::META_TYPE_INT32,
                                     "presetIndex", 0);
        Datahub::metainfo_add_member(item, offsetof(PresetTaskConfig, beginTime), Datahub::META_TYPE_STRING,
                                     "beginTime", 0);
    }
    Datahub::metainfo_add_member(d, offsetof(PresetTaskBody, channelCode), Datahub::META_TYPE_STRING, "channelCode", 0);
    return d;
}

MetaInfo* MakePresetTaskList() {
    MetaInfo* d = Datahub::metainfo_create(sizeof(PresetTaskList));
    if (!d) return nullptr;
    MetaInfo* item = Datahub::metainfo_add_child(d, offsetof(PresetTaskList, configList), sizeof(PresetTaskListItem),
                                                 "configList", 1);
    if (item) {
        Datahub::metainfo_add_member(item, offsetof(PresetTaskListItem, idleTime), Datahub::META_TYPE_INT32, "idleTime", 0);
        Datahub::metainfo_add_member(item, offsetof(PresetTaskListItem, type), Datahub::META_TYPE_INT32, "type", 0);
        Datahub::metainfo_add_member(item, offsetof(PresetTaskListItem, cover), Datahub::META_TYPE_INT32, "cover", 0);
        Datahub::metainfo_add_member(item, offsetof(PresetTaskListItem, id), Datahub::META_TYPE_INT64, "id", 0);
        Datahub::metainfo_add_member(item, offsetof(PresetTaskListItem, presetIndex), Datahub::META_TYPE_INT32,
                                     "presetIndex", 0);
        Datahub::metainfo_add_member(item, offsetof(PresetTaskListItem, endTime), Datahub::META_TYPE_STRING, "endTime", 0);
        Datahub::metainfo_add_member(item, offsetof(PresetTaskListItem, beginTime), Datahub::META_TYPE_STRING,
                                     "beginTime", 0);
    }
    Datahub::metainfo_add_member(d, offsetof(PresetTaskList, status), Datahub::META_TYPE_INT32, "status", 0);
    Datahub::metainfo_add_member(d, offsetof(PresetTaskList, channelSn), Datahub::META_TYPE_STRING, "channelSn", 0);
    Datahub::metainfo_add_member(d, offsetof(PresetTaskList, id), Datahub::META_TYPE_INT64, "id", 0);
    Datahub::metainfo_add_member(d, offsetof(PresetTaskList, channelCode), Datahub::META_TYPE_STRING, "channelCode", 0);
    return d;
}

MetaInfo* MakeIdleMotionBody() {
    MetaInfo* d = Datahub::metainfo_create(sizeof(IdleMotionBody));
    if (!d) return nullptr;
    Datahub::metainfo_add_member(d, offsetof(IdleMotionBody, enable), Datahub::META_TYPE_BOOL, "enable", 0);
    Datahub::metainfo_add_member(d, offsetof(IdleMotionBody, function), Datahub::META_TYPE_STRING, "function", 0);
    Datahub::metainfo_add_member(d, offsetof(IdleMotionBody, index), Datahub::META_TYPE_INT32, "index", 0);
    Datahub::metainfo_add_member(d, offsetof(IdleMotionBody, second), Datahub::META_TYPE_INT32, "second", 0);
    return d;
}

MetaInfo* MakeTaskId() { return MakeSingle<TaskIdRecord>(Datahub::META_TYPE_INT64, "id"); }
MetaInfo* MakeChannelCode() { return MakeSingle<ChannelCodeRecord>(Datahub::META_TYPE_STRING, "channelCode"); }
MetaInfo* MakeDeviceCode() { return MakeSingle<DeviceCodeRecord>(Datahub::META_TYPE_STRING, "deviceCode"); }
MetaInfo* MakePresetType() { return MakeSingle<PresetTypeRecord>(Datahub::META_TYPE_INT32, "type"); }

// --- what each message type is ----------------------------------------------

template <class Message>
struct MessageTraits;

template <>
struct MessageTraits<PSIBPtzAddPresetTaskRequest> {
    static constexpr const char* kCode = "QuillonPSIBPtzAddPresetTask";
    static constexpr const char* kName = "PSIB.Ptz.AddPresetTask";
    static constexpr const char* kMethod = "POST";
    static MetaInfo* MakeBody() { return MakePresetTaskBody(); }
    static MetaInfo* MakePath() { return MakeEmpty(); }
    static MetaInfo* MakeQuery() { return MakeEmpty(); }
};
template <>
struct MessageTraits<PSIBPtzAddPresetTaskResponse> {
    static MetaInfo* MakeBody() { return MakeTaskId(); }
};

template <>
struct MessageTraits<PSIBPtzDelPresetTaskRequest> {
    static constexpr const char* kCode = "QuillonPSIBPtzDelPresetTask";
    static constexpr const char* kName = "PSIB.Ptz.DelPresetTask";
    static constexpr const char* kMethod = "DELETE";
    static MetaInfo* MakeBody() { return MakeEmpty(); }
    static MetaInfo* MakePath() { return MakeTaskId(); }
    static MetaInfo* MakeQuery() { return MakeEmpty(); }
};
template <>
struct MessageTraits<PSIBPtzDelPresetTaskResponse> {
    static MetaInfo* MakeBody() { return MakeEmpty(); }
};

template <>
struct MessageTraits<PSIBPtzGetPresetTaskRequest> {
    static constexpr const char* kCode = "QuillonPSIBPtzGetPresetTask";
    static constexpr const char* kName = "PSIB.Ptz.GetPresetTask";
    static constexpr const char* kMethod = "GET";
    static MetaInfo* MakeBody() { return MakeEmpty(); }
    static MetaInfo* MakePath() { return MakeChannelCode(); }
    static MetaInfo* MakeQuery() { return MakePresetType(); }
};
template <>
struct MessageTraits<PSIBPtzGetPresetTaskResponse> {
    static MetaInfo* MakeBody() { return MakePresetTaskList(); }
};

template <>
struct MessageTraits<VSLDevicesRestartRequest> {
    static constexpr const char* kCode = "QuillonVSLDevicesRestart";
    static constexpr const char* kName = "VSL.Devices.Restart";
    static constexpr const char* kMethod = "PUT";
    static MetaInfo* MakeBody() { return MakeEmpty(); }
    static MetaInfo* MakePath() { return MakeDeviceCode(); }
    static MetaInfo* MakeQuery() { return MakeEmpty(); }
};
template <>
struct MessageTraits<VSLDevicesRestartResponse> {
    static MetaInfo* MakeBody() { return MakeEmpty(); }
};

template <>
struct MessageTraits<VSLPtzSetIdleMotionRequest> {
    static constexpr const char* kCode = "QuillonVSLPtzSetIdleMotion";
    static constexpr const char* kName = "VSL.Ptz.SetIdleMotion";
    static constexpr const char* kMethod = "PUT";
    static MetaInfo* MakeBody() { return MakeIdleMotionBody(); }
    static MetaInfo* MakePath() { return MakeChannelCode(); }
    static MetaInfo* MakeQuery() { return MakeEmpty(); }
};
template <>
struct MessageTraits<VSLPtzSetIdleMotionResponse> {
    static MetaInfo* MakeBody() { return MakeEmpty(); }
};

// Descriptors of each message type: made by the first constructor call
// (under the caller's creation mutex), never released.
struct RequestDescriptors {
    MetaInfo* body = nullptr;
    MetaInfo* path = nullptr;
    MetaInfo* query = nullptr;
};
template <class Request>
RequestDescriptors g_requestDescriptors;
template <class Response>
MetaInfo* g_responseDescriptor = nullptr;

// --- operations held in the objects ------------------------------------------

template <class Request>
int BuildRequest(PSDKRequest* slots) {
    auto* r = reinterpret_cast<Request*>(slots);
    const RequestDescriptors& d = g_requestDescriptors<Request>;
    Datahub::const_string_clear(slots->jsonBody);
    slots->jsonBody = Datahub::vsl_request_build(&r->body, d.body);
    if (!slots->jsonBody) return -1;
    Datahub::kmp_request_build_uri(slots, &r->path, d.path, &r->query, d.query);
    return 0;
}

template <class Request>
void ReleaseRequest(PSDKRequest* slots) {
    if (!slots) return;
    auto* r = reinterpret_cast<Request*>(slots);
    const RequestDescriptors& d = g_requestDescriptors<Request>;
    Datahub::object_clear(&r->body, d.body);
    Datahub::object_clear(&r->path, d.path);
    Datahub::object_clear(&r->query, d.query);
    char** texts[] = {&slots->operateCode, &slots->operateName, &slots->method, &slots->uriPath, &slots->uri,
                      &slots->text5,       &slots->contentType, &slots->jsonBody, &slots->text8, &slots->text9};
    for (char** text : texts) Datahub::const_string_clear(*text);
    std::free(r);
}

template <class Response>
int ParseResponse(PSDKResponse* slots) {
    auto* r = reinterpret_cast<Response*>(slots);
    return Datahub::kmp_response_parse(slots, &r->body, g_responseDescriptor<Response>) != 0 ? -1 : 0;
}

// The texts a response owns.
template <class Slots>
auto OwnedTexts(Slots* s) {
    return std::array<decltype(&s->uri), 7>{&s->uri, &s->rawBody, &s->reason, &s->answerContentType,
                                            &s->api_message, &s->dataJson, &s->failure};
}

template <class Response>
int CopyResponse(PSDKResponse* destination, const PSDKResponse* source) {
    if (!destination || !source) return -1;
    std::memcpy(destination, source, sizeof(PSDKResponse));
    for (char** text : OwnedTexts(destination)) *text = Datahub::const_string_new(*text);
    return Datahub::object_copy(&reinterpret_cast<Response*>(destination)->body,
                                &reinterpret_cast<const Response*>(source)->body, g_responseDescriptor<Response>);
}

template <class Response>
void ReleaseResponse(PSDKResponse* slots) {
    if (!slots) return;
    auto* r = reinterpret_cast<Response*>(slots);
    Datahub::object_clear(&r->body, g_responseDescriptor<Response>);
    for (char** text : OwnedTexts(slots)) Datahub::const_string_clear(*text);
    std::free(r);
}

// --- constructors ------------------------------------------------------------

template <class Request>
Request* CreateRequest() {
    using Traits = MessageTraits<Request>;
    auto* r = static_cast<Request*>(std::calloc(1, sizeof(Request)));
    if (!r) return nullptr;
    RequestDescriptors& d = g_requestDescriptors<Request>;
    if (!d.body) d.body = Traits::MakeBody();
    if (!d.path) d.path = Traits::MakePath();
    if (!d.query) d.query = Traits::MakeQuery();
    r->slots.build = &BuildRequest<Request>;
    r->slots.release = &ReleaseRequest<Request>;
    r->slots.operateCode = Datahub::const_string_new(Traits::kCode);
    r->slots.operateName = Datahub::const_string_new(Traits::kName);
    r->slots.method = Datahub::const_string_new(Traits::kMethod);
    r->slots.contentType = Datahub::const_string_new(kContentType);
    if (!d.body || !d.path || !d.query || !r->slots.operateCode || !r->slots.operateName || !r->slots.method ||
        !r->slots.contentType) {
        ReleaseRequest<Request>(&r->slots);
        return nullptr;
    }
    return r;
}

template <class Response>
Response* CreateResponse() {
    auto* r = static_cast<Response*>(std::calloc(1, sizeof(Response)));
    if (!r) return nullptr;
    MetaInfo*& d = g_responseDescriptor<Response>;
    if (!d) d = MessageTraits<Response>::MakeBody();
    if (!d) {
        std::free(r);
        return nullptr;
    }
    r->slots.parse = &ParseResponse<Response>;
    r->slots.copy = &CopyResponse<Response>;
    r->slots.release = &ReleaseResponse<Response>;
    return r;
}

}  // namespace

PSIBPtzAddPresetTaskRequest* CreatePSIBPtzAddPresetTaskRequest() { return CreateRequest<PSIBPtzAddPresetTaskRequest>(); }
PSIBPtzAddPresetTaskResponse* CreatePSIBPtzAddPresetTaskResponse() { return CreateResponse<PSIBPtzAddPresetTaskResponse>(); }
PSIBPtzDelPresetTaskRequest* CreatePSIBPtzDelPresetTaskRequest() { return CreateRequest<PSIBPtzDelPresetTaskRequest>(); }
PSIBPtzDelPresetTaskResponse* CreatePSIBPtzDelPresetTaskResponse() { return CreateResponse<PSIBPtzDelPresetTaskResponse>(); }
PSIBPtzGetPresetTaskRequest* CreatePSIBPtzGetPresetTaskRequest() { return CreateRequest<PSIBPtzGetPresetTaskRequest>(); }
PSIBPtzGetPresetTaskResponse* CreatePSIBPtzGetPresetTaskResponse() { return CreateResponse<PSIBPtzGetPresetTaskResponse>(); }
VSLDevicesRestartRequest* CreateVSLDevicesRestartRequest() { return CreateRequest<VSLDevicesRestartRequest>(); }
VSLDevicesRestartResponse* CreateVSLDevicesRestartResponse() { return CreateResponse<VSLDevicesRestartResponse>(); }
VSLPtzSetIdleMotionRequest* CreateVSLPtzSetIdleMotionRequest() { return CreateRequest<VSLPtzSetIdleMotionRequest>(); }
VSLPtzSetIdleMotionResponse* CreateVSLPtzSetIdleMotionResponse() { return CreateResponse<VSLPtzSetIdleMotionResponse>(); }

void SetRestText(char*& slot, const std::string& text) {
    Datahub::const_string_clear(slot);
    slot = Datahub::const_string_new(text.c_str());
}

}  // namespace Kestrel
