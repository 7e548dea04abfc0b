// Movement, lens, positioning, wiper and scanning: one platform call each,
// reported to the observers on the UI loop. None of them touches the
// worker's tables, so they take no lock.
#include <memory>
#include <string>
#include <utility>

#include "ptz/ptz.h"
#include "ptz/ptz_records.h"
#include "taskhub/task.h"
#include "tasks/queue_keys.h"
#include "vkl/log.h"
#include "zrsdk/zrsdk.h"

namespace Kestrel {

namespace {
// Result of a request that could not be sent: no logged-in user.
constexpr int kRefused = -1;

// Ptz_Operator_e v maps to operation type v % 2 + 1 and code v % 3 + 1.
struct LensCodes {
    int operType;
    int operCode;
};
constexpr LensCodes kLensCodes[] = {{1, 1}, {2, 2}, {1, 3}, {2, 1}, {1, 2}, {2, 3}};
constexpr int kLensOperations = sizeof(kLensCodes) / sizeof(kLensCodes[0]);
}  // namespace

// ---- posting -------------------------------------------------------------------------

int CPtz::PtzDirection(const std::string& code, int direction, bool stop, int speed, const std::string& menuKey) {
    const int seq = Taskhub::GetUniqueNum();
    // Built in place: the strings are copied once, into the task.
    PostRequest(QueueKey::kPtz, &CPtz::HandlePtzOperateDirectReq,
                PtzOperateDirectReq{menuKey, speed, speed, direction, code, stop ? 0 : 1, seq});
    return seq;
}

// An operation outside the table is refused before a sequence number is drawn.
int CPtz::PtzControl(const std::string& code, int op, bool stop, int speed, const std::string& menuKey) {
    if (op < 0 || op >= kLensOperations) return -1;
    PtzOperateCameraReq req;
    req.menuKey = menuKey;
    req.operType = kLensCodes[op].operType;
    req.operCode = kLensCodes[op].operCode;
    req.start = stop ? 0 : 1;
    req.code = code;
    req.speed = speed;
    const int seq = req.seq = Taskhub::GetUniqueNum();
    PostRequest(QueueKey::kPtz, &CPtz::HandlePtzOperateCameraReq, std::move(req));
    return seq;
}

int CPtz::PtzSite(const PtzSiteParam& param, const std::string& menuKey) {
    PtzSiteParam copy = param;
    copy.seq = Taskhub::GetUniqueNum();
    PostRequest(QueueKey::kPtz, &CPtz::HandlePtzSiteReq, copy, menuKey);
    return copy.seq;
}

void CPtz::RainWiper(const std::string& code, const PtzOperation& op) {
    PtzOperationReq req;
    req.code = code;
    req.operation.action = op.action;
    PostRequest(QueueKey::kPtz, &CPtz::HandleRainWiperReq, req);
}

void CPtz::SetScanMargin(const std::string& code, const PtzOperation& op) {
    PtzOperationReq req;
    req.code = code;
    req.operation.margin = op.margin;
    req.operation.value = op.value;
    PostRequest(QueueKey::kPtz, &CPtz::HandleSetScanMarginReq, req);
}

void CPtz::AutoScan(const std::string& code, const PtzOperation& op) {
    PtzOperationReq req;
    req.code = code;
    req.operation.mode = op.mode;
    req.operation.action = op.action;
    req.operation.value = op.value;
    PostRequest(QueueKey::kPtz, &CPtz::HandleAutoScanReq, req);
}

// ---- handlers ---------------------------------------------------------------------------

void CPtz::HandlePtzOperateDirectReq(WeakPtr weak, const PtzOperateDirectReq& req) {
    boost::shared_ptr<CPtz> self = weak.lock();
    if (!self) return;
    PtzOperateResult outcome;
    int ret = kRefused;
    int sessionId = 0;
    if (self->GetSession(sessionId)) {
        ZRSDK_PTZ_DIRECT_INFO info{};
        CopyText(info.code, req.code);
        info.speed1 = req.speed1;
        info.speed2 = req.speed2;
        info.direction = req.direction;
        info.start = req.start;
        info.waitMs = ZRSDK_PTZ_WAIT_MS;
        ZRSDK_OPERATE_INFO operate;
        self->FillOperateInfo(req.menuKey, operate);
        ZRSDK_PTZ_RESULT result{};
        ret = ZRSDK_PtzOperateDirect(sessionId, &info, &result, &operate);
        ReadPtzResult(ret, result, outcome);
    }
    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_DIRECTION, ret);
    param->SetSeq(req.seq);
    param->SetCode(req.code);
    param->SetParam(req.direction);
    param->SetEnable(req.start == 1);
    self->PostResultToUI(param);
}

