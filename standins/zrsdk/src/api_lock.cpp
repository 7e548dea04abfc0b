// PTZ locks and the login data that lock requests carry.
#include "api_support.h"
#include "call_hooks.h"
#include "zrsdk/zrsdk.h"

using namespace zrsdk;

extern "C" {

ZRSDK_API int ZRSDK_GetUserLoginData(int sessionId, ZRSDK_USER_LOGIN_DATA* data) {
    CallScope call("ZRSDK_GetUserLoginData", sessionId);
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (data == nullptr) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    const control::UserAccount* user = nullptr;
    if ((rc = SessionUser(platform, sessionId, user))) {
        return call.Finish(rc);
    }
    *data = ZRSDK_USER_LOGIN_DATA{};
    data->userType = 1;
    WriteText(data->userName, user->name);
    WriteText(data->realName, user->name);
    WriteText(data->userCode, user->userCode);
    WriteText(data->orgCode, "org-0001");
    WriteText(data->orgName, "Headquarters");
    data->userLevel = 1;
    return call.Finish(ZRSDK_OK);
}

ZRSDK_API int ZRSDK_PtzArrangePtz(int sessionId, const ZRSDK_PTZ_LOCK_INFO* info,
                                 ZRSDK_PTZ_RESULT* result,
                                 const ZRSDK_OPERATE_INFO* operateInfo) {
    CallScope call("ZRSDK_PtzArrangePtz", sessionId);
    call.CaptureInput(info, sizeof(*info));
    call.CaptureOperateInfo(operateInfo);
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (info == nullptr || result == nullptr || info->lockTime < 0) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    if (info->lock != ZRSDK_PTZ_LOCK && info->lock != ZRSDK_PTZ_UNLOCK &&
        info->lock != ZRSDK_PTZ_QUERY_LOCK) {
        return call.Finish(ZRSDK_ERR_UNSUPPORTED);
    }
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    const control::UserAccount* user = nullptr;
    Channel* channel = nullptr;
    const std::string code = ReadText(info->code);
    if ((rc = SessionUser(platform, sessionId, user)) ||
        (rc = FindChannel(platform, code, channel))) {
        return call.Finish(rc);
    }
    if (!channel->info.isPtz) {
        return call.Finish(ZRSDK_ERR_NOT_PTZ);
    }
    // The holder is the session's user; the names in the record are the
    // caller's view of it and are kept only in the capture.
    LockDecision decision;
    switch (info->lock) {
        case ZRSDK_PTZ_LOCK:
            decision = platform.locks.Lock(code, user->name, info->lockTime, platform.Now());
            platform.locks.ApplyForcedStatus(decision);
            break;
        case ZRSDK_PTZ_UNLOCK:
            decision = platform.locks.Unlock(code, user->name, platform.Now());
            platform.locks.ApplyForcedStatus(decision);
            break;
        default:
            decision = platform.locks.Query(code, platform.Now());
            break;
    }
    FillPtzResult(result, decision.status, decision.text, decision.answer);
    if (decision.changed) {
        platform.BroadcastLockStatus(decision.eventStatus, code, decision.eventUser);
    }
    return call.Finish(ZRSDK_OK);
}

}  // extern "C"
