#pragma once
// REST message types of the management server's JSON pass-through.
//
// Each message type has a request object and a response object, made by its
// two constructors (Create<Type>Request, Create<Type>Response): zero-filled
// C-heap objects whose first part are the pass-through's slots
// (Datahub::PSDKRequest / PSDKResponse) and whose records follow without gaps.
// A constructor returns null when the heap is exhausted.
//
//   request->slots.build(&request->slots)     body to JSON (slot 7), then the
//                                             joined URI; -1 when no JSON came
//   request->slots.release(&request->slots)   frees texts, records and object
//   response->slots.parse(&response->slots)   "data" into body; -1 on a misfit
//   response->slots.copy(&dst->slots, &src->slots)  deep copy into raw memory
//   response->slots.release(&response->slots)
//
// The descriptors of a message type are made by its first constructor call
// and kept for the life of the process. Constructors are not thread-safe
// among themselves: callers hold their unit's REST creation mutex around
// them (see rest_call.h); once made, descriptors are only read.
//
// Texts in the records are Datahub::const_string_new texts (SetRestText);
// lists are Datahub::FreeBuffer (AppendRestListItem, RestListItems).
#include <cstddef>
#include <cstdint>
#include <string>

#include "datahub/rest.h"

namespace Kestrel {

// A message without members.
struct RestEmptyRecord {
    std::int32_t hasFieldOf_nouse;
    std::int32_t _nouse;
};

// One guard preset as saved (40 bytes).
struct PresetTaskConfig {
    std::int32_t idleTime;
    std::int32_t type;
    std::int32_t cover;
    std::int32_t pad12;
    char* endTime;
    std::int32_t presetIndex;
    std::int32_t pad28;
    char* beginTime;
};

// Body of PSIBPtzAddPresetTask (56 bytes).
struct PresetTaskBody {
    std::int32_t status;
    std::int32_t pad4;
    char* channelSn;
    Datahub::FreeBuffer configList;  // of PresetTaskConfig
    char* channelCode;
};

// One guard preset as the server answers it (48 bytes).
struct PresetTaskListItem {
    std::int32_t idleTime;
    std::int32_t type;
    std::int32_t cover;
    std::int32_t pad12;
    std::int64_t id;
    std::int32_t presetIndex;
    std::int32_t pad28;
    char* endTime;
    char* beginTime;
};

// Response body of PSIBPtzGetPresetTask (64 bytes).
struct PresetTaskList {
    Datahub::FreeBuffer configList;  // of PresetTaskListItem
    std::int32_t status;
    std::int32_t pad36;
    char* channelSn;
    std::int64_t id;
    char* channelCode;
};

// Body of VSLPtzSetIdleMotion (24 bytes).
struct IdleMotionBody {
    std::int32_t enable;  // boolean, 0 or 1
    std::int32_t pad4;
    char* function;
    std::int32_t index;
    std::int32_t second;
};

struct TaskIdRecord {
    std::int64_t id;
};

struct ChannelCodeRecord {
    char* channelCode;
};

struct DeviceCodeRecord {
    char* deviceCode;
};

struct PresetTypeRecord {
    std::int32_t type;
};

// "QuillonPSIBPtzAddPresetTask", "POST"
struct PSIBPtzAddPresetTaskRequest {
    Datahub::PSDKRequest slots;
    PresetTaskBody body;
    RestEmptyRecord path;
    RestEmptyRecord query;
};
struct PSIBPtzAddPresetTaskResponse {
    Datahub::PSDKResponse slots;
    TaskIdRecord body;
};

// "QuillonPSIBPtzDelPresetTask", "DELETE"
struct PSIBPtzDelPresetTaskRequest {
    Datahub::PSDKRequest slots;
    RestEmptyRecord body;
    TaskIdRecord path;
    RestEmptyRecord query;
};
struct PSIBPtzDelPresetTaskResponse {
    Datahub::PSDKResponse slots;
    RestEmptyRecord body;
};

// "QuillonPSIBPtzGetPresetTask", "GET"
struct PSIBPtzGetPresetTaskRequest {
    Datahub::PSDKRequest slots;
    RestEmptyRecord body;
    ChannelCodeRecord path;
    PresetTypeRecord query;
};
struct PSIBPtzGetPresetTaskResponse {
    Datahub::PSDKResponse slots;
    PresetTaskList body;
};

// "QuillonVSLDevicesRestart", "PUT"
struct VSLDevicesRestartRequest {
    Datahub::PSDKRequest slots;
    RestEmptyRecord body;
    DeviceCodeRecord path;
    RestEmptyRecord query;
};
struct VSLDevicesRestartResponse {
    Datahub::PSDKResponse slots;
    RestEmptyRecord body;
};

// "QuillonVSLPtzSetIdleMotion", "PUT"
struct VSLPtzSetIdleMotionRequest {
    Datahub::PSDKRequest slots;
    IdleMotionBody body;
    ChannelCodeRecord path;
    RestEmptyRecord query;
};
struct VSLPtzSetIdleMotionResponse {
    Datahub::PSDKResponse slots;
    RestEmptyRecord body;
};

static_assert(sizeof(PresetTaskConfig) == 40 && offsetof(PresetTaskConfig, beginTime) == 32, "");
static_assert(sizeof(PresetTaskBody) == 56 && offsetof(PresetTaskBody, channelCode) == 48, "");
static_assert(sizeof(PresetTaskListItem) == 48 && offsetof(PresetTaskListItem, beginTime) == 40, "");
static_assert(sizeof(PresetTaskList) == 64 && offsetof(PresetTaskList, channelCode) == 56, "");
static_assert(sizeof(IdleMotionBody) == 24 && offsetof(IdleMotionBody, second) == 20, "");
static_assert(sizeof(PSIBPtzAddPresetTaskRequest) == 200, "");
static_assert(sizeof(VSLPtzSetIdleMotionRequest) == 168, "");
static_assert(sizeof(PSIBPtzDelPresetTaskRequest) == 152 && sizeof(PSIBPtzGetPresetTaskRequest) == 152 &&
                  sizeof(VSLDevicesRestartRequest) == 152, "");
static_assert(offsetof(PSIBPtzGetPresetTaskRequest, query) == 144, "");
static_assert(sizeof(PSIBPtzAddPresetTaskResponse) == 112 && sizeof(PSIBPtzGetPresetTaskResponse) == 168, "");

PSIBPtzAddPresetTaskRequest* CreatePSIBPtzAddPresetTaskRequest();
PSIBPtzAddPresetTaskResponse* CreatePSIBPtzAddPresetTaskResponse();
PSIBPtzDelPresetTaskRequest* CreatePSIBPtzDelPresetTaskRequest();
PSIBPtzDelPresetTaskResponse* CreatePSIBPtzDelPresetTaskResponse();
PSIBPtzGetPresetTaskRequest* CreatePSIBPtzGetPresetTaskRequest();
PSIBPtzGetPresetTaskResponse* CreatePSIBPtzGetPresetTaskResponse();
VSLDevicesRestartRequest* CreateVSLDevicesRestartRequest();
VSLDevicesRestartResponse* CreateVSLDevicesRestartResponse();
VSLPtzSetIdleMotionRequest* CreateVSLPtzSetIdleMotionRequest();
VSLPtzSetIdleMotionResponse* CreateVSLPtzSetIdleMotionResponse();

// Replaces a record's text with a const_string_new copy of `text`.
void SetRestText(char*& slot, const std::string& text);
// A record's text, "" when absent.
inline std::string RestText(const char* text) { return text ? text : ""; }

// Appends one zero-filled element to a list member; null when out of memory.
template <class Item>
Item* AppendRestListItem(Datahub::FreeBuffer& list) {
    return static_cast<Item*>(Datahub::free_buffer_append(&list, nullptr, sizeof(Item)));
}
// The elements of a list member and their number.
template <class Item>
const Item* RestListItems(const Datahub::FreeBuffer& list) {
    return static_cast<const Item*>(list.data);
}
inline int RestListCount(const Datahub::FreeBuffer& list) {
    return list.data && list.count > 0 ? list.count : 0;
}

}  // namespace Kestrel
