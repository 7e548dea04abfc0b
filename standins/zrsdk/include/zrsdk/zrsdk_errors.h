#pragma once
// Result codes of the stand-in platform SDK. 0 is success; every refusal has
// a code of its own so that callers and tests can tell them apart.

#define ZRSDK_OK 0
#define ZRSDK_ERR_INVALID_PARAM 10001       // null pointer, bad size or value
#define ZRSDK_ERR_INVALID_SESSION 10002     // session id unknown or logged out
#define ZRSDK_ERR_BAD_LOGIN 10003           // unknown user or wrong password
#define ZRSDK_ERR_UNKNOWN_CHANNEL 10004     // channel code not in the platform
#define ZRSDK_ERR_NOT_PTZ 10005             // PTZ call on a fixed camera
#define ZRSDK_ERR_ALREADY_RECORDING 10006   // start while a plan is running
#define ZRSDK_ERR_NOT_RECORDING 10007       // stop without a running plan
#define ZRSDK_ERR_UNKNOWN_PRESET 10008      // goto/delete of a missing preset
#define ZRSDK_ERR_PTZ_LOCKED 10009          // PTZ held by another user's lock
#define ZRSDK_ERR_UNSUPPORTED 10010         // command or operation not known
