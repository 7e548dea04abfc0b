#pragma once
// Requests of the PTZ worker, copied into the tasks that carry them.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "kestrel/ptz_types.h"

namespace Kestrel {

// Who made a direction or lens request: the client, or the motion policy
// (a dead-man stop, reported as such; a stop sent while the client leaves,
// not reported).
enum class MoveOrigin { Client, DeadMan, Leaving };

struct PtzOperateDirectReq {
    std::string menuKey;
    int speed1 = 0;
    int speed2 = 0;
    int direction = 0;
    std::string code;
    int start = 1;  // 0 stops the move
    int seq = 0;
    MoveOrigin origin = MoveOrigin::Client;
};

struct PtzOperateCameraReq {
    std::string menuKey;
    int operType = 0;
    int operCode = 0;
    int start = 1;
    std::string code;
    int speed = 0;
    int seq = 0;
    MoveOrigin origin = MoveOrigin::Client;
};

struct PtzOperationReq {
    std::string code;
    PtzOperation operation;
};

struct PtzArrangePtzReq {
    std::string menuKey;
    std::string text;  // always empty
    std::string code;
    int lock = 0;      // Lock_e
    int seq = 0;
    int lockTime = 0;  // seconds
};

struct PtzGetPresetPointReq {
    std::string code;
    int seq = 0;
    bool ar = false;  // alternative queue
};

struct PtzOperatePresetPointReq {
    std::string menuKey;
    std::string indexText;  // preset number as signed decimal text
    std::string name;
    std::string code;
    int op = 0;  // PrePoint_Oper_e
    int seq = 0;
};

struct CruiseGetCruisePresetReq {
    std::string menuKey;
    std::string code;
    int seq = 0;
    int value = 0;  // guard query type; unused by the cruise query
};

struct CruiseSaveCruisePresetReq {
    std::string menuKey;
    std::string code;
    std::string text;  // always empty
    int value = 0;     // guard save only; not sent
    std::vector<CruisePresetInfo> list;
    int seq = 0;       // cruise save only
};

struct DelCruisePresetReq {
    std::string menuKey;
    std::string code;
    int32_t id = 0;  // guard task id
};

struct IdleMonitorReq {
    std::string menuKey;
    std::string code;
    PtzIdleMotior motion;
};

// Outcome of an operate call: status from the platform's result record,
// text and answer only when that status is 0.
struct PtzOperateResult {
    int status = 0;
    std::string text;
    int answer = -1;
};

struct LockCameraInfo {
    std::string code;
    int64_t startTime = 0;  // seconds, when the entry was last written
    int32_t duration = 0;   // seconds
};

// Handler-local results of the preset and cruise queries.
struct PresetQueryResult {
    std::string code;
    std::vector<std::pair<std::string, std::string>> presets;  // number text, name
};

struct CruiseQueryResult {
    std::string code;
    std::vector<CruisePresetInfo> list;
};

}  // namespace Kestrel