void CPtz::HandlePtzOperateCameraReq(WeakPtr weak, const PtzOperateCameraReq& req) {
    boost::shared_ptr<CPtz> self = weak.lock();
    if (!self) return;
    PtzOperateResult outcome;
    int ret = kRefused;
    int sessionId = 0;
    if (self->GetSession(sessionId)) {
        ZRSDK_PTZ_CAMERA_INFO info{};
        CopyText(info.code, req.code);
        info.operType = req.operType;
        info.start = req.start;
        info.speed = req.speed;
        info.operCode = req.operCode;
        info.waitMs = ZRSDK_PTZ_WAIT_MS;
        ZRSDK_OPERATE_INFO operate;
        self->FillOperateInfo(req.menuKey, operate);
        ZRSDK_PTZ_RESULT result{};
        ret = ZRSDK_PtzOperateCamera(sessionId, &info, &result, &operate);
        ReadPtzResult(ret, result, outcome);
    }
    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_CAMERA, ret);
    param->SetSeq(req.seq);
    param->SetCode(req.code);
    param->SetParam(req.operCode);
    param->SetEnable(req.start == 1);
    self->PostResultToUI(param);
}

// The extended call is used only when extValues element 2 or 3 is set; the
// plain call sends position and value and nothing of the extended fields.
// The operator record is made for both, though only the extended call takes it.
void CPtz::HandlePtzSiteReq(WeakPtr weak, const PtzSiteParam& param, const std::string& menuKey) {
    boost::shared_ptr<CPtz> self = weak.lock();
    if (!self) return;
    PtzOperateResult outcome;
    int ret = kRefused;
    int sessionId = 0;
    if (self->GetSession(sessionId)) {
        ZRSDK_OPERATE_INFO operate;
        self->FillOperateInfo(menuKey, operate);
        ZRSDK_PTZ_RESULT result{};
        if (param.extValues[2] != 0 || param.extValues[3] != 0) {
            ZRSDK_PTZ_SIT_INFO_EX info{};
            CopyText(info.code, param.code);
            info.extA = param.extA;
            info.extB = param.extB;
            for (int i = 0; i < 4; ++i) info.extValues[i] = param.extValues[i];
            info.extFlag = param.extFlag;
            ret = ZRSDK_PtzSitPositionEx(sessionId, &info, &result, &operate);
        } else {
            ZRSDK_PTZ_SIT_INFO info{};
            CopyText(info.code, param.code);
            info.x = param.x;
            info.y = param.y;
            info.z = param.z;
            CopyText(info.value, std::to_string(param.value));
            ret = ZRSDK_PtzSitPosition(sessionId, &info, &result);
        }
        ReadPtzResult(ret, result, outcome);
    }
    self->PostPtzResult(CPtzParam::PTZ_EVENT_SITE, ret, param.code, param.seq);
}

void CPtz::HandleRainWiperReq(WeakPtr weak, const PtzOperationReq& req) {
    boost::shared_ptr<CPtz> self = weak.lock();
    if (!self) return;
    int ret = kRefused;
    int sessionId = 0;
    if (self->GetSession(sessionId)) {
        ZRSDK_PTZ_AUX_INFO info{};
        CopyText(info.code, req.code);
        info.action = req.operation.action;
        ret = ZRSDK_PtzRainWiper(sessionId, &info);
        if (ret != 0)
            vkl::DPrintLog::instance()->Log(vkl::LOG_LEVEL_WARN, "Ptz", 1266, "Kestrel::CPtz::HandleRainWiperReq", "",
                                            "PtzRainWiper failed. errorcode = %d", ret);
    }
    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_RAIN_WIPER, ret);
    param->SetCode(req.code);
    param->SetEnable(req.operation.action == 0);
    self->PostResultToUI(param);
}

void CPtz::HandleSetScanMarginReq(WeakPtr weak, const PtzOperationReq& req) {
    boost::shared_ptr<CPtz> self = weak.lock();
    if (!self) return;
    int ret = kRefused;
    int sessionId = 0;
    if (self->GetSession(sessionId)) {
        ZRSDK_PTZ_AUX_INFO info{};
        CopyText(info.code, req.code);
        info.margin = req.operation.margin;
        info.value = req.operation.value;
        ret = ZRSDK_PtzSetScanMargin(sessionId, &info);
        if (ret != 0)
            vkl::DPrintLog::instance()->Log(vkl::LOG_LEVEL_WARN, "Ptz", 1323, "Kestrel::CPtz::HandleSetScanMarginReq",
                                            "", "PtzSetScanMargin failed. errorcode = %d", ret);
    }
    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_SCAN_MARGIN, ret);
    param->SetCode(req.code);
    param->SetParam(req.operation.margin);
    self->PostResultToUI(param);
}

void CPtz::HandleAutoScanReq(WeakPtr weak, const PtzOperationReq& req) {
    boost::shared_ptr<CPtz> self = weak.lock();
    if (!self) return;
    int ret = kRefused;
    int sessionId = 0;
    if (self->GetSession(sessionId)) {
        ZRSDK_PTZ_AUX_INFO info{};
        CopyText(info.code, req.code);
        info.mode = req.operation.mode;
        info.action = req.operation.action;
        info.value = req.operation.value;
        ret = ZRSDK_PtzAutoScan(sessionId, &info);
        if (ret != 0)
            vkl::DPrintLog::instance()->Log(vkl::LOG_LEVEL_WARN, "Ptz", 1382, "Kestrel::CPtz::HandleAutoScanReq", "",
                                            "PtzAutoScan failed. errorcode = %d", ret);
    }
    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_AUTO_SCAN, ret);
    param->SetCode(req.code);
    param->SetEnable(req.operation.action == 0);
    self->PostResultToUI(param);
}

}  // namespace Kestrel
