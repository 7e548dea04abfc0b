#pragma once
// The platform client SDK calls Kestrel makes. Every call takes the session
// id of the logged-in user first and returns 0 on success, otherwise the
// SDK's error code; outputs are valid only after 0. No call takes a time-out.
#include "host_export.h"
#include "zrsdk/zrsdk_types.h"

extern "C" {

// Data callback of ZRSDK_GetResourceBinding: message ZRSDK_MSG_RESOURCE_BINDING,
// data a ZRSDK_RESOURCE_BINDING (with its groups and items) valid during the
// call only, user as passed to the call. Called on the caller's thread before
// the call returns, possibly more than once (the last delivery counts).
typedef void (*ZRSDK_ResourceBindingCallback)(int message, const void* data, unsigned int length,
                                              void* user);
// Data callback of ZRSDK_GetChannelCruisePreset: message ZRSDK_MSG_CRUISE_PRESET,
// data a ZRSDK_CRUISE_PRESET (with its items) valid during the call only. The
// data pointer is not const so that a callback written as
// void(int, void*, unsigned, void*) fits without a cast; the SDK owns the
// memory and ignores anything written to it.
typedef void (*ZRSDK_CruisePresetCallback)(int message, void* data, unsigned int length,
                                           void* user);

// ---- recording -----------------------------------------------------------------------
ZRSDK_API int ZRSDK_StartRemoteRecord(int sessionId, const ZRSDK_RECORD_INFO* info,
                                     ZRSDK_RECORD_RESULT* result,
                                     const ZRSDK_OPERATE_INFO* operateInfo);
ZRSDK_API int ZRSDK_StopRemoteRecord(int sessionId, const ZRSDK_STOP_RECORD_INFO* info,
                                    ZRSDK_RECORD_RESULT* result,
                                    const ZRSDK_OPERATE_INFO* operateInfo);
ZRSDK_API int ZRSDK_StartAPPRemoteRecord(int sessionId, const ZRSDK_APP_RECORD_INFO* info,
                                        ZRSDK_RECORD_RESULT* result);
ZRSDK_API int ZRSDK_StopAPPRemoteRecord(int sessionId, const ZRSDK_STOP_APP_RECORD_INFO* info,
                                       ZRSDK_RECORD_RESULT* result);

// ---- device functions ------------------------------------------------------------------
ZRSDK_API int ZRSDK_SmartTrackOperate(int sessionId, const ZRSDK_SMARTTRACK_OPERATE* operate);
ZRSDK_API int ZRSDK_VehiclePreviewConfig(int sessionId, const ZRSDK_VEHICLE_PREVIEW* preview);
// channelCode: NUL-terminated text of at most 63 characters.
ZRSDK_API int ZRSDK_GetResourceBinding(int sessionId, const char* channelCode,
                                      ZRSDK_ResourceBindingCallback callback, void* user);
ZRSDK_API int ZRSDK_GetFlowSetIFrame(int sessionId, const char* channelCode);

// ---- PTZ movement ----------------------------------------------------------------------
ZRSDK_API int ZRSDK_PtzOperateDirect(int sessionId, const ZRSDK_PTZ_DIRECT_INFO* info,
                                    ZRSDK_PTZ_RESULT* result,
                                    const ZRSDK_OPERATE_INFO* operateInfo);
ZRSDK_API int ZRSDK_PtzOperateCamera(int sessionId, const ZRSDK_PTZ_CAMERA_INFO* info,
                                    ZRSDK_PTZ_RESULT* result,
                                    const ZRSDK_OPERATE_INFO* operateInfo);
ZRSDK_API int ZRSDK_PtzSitPositionEx(int sessionId, const ZRSDK_PTZ_SIT_INFO_EX* info,
                                    ZRSDK_PTZ_RESULT* result,
                                    const ZRSDK_OPERATE_INFO* operateInfo);
ZRSDK_API int ZRSDK_PtzSitPosition(int sessionId, const ZRSDK_PTZ_SIT_INFO* info,
                                  ZRSDK_PTZ_RESULT* result);
ZRSDK_API int ZRSDK_PtzRainWiper(int sessionId, const ZRSDK_PTZ_AUX_INFO* info);
ZRSDK_API int ZRSDK_PtzSetScanMargin(int sessionId, const ZRSDK_PTZ_AUX_INFO* info);
ZRSDK_API int ZRSDK_PtzAutoScan(int sessionId, const ZRSDK_PTZ_AUX_INFO* info);

// ---- PTZ lock --------------------------------------------------------------------------
ZRSDK_API int ZRSDK_PtzArrangePtz(int sessionId, const ZRSDK_PTZ_LOCK_INFO* info,
                                 ZRSDK_PTZ_RESULT* result,
                                 const ZRSDK_OPERATE_INFO* operateInfo);
ZRSDK_API int ZRSDK_GetUserLoginData(int sessionId, ZRSDK_USER_LOGIN_DATA* data);

// ---- presets and cruise -----------------------------------------------------------------
// Fills buffer (laid out as ZRSDK_PRESET_BUFFER) with the count of the
// channel's presets and as many entries as bufferSize holds; never writes
// past bufferSize bytes.
ZRSDK_API int ZRSDK_PtzGetPresetPoints(int sessionId, const char* channelCode, void* buffer,
                                      unsigned int bufferSize);
ZRSDK_API int ZRSDK_PtzOperatePresetPoint(int sessionId, const ZRSDK_PTZ_PRESET_INFO* info,
                                         ZRSDK_PTZ_RESULT* result,
                                         const ZRSDK_OPERATE_INFO* operateInfo);
ZRSDK_API int ZRSDK_GetChannelCruisePreset(int sessionId, const char* channelCode,
                                          ZRSDK_CruisePresetCallback callback, void* user,
                                          const ZRSDK_OPERATE_INFO* operateInfo);
ZRSDK_API int ZRSDK_SetChannelCruisePreset(int sessionId, const ZRSDK_CRUISE_PRESET* cruise,
                                          const ZRSDK_OPERATE_INFO* operateInfo);

}  // extern "C"
