// PTZ movement: direction, lens, positioning, wiper and scanning.
#include "api_support.h"
#include "call_hooks.h"
#include "zrsdk/zrsdk.h"

using namespace zrsdk;

namespace {

// The answer record of a movement the platform carried out.
void Done(ZRSDK_PTZ_RESULT* result) {
    FillPtzResult(result, 0, "OK", 0);
}

int AuxCall(const char* function, int sessionId, const ZRSDK_PTZ_AUX_INFO* info,
            int (*apply)(PtzUnit&, const ZRSDK_PTZ_AUX_INFO&)) {
    CallScope call(function, sessionId);
    call.CaptureInput(info, sizeof(*info));
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (info == nullptr) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    return call.Finish(WithSteerablePtz(
        sessionId, ReadText(info->code),
        [&](Channel& channel, const control::UserAccount&) { return apply(channel.ptz, *info); }));
}

}  // namespace

extern "C" {

ZRSDK_API int ZRSDK_PtzOperateDirect(int sessionId, const ZRSDK_PTZ_DIRECT_INFO* info,
                                    ZRSDK_PTZ_RESULT* result,
                                    const ZRSDK_OPERATE_INFO* operateInfo) {
    CallScope call("ZRSDK_PtzOperateDirect", sessionId);
    call.CaptureInput(info, sizeof(*info));
    call.CaptureOperateInfo(operateInfo);
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (info == nullptr || result == nullptr || info->waitMs <= 0 ||
        (info->start != 0 && info->start != 1)) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    rc = WithSteerablePtz(sessionId, ReadText(info->code),
                          [&](Channel& channel, const control::UserAccount&) {
                              return channel.ptz.Move(info->direction, info->speed1,
                                                      info->start == 1);
                          });
    if (rc == ZRSDK_OK) {
        Done(result);
    }
    return call.Finish(rc);
}

ZRSDK_API int ZRSDK_PtzOperateCamera(int sessionId, const ZRSDK_PTZ_CAMERA_INFO* info,
                                    ZRSDK_PTZ_RESULT* result,
                                    const ZRSDK_OPERATE_INFO* operateInfo) {
    CallScope call("ZRSDK_PtzOperateCamera", sessionId);
    call.CaptureInput(info, sizeof(*info));
    call.CaptureOperateInfo(operateInfo);
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (info == nullptr || result == nullptr || info->waitMs <= 0 ||
        (info->start != 0 && info->start != 1)) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    rc = WithSteerablePtz(sessionId, ReadText(info->code),
                          [&](Channel& channel, const control::UserAccount&) {
                              return channel.ptz.Lens(info->operType, info->operCode, info->speed,
                                                      info->start == 1);
                          });
    if (rc == ZRSDK_OK) {
        Done(result);
    }
    return call.Finish(rc);
}

ZRSDK_API int ZRSDK_PtzSitPosition(int sessionId, const ZRSDK_PTZ_SIT_INFO* info,
                                  ZRSDK_PTZ_RESULT* result) {
    CallScope call("ZRSDK_PtzSitPosition", sessionId);
    call.CaptureInput(info, sizeof(*info));
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    int value = 0;
    if (info == nullptr || result == nullptr || !ParseInt(ReadText(info->value), value)) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    rc = WithSteerablePtz(sessionId, ReadText(info->code),
                          [&](Channel& channel, const control::UserAccount&) {
                              return channel.ptz.Position(info->x, info->y, info->z, value);
                          });
    if (rc == ZRSDK_OK) {
        Done(result);
    }
    return call.Finish(rc);
}

ZRSDK_API int ZRSDK_PtzSitPositionEx(int sessionId, const ZRSDK_PTZ_SIT_INFO_EX* info,
                                    ZRSDK_PTZ_RESULT* result,
                                    const ZRSDK_OPERATE_INFO* operateInfo) {
    CallScope call("ZRSDK_PtzSitPositionEx", sessionId);
    call.CaptureInput(info, sizeof(*info));
    call.CaptureOperateInfo(operateInfo);
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (info == nullptr || result == nullptr) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    rc = WithSteerablePtz(sessionId, ReadText(info->code),
                          [&](Channel& channel, const control::UserAccount&) {
                              return channel.ptz.PositionEx(info->extA, info->extB,
                                                            info->extValues, info->extFlag);
                          });
    if (rc == ZRSDK_OK) {
        Done(result);
    }
    return call.Finish(rc);
}

ZRSDK_API int ZRSDK_PtzRainWiper(int sessionId, const ZRSDK_PTZ_AUX_INFO* info) {
    return AuxCall("ZRSDK_PtzRainWiper", sessionId, info,
                   [](PtzUnit& ptz, const ZRSDK_PTZ_AUX_INFO& aux) { return ptz.Wiper(aux.action); });
}

ZRSDK_API int ZRSDK_PtzSetScanMargin(int sessionId, const ZRSDK_PTZ_AUX_INFO* info) {
    return AuxCall("ZRSDK_PtzSetScanMargin", sessionId, info,
                   [](PtzUnit& ptz, const ZRSDK_PTZ_AUX_INFO& aux) {
                       return ptz.ScanMargin(aux.margin, aux.value);
                   });
}

ZRSDK_API int ZRSDK_PtzAutoScan(int sessionId, const ZRSDK_PTZ_AUX_INFO* info) {
    return AuxCall("ZRSDK_PtzAutoScan", sessionId, info,
                   [](PtzUnit& ptz, const ZRSDK_PTZ_AUX_INFO& aux) {
                       return ptz.AutoScan(aux.mode, aux.action, aux.value);
                   });
}

}  // extern "C"
