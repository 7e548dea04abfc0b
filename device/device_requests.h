#pragma once
// Requests of the device worker, copied into the tasks that carry them.
#include <cstdint>
#include <list>
#include <map>
#include <string>

namespace Kestrel {

struct MasterSlaveManualTrackReq {
    std::string code;
    int32_t value = 0;
};

struct MasterSlaveFixedPointTrackReq {
    std::string code;
    uint32_t first = 0;
    uint32_t second = 0;
};

struct StartRemoteRecordReq {
    std::string menuKey;
    std::string code;
    std::string text;  // at most 19 characters reach the platform
    int32_t streamType = 0;
    int32_t value = 0;
};

struct StopRemoteRecordReq {
    std::string menuKey;
    std::string code;
    int32_t streamType = 0;
    bool flag = false;
};

struct StartAPPRemoteRecordReq {
    std::string code;
    std::string secondCode;
    int32_t streamType = 0;
    int32_t value = 0;
    std::string text;  // at most 19 characters reach the platform
};

struct StopAPPRemoteRecordReq {
    std::string code;
    std::string secondCode;  // not sent
    int32_t streamType = 0;
    bool flag = false;
};

struct ChannelBindResourceReq {
    std::string code;
    int64_t tag = 0;
};

// Outcome of a recording call: both 0 unless the call succeeded.
struct RemoteRecordResult {
    int32_t planId = 0;
    uint64_t time = 0;
};

struct ResourceBindingResult {
    std::list<std::string> ids;
    std::map<std::string, std::string> names;
};

}  // namespace Kestrel
