#pragma once
// Records and enumerations of the PTZ façade.
#include <cstdint>
#include <string>

namespace Kestrel {

// Direction of a PTZ move, sent to the platform unchanged.
enum Direction_e {
    DIRECTION_UP = 1,
    DIRECTION_DOWN = 2,
    DIRECTION_LEFT = 3,
    DIRECTION_RIGHT = 4,
    DIRECTION_LEFT_UP = 5,
    DIRECTION_RIGHT_UP = 6,
    DIRECTION_LEFT_DOWN = 7,
    DIRECTION_RIGHT_DOWN = 8,
};

// Lens operations. Value v is sent as operation type v % 2 + 1 and
// operation code v % 3 + 1; what those name is the platform's. Values
// outside 0 to 5 are refused with -1.
enum Ptz_Operator_e {
    PTZ_OPERATOR_0 = 0,  // type 1, code 1
    PTZ_OPERATOR_1 = 1,  // type 2, code 2
    PTZ_OPERATOR_2 = 2,  // type 1, code 3
    PTZ_OPERATOR_3 = 3,  // type 2, code 1
    PTZ_OPERATOR_4 = 4,  // type 1, code 2
    PTZ_OPERATOR_5 = 5,  // type 2, code 3
};

enum Lock_e {
    LOCK_PTZ = 1,
    UNLOCK_PTZ = 2,
    QUERY_LOCK_STATE = 5,
};

enum PrePoint_Oper_e {
    PREPOINT_GOTO = 1,
    PREPOINT_SET = 2,
    PREPOINT_DELETE = 3,
};

struct PtzOperation {
    int mode = 1;    // auto scan
    int margin = 0;  // scan margin
    int action = 0;  // wiper and auto scan; 0 reports Enable true
    int value = 1;   // scan margin and auto scan
};

struct PtzSiteParam {
    std::string code;
    double x = 0, y = 0, z = 0;
    int value = 0;
    double extA = 0, extB = 0;
    // When element 2 or 3 is non-zero, the extended positioning is used.
    int extValues[4] = {0, 0, 0, 0};
    uint8_t extFlag = 1;
    int seq = 0;  // written by PtzSiteEx
};

struct PrePointInfo {
    int index = 0;
    bool flag1 = false, flag2 = false, flag3 = false;
    std::string name;
    bool flag4 = false;
    int value = 0;
    bool flag5 = true;
};

// A cruise preset (from the platform) or a guard preset (from the server).
struct CruisePresetInfo {
    int presetIndex = 0;
    std::string extra;
    std::string beginTime;
    std::string endTime;
    int idleTime = 0;
    int type = 0;
    int id = 0;
    int cover = 0;
};

struct PtzIdleMotior {
    bool enable = false;
    int second = 0;
    int index = -1;
    std::string function = "Preset";
};

}  // namespace Kestrel
