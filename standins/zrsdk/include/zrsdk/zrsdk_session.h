#pragma once
// Session side of the platform SDK: what the host's account and resource-tree
// plug-ins use (Kestrel itself never calls these).
#include "host_export.h"

extern "C" {

// Server event of the login connection: type, result, raw record and size.
// The record is valid only during the call.
typedef void (*ZRSDK_LoginEventCallback)(int eventType, int eventResult, void* data,
                                         unsigned int size, void* user);

typedef struct ZRSDK_CHANNEL_ENTRY {
    char code[64];
    char channelId[32];
    char name[128];
    char deviceCode[64];
    int channelNo;
    int isPtz;
} ZRSDK_CHANNEL_ENTRY;

// 0 and a new session id on success; an error code for a bad user or password.
ZRSDK_API int ZRSDK_Login(const char* user, const char* password, int* sessionId);
ZRSDK_API int ZRSDK_Logout(int sessionId);
// Events of the session's login connection go to cb (null stops them). The
// SDK calls cb on its own thread, one event at a time.
ZRSDK_API int ZRSDK_SetLoginEventCallback(int sessionId, ZRSDK_LoginEventCallback cb, void* user);
// The channels the session's user may see: fills up to capacity entries and
// sets count to the number of channels there are.
ZRSDK_API int ZRSDK_QueryChannels(int sessionId, ZRSDK_CHANNEL_ENTRY* entries, int capacity,
                                 int* count);

}  // extern "C"
