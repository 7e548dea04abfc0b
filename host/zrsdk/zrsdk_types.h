#pragma once
// Records of the platform client SDK, byte for byte as the platform lays them
// out (little-endian, 64-bit pointers). Callers zero-fill a record before
// setting fields; texts are NUL-terminated char arrays. Every size and every
// field offset is checked at compile time below its record.
#include <cstddef>
#include <cstdint>

extern "C" {

// ---- constants --------------------------------------------------------------

// Message types of the data callbacks.
#define ZRSDK_MSG_CRUISE_PRESET 104
#define ZRSDK_MSG_RESOURCE_BINDING 3401

// Wait field of the direction and lens records, in milliseconds.
#define ZRSDK_PTZ_WAIT_MS 30000

// Directions of ZRSDK_PTZ_DIRECT_INFO.direction.
#define ZRSDK_PTZ_DIR_UP 1
#define ZRSDK_PTZ_DIR_DOWN 2
#define ZRSDK_PTZ_DIR_LEFT 3
#define ZRSDK_PTZ_DIR_RIGHT 4
#define ZRSDK_PTZ_DIR_UP_LEFT 5
#define ZRSDK_PTZ_DIR_UP_RIGHT 6
#define ZRSDK_PTZ_DIR_DOWN_LEFT 7
#define ZRSDK_PTZ_DIR_DOWN_RIGHT 8

// Lens operations of ZRSDK_PTZ_CAMERA_INFO: operType says which way
// (INCREASE: zoom in, focus far, iris open), operCode what moves.
#define ZRSDK_LENS_INCREASE 1
#define ZRSDK_LENS_DECREASE 2
#define ZRSDK_LENS_ZOOM 1
#define ZRSDK_LENS_FOCUS 2
#define ZRSDK_LENS_IRIS 3

// Actions of ZRSDK_PTZ_AUX_INFO for the wiper and the automatic scan.
#define ZRSDK_AUX_ACTION_START 0
#define ZRSDK_AUX_ACTION_STOP 1

// Lock operations of ZRSDK_PtzArrangePtz (the lock field of ZRSDK_PTZ_LOCK_INFO).
#define ZRSDK_PTZ_LOCK 1
#define ZRSDK_PTZ_UNLOCK 2
#define ZRSDK_PTZ_QUERY_LOCK 5

// Status of ZRSDK_PTZ_RESULT after ZRSDK_PtzArrangePtz returned 0.
// Lock and unlock: GRANTED (answer = the lock's seconds, 0 after an unlock) or
// REFUSED because another user holds the PTZ (text = that user's name,
// answer = seconds the lock still runs). Query: always 0, with text = the
// holder's name (empty when free) and answer = seconds left (0 when free).
#define ZRSDK_PTZ_STATUS_REFUSED 0
#define ZRSDK_PTZ_STATUS_GRANTED 1

// Status of ZRSDK_LOCKSTATUS_CHANGED_NOTIFY.
#define ZRSDK_LOCK_EVENT_RELEASED 0
#define ZRSDK_LOCK_EVENT_LOCKED 1
#define ZRSDK_LOCK_EVENT_EXPIRED 2

// Preset operations of ZRSDK_PTZ_PRESET_INFO.op.
#define ZRSDK_PRESET_GOTO 1
#define ZRSDK_PRESET_SET 2
#define ZRSDK_PRESET_DELETE 3

// The preset buffer that ZRSDK_PtzGetPresetPoints fills: count, then entries.
#define ZRSDK_PRESET_BUFFER_ENTRIES 256

// A face event always has room for one item after its header.
#define ZRSDK_FACE_INFO_MIN_SIZE 2948

// ---- shared records ---------------------------------------------------------

// Who asks: the menu key and menu name of the caller's user interface.
typedef struct ZRSDK_OPERATE_INFO {
    char menuKey[64];
    char menuName[256];
} ZRSDK_OPERATE_INFO;

// Answer of the PTZ calls; text and answer are meaningful on status 0.
typedef struct ZRSDK_PTZ_RESULT {
    char text[256];
    int32_t answer;
    int32_t status;
} ZRSDK_PTZ_RESULT;

// ---- recording ----------------------------------------------------------------

typedef struct ZRSDK_RECORD_INFO {
    char channelCode[64];
    int32_t streamType;
    int32_t secondValue;
    char text[20];
    uint8_t reserved[20];
} ZRSDK_RECORD_INFO;

typedef struct ZRSDK_STOP_RECORD_INFO {
    char channelCode[64];
    int32_t streamType;
    uint8_t flag;
    uint8_t reserved[3];
} ZRSDK_STOP_RECORD_INFO;

typedef struct ZRSDK_APP_RECORD_INFO {
    char channelCode[64];
    char secondCode[64];
    int32_t streamType;
    int32_t secondValue;
    char text[20];
    uint8_t reserved[20];
} ZRSDK_APP_RECORD_INFO;

typedef struct ZRSDK_STOP_APP_RECORD_INFO {
    char channelCode[64];
    char secondCode[64];
    int32_t streamType;
    uint8_t flag;
    uint8_t reserved[3];
} ZRSDK_STOP_APP_RECORD_INFO;

// Plan id and local time "YYYYMMDDhhmmss" of a record start or stop.
typedef struct ZRSDK_RECORD_RESULT {
    int32_t planId;
    char timeText[16];
} ZRSDK_RECORD_RESULT;

// ---- device functions -----------------------------------------------------------

typedef struct ZRSDK_SMARTTRACK_OPERATE {
    char code[56];
    int32_t value2;
    int32_t value1;
    uint8_t flag;
    uint8_t version;  // always 1
    uint8_t reserved1[2];
    int32_t value3;
    int32_t values[6];
    char operatorTag[20];
    uint8_t reserved2[44];
} ZRSDK_SMARTTRACK_OPERATE;

typedef struct ZRSDK_VEHICLE_PREVIEW {
    uint32_t count;
    uint32_t padding;
    char (*codes)[64];  // count consecutive 64-byte code slots; null when count is 0
} ZRSDK_VEHICLE_PREVIEW;

typedef struct ZRSDK_BINDING_ITEM {
    int32_t flag;
    char id[64];
    char name[256];
} ZRSDK_BINDING_ITEM;

typedef struct ZRSDK_BINDING_GROUP {
    int32_t type;
    int32_t subtype;
    int32_t itemCount;
    int32_t padding;
    ZRSDK_BINDING_ITEM* items;
} ZRSDK_BINDING_GROUP;

// Data of the binding callback: the channel asked about, then its groups.
typedef struct ZRSDK_RESOURCE_BINDING {
    ZRSDK_BINDING_ITEM channel;
    int32_t groupCount;
    ZRSDK_BINDING_GROUP* groups;
} ZRSDK_RESOURCE_BINDING;

// ---- PTZ movement -----------------------------------------------------------------

typedef struct ZRSDK_PTZ_DIRECT_INFO {
    char code[64];
    int32_t speed1;
    int32_t speed2;
    int32_t direction;
    int32_t start;  // 1 start moving, 0 stop
    char text[256];
    int32_t waitMs;
} ZRSDK_PTZ_DIRECT_INFO;

typedef struct ZRSDK_PTZ_CAMERA_INFO {
    char code[64];
    int32_t operType;
    int32_t start;
    int32_t speed;
    int32_t operCode;
    char text[256];
    uint8_t reserved1[8];
    int32_t waitMs;
    int32_t reserved2;
} ZRSDK_PTZ_CAMERA_INFO;

typedef struct ZRSDK_PTZ_SIT_INFO {
    char code[64];
    double x;
    double y;
    double z;
    char value[256];  // signed decimal text
} ZRSDK_PTZ_SIT_INFO;

typedef struct ZRSDK_PTZ_SIT_INFO_EX {
    char code[64];
    double extA;
    double extB;
    int32_t extValues[4];
    uint8_t extFlag;
    uint8_t reserved[7];
} ZRSDK_PTZ_SIT_INFO_EX;

// Wiper, scan margin and automatic scan.
typedef struct ZRSDK_PTZ_AUX_INFO {
    char code[64];
    int32_t mode;
    int32_t action;
    int32_t margin;
    int32_t value;
} ZRSDK_PTZ_AUX_INFO;

// ---- presets and cruise ---------------------------------------------------------------

typedef struct ZRSDK_PTZ_PRESET_INFO {
    char code[64];
    char indexText[50];
    char name[50];
    int32_t op;
    char beginTime[15];
    char endTime[15];
    uint8_t reserved[2];
    double factor;  // 1.0
} ZRSDK_PTZ_PRESET_INFO;

typedef struct ZRSDK_PRESET_POINT {
    char name[50];
    char indexText[54];
} ZRSDK_PRESET_POINT;

// Output of ZRSDK_PtzGetPresetPoints at its full size (26628 bytes); count is
// the number of presets the channel has, even when fewer entries fit.
typedef struct ZRSDK_PRESET_BUFFER {
    int32_t count;
    ZRSDK_PRESET_POINT points[ZRSDK_PRESET_BUFFER_ENTRIES];
} ZRSDK_PRESET_BUFFER;

typedef struct ZRSDK_CRUISE_PRESET_ITEM {
    int32_t presetNo;
    int32_t presetIndex;
    int32_t idleTime;
    char beginTime[15];
    char endTime[15];
    uint8_t reserved[2];
} ZRSDK_CRUISE_PRESET_ITEM;

typedef struct ZRSDK_CRUISE_PRESET {
    char code[64];
    char name[64];
    int32_t enabled;  // 1 when sent
    int32_t itemCount;
    ZRSDK_CRUISE_PRESET_ITEM* items;
} ZRSDK_CRUISE_PRESET;

// ---- PTZ lock -------------------------------------------------------------------------

typedef struct ZRSDK_USER_LOGIN_DATA {
    uint8_t userType;
    char userName[256];
    char realName[256];
    uint8_t reserved1[183];
    char userCode[64];
    char orgCode[64];
    char orgName[256];
    int32_t userLevel;
    uint8_t reserved2[288];
} ZRSDK_USER_LOGIN_DATA;

typedef struct ZRSDK_PTZ_LOCK_INFO {
    char code[64];
    int32_t lockTime;  // seconds; 0 = the platform's default
    int32_t lock;      // ZRSDK_PTZ_LOCK, ZRSDK_PTZ_UNLOCK, ZRSDK_PTZ_QUERY_LOCK
    char userCode[64];
    char userName[256];
    char text[256];
} ZRSDK_PTZ_LOCK_INFO;

// ---- event payloads of the login connection -------------------------------------------

// Login event 40.
typedef struct ZRSDK_LOCKSTATUS_CHANGED_NOTIFY {
    int32_t status;  // ZRSDK_LOCK_EVENT_...
    char code[64];
    char message[256];
    char info[20];
} ZRSDK_LOCKSTATUS_CHANGED_NOTIFY;

// Login event 50.
typedef struct ZRSDK_SMARTTRACKOBJECT_NOTIFY {
    char code[56];
    int32_t group;
    int32_t subscribeId;
    int32_t objectType;
    int32_t box[4];
    int32_t objectId;
} ZRSDK_SMARTTRACKOBJECT_NOTIFY;

// Login event 52: this header, then max(count, 1) items.
typedef struct ZRSDK_FACE_INFO_NOTIFY {
    char text1[64];
    char text2[64];
    char text3[64];
    char text4[64];
    int32_t value1;
    int32_t value2;
    char text5[256];
    char text6[256];
    uint8_t flag;
    char text7[256];
    char text8[259];
    int32_t values[11];  // value3 to value13
    char time1[15];
    char time2[15];
    uint8_t padding[2];
    uint32_t count;
} ZRSDK_FACE_INFO_NOTIFY;

typedef struct ZRSDK_FACE_INFO_ITEM {
    char text5[50];
    char text10[256];
    char text11[256];
    char text1[258];
    int32_t value1;
    char text2[20];
    int32_t value2;
    int32_t value3;
    char text3[256];
    char text4[52];
    float realValue;
    uint8_t flag;
    char text6[16];
    char text7[103];
    int32_t value4;
    char text8[32];
    char text9[256];
} ZRSDK_FACE_INFO_ITEM;

typedef struct ZRSDK_TRAFFIC_ITEM {
    int32_t itemValue1;
    uint8_t reserved1[260];
    char itemText[264];
    int32_t itemValue2;
    uint8_t reserved2[40];
} ZRSDK_TRAFFIC_ITEM;

// Login event 167.
typedef struct ZRSDK_TRAFFIC_INFO {
    uint8_t reserved1[184];
    char text3[128];
    char text1[128];
    char text4[24];
    double value64;
    int32_t value1;
    uint8_t reserved2[92];
    int32_t value3;
    uint8_t reserved3[24];
    char text5[20];
    int32_t value6;
    int32_t value5;
    int32_t value4;
    int32_t value2;
    uint8_t reserved4[156];
    char text2[64];
    uint32_t itemCount;
    ZRSDK_TRAFFIC_ITEM* items;
} ZRSDK_TRAFFIC_INFO;

// Login event 206. The fields carry the names of the values they become.
typedef struct ZRSDK_IMS_ALARM {
    char text2[256];
    char text1[20];
    char text3[20];
    char text4[256];
    char text5[256];
    char text6[256];
} ZRSDK_IMS_ALARM;

}  // extern "C"

#include "zrsdk/zrsdk_layout_checks.h"
