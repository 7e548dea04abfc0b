// Remote and APP recording plans.
#include "api_support.h"
#include "call_hooks.h"
#include "zrsdk/zrsdk.h"

using namespace zrsdk;

namespace {

void FillRecordResult(ZRSDK_RECORD_RESULT* result, int planId, const std::string& time) {
    *result = ZRSDK_RECORD_RESULT{};
    result->planId = planId;
    WriteText(result->timeText, time);
}

int StartPlan(int sessionId, control::RecordingView plan, ZRSDK_RECORD_RESULT* result) {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    const control::UserAccount* user = nullptr;
    Channel* channel = nullptr;
    if (int rc = SessionUser(platform, sessionId, user)) {
        return rc;
    }
    if (int rc = FindChannel(platform, plan.code, channel)) {
        return rc;
    }
    plan.user = user->name;
    plan.startTime = LocalTimeText(platform.Now());
    int planId = 0;
    if (int rc = platform.recordings.Start(plan, planId)) {
        return rc;
    }
    FillRecordResult(result, planId, plan.startTime);
    return ZRSDK_OK;
}

int StopPlan(int sessionId, bool app, const std::string& code, int streamType, bool flag,
             ZRSDK_RECORD_RESULT* result) {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    const control::UserAccount* user = nullptr;
    Channel* channel = nullptr;
    if (int rc = SessionUser(platform, sessionId, user)) {
        return rc;
    }
    if (int rc = FindChannel(platform, code, channel)) {
        return rc;
    }
    const std::string now = LocalTimeText(platform.Now());
    control::RecordingView ended;
    if (int rc = platform.recordings.Stop(app, code, streamType, flag, now, ended)) {
        return rc;
    }
    FillRecordResult(result, ended.planId, now);
    return ZRSDK_OK;
}

}  // namespace

extern "C" {

ZRSDK_API int ZRSDK_StartRemoteRecord(int sessionId, const ZRSDK_RECORD_INFO* info,
                                     ZRSDK_RECORD_RESULT* result,
                                     const ZRSDK_OPERATE_INFO* operateInfo) {
    CallScope call("ZRSDK_StartRemoteRecord", sessionId);
    call.CaptureInput(info, sizeof(*info));
    call.CaptureOperateInfo(operateInfo);
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (info == nullptr || result == nullptr) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    control::RecordingView plan;
    plan.code = ReadText(info->channelCode);
    plan.streamType = info->streamType;
    plan.secondValue = info->secondValue;
    plan.text = ReadText(info->text);
    plan.menuKey = OperatorText(operateInfo, true);
    plan.menuName = OperatorText(operateInfo, false);
    return call.Finish(StartPlan(sessionId, plan, result));
}

ZRSDK_API int ZRSDK_StopRemoteRecord(int sessionId, const ZRSDK_STOP_RECORD_INFO* info,
                                    ZRSDK_RECORD_RESULT* result,
                                    const ZRSDK_OPERATE_INFO* operateInfo) {
    CallScope call("ZRSDK_StopRemoteRecord", sessionId);
    call.CaptureInput(info, sizeof(*info));
    call.CaptureOperateInfo(operateInfo);
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (info == nullptr || result == nullptr || info->flag > 1) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    return call.Finish(StopPlan(sessionId, false, ReadText(info->channelCode), info->streamType,
                                info->flag == 1, result));
}

ZRSDK_API int ZRSDK_StartAPPRemoteRecord(int sessionId, const ZRSDK_APP_RECORD_INFO* info,
                                        ZRSDK_RECORD_RESULT* result) {
    CallScope call("ZRSDK_StartAPPRemoteRecord", sessionId);
    call.CaptureInput(info, sizeof(*info));
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (info == nullptr || result == nullptr) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    control::RecordingView plan;
    plan.app = true;
    plan.code = ReadText(info->channelCode);
    plan.secondCode = ReadText(info->secondCode);
    plan.streamType = info->streamType;
    plan.secondValue = info->secondValue;
    plan.text = ReadText(info->text);
    return call.Finish(StartPlan(sessionId, plan, result));
}

ZRSDK_API int ZRSDK_StopAPPRemoteRecord(int sessionId, const ZRSDK_STOP_APP_RECORD_INFO* info,
                                       ZRSDK_RECORD_RESULT* result) {
    CallScope call("ZRSDK_StopAPPRemoteRecord", sessionId);
    call.CaptureInput(info, sizeof(*info));
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (info == nullptr || result == nullptr || info->flag > 1) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    return call.Finish(StopPlan(sessionId, true, ReadText(info->channelCode), info->streamType,
                                info->flag == 1, result));
}

}  // extern "C"
