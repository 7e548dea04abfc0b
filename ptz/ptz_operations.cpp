// Movement, lens, positioning, wiper and scanning: one platform call each,
// reported to the observers on the UI loop. None of them touches the
// worker's tables, so they take no lock.
#include <memory>
#include <string>
#include <utility>

#include "ptz/ptz.h"
#include "ptz/ptz_call.h"
#include "ptz/ptz_records.h"
#include "taskhub/task.h"
#include "tasks/queue_keys.h"
#include "vkl/log.h"
#include "zrsdk/zrsdk.h"

namespace Kestrel {

namespace {
// Ptz_Operator_e v maps to operation type v % 2 + 1 and code v % 3 + 1.
struct LensCodes {
    int operType;
    int operCode;
};
constexpr LensCodes kLensCodes[] = {{1, 1}, {2, 2}, {1, 3}, {2, 1}, {1, 2}, {2, 3}};
constexpr int kLensOperations = sizeof(kLensCodes) / sizeof(kLensCodes[0]);

// An auxiliary call's failure is logged at warning level; its code is the result.
int LoggedAuxiliary(int ret, int line, const char* function, const char* failure) {
    if (ret != 0) vkl::DPrintLog::instance()->Log("Ptz", line, function, "", vkl::LOG_LEVEL_WARN, failure, ret);
    return ret;
}
}  // namespace

// ---- posting -------------------------------------------------------------------------

int CPtz::PtzDirection(const std::string& code, int direction, bool stop, int speed, const std::string& menuKey) {
    const int seq = Taskhub::GetUniqueNum();
    PtzOperateDirectReq req{menuKey, speed, speed, direction, code, stop ? 0 : 1, seq, MoveOrigin::Client};
    // The strings are copied once, here; the task takes them over.
    m_motion.Made(req, [&] { PostRequest(QueueKey::kPtz, &CPtz::HandlePtzOperateDirectReq, std::move(req)); });
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
    m_motion.Made(req, [&] { PostRequest(QueueKey::kPtz, &CPtz::HandlePtzOperateCameraReq, std::move(req)); });
    return seq;
}

int CPtz::PtzSite(const PtzSiteParam& param, const std::string& menuKey) {
    PtzSiteParam copy = param;
    copy.seq = Taskhub::GetUniqueNum();
    m_motion.Settled(copy.code);
    PostRequest(QueueKey::kPtz, &CPtz::HandlePtzSiteReq, copy, menuKey);
    return copy.seq;
}

void CPtz::PostMove(const PtzMove& move) {
    if (const auto* direct = std::get_if<PtzOperateDirectReq>(&move)) {
        PostRequest(QueueKey::kPtz, &CPtz::HandlePtzOperateDirectReq, *direct);
    } else {
        PostRequest(QueueKey::kPtz, &CPtz::HandlePtzOperateCameraReq, std::get<PtzOperateCameraReq>(move));
    }
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
    if (!self->m_motion.Admit(req)) {
        return self->FinishMove(req, CPtzParam::PTZ_EVENT_DIRECTION, PTZ_RESULT_SUPERSEDED, req.direction);
    }
    PtzOperateResult outcome;
    const int ret = self->CallWithResult(req.menuKey, outcome, [&](int session, auto* operate, auto* result) {
        ZRSDK_PTZ_DIRECT_INFO info{};
        CopyText(info.code, req.code);
        info.speed1 = req.speed1;
        info.speed2 = req.speed2;
        info.direction = req.direction;
        info.start = req.start;
        info.waitMs = ZRSDK_PTZ_WAIT_MS;
        return ZRSDK_PtzOperateDirect(session, &info, result, operate);
    });
    self->FinishMove(req, CPtzParam::PTZ_EVENT_DIRECTION, ret, req.direction);
}

void CPtz::HandlePtzOperateCameraReq(WeakPtr weak, const PtzOperateCameraReq& req) {
    boost::shared_ptr<CPtz> self = weak.lock();
    if (!self) return;
    if (!self->m_motion.Admit(req)) {
        return self->FinishMove(req, CPtzParam::PTZ_EVENT_CAMERA, PTZ_RESULT_SUPERSEDED, req.operCode);
    }
    PtzOperateResult outcome;
    const int ret = self->CallWithResult(req.menuKey, outcome, [&](int session, auto* operate, auto* result) {
        ZRSDK_PTZ_CAMERA_INFO info{};
        CopyText(info.code, req.code);
        info.operType = req.operType;
        info.start = req.start;
        info.speed = req.speed;
        info.operCode = req.operCode;
        info.waitMs = ZRSDK_PTZ_WAIT_MS;
        return ZRSDK_PtzOperateCamera(session, &info, result, operate);
    });
    self->FinishMove(req, CPtzParam::PTZ_EVENT_CAMERA, ret, req.operCode);
}

template <class Request>
void CPtz::FinishMove(const Request& req, CPtzParam::EventType type, int result, int value) {
    switch (req.origin) {
    case MoveOrigin::Client: break;
    case MoveOrigin::DeadMan: type = CPtzParam::PTZ_EVENT_AUTO_STOP; break;
    case MoveOrigin::Leaving: return m_motion.LeavingStopDone();
    }
    PostMoveResult(type, result, req.code, req.seq, value, req.start);
}

// The extended call is used only when extValues element 2 or 3 is set; the
// plain call sends position and value and nothing of the extended fields.
// The operator record is made for both, though only the extended call takes it.
void CPtz::HandlePtzSiteReq(WeakPtr weak, const PtzSiteParam& param, const std::string& menuKey) {
    boost::shared_ptr<CPtz> self = weak.lock();
    if (!self) return;
    self->m_motion.Positioned(param.code);
    PtzOperateResult outcome;
    const int ret = self->CallWithResult(menuKey, outcome, [&](int session, auto* operate, auto* result) {
        if (param.extValues[2] != 0 || param.extValues[3] != 0) {
            ZRSDK_PTZ_SIT_INFO_EX info{};
            CopyText(info.code, param.code);
            info.extA = param.extA;
            info.extB = param.extB;
            for (int i = 0; i < 4; ++i) info.extValues[i] = param.extValues[i];
            info.extFlag = param.extFlag;
            return ZRSDK_PtzSitPositionEx(session, &info, result, operate);
        }
        ZRSDK_PTZ_SIT_INFO info{};
        CopyText(info.code, param.code);
        info.x = param.x;
        info.y = param.y;
        info.z = param.z;
        CopyText(info.value, std::to_string(param.value));
        return ZRSDK_PtzSitPosition(session, &info, result);
    });
    self->PostPtzResult(CPtzParam::PTZ_EVENT_SITE, ret, param.code, param.seq);
}

void CPtz::HandleRainWiperReq(WeakPtr weak, const PtzOperationReq& req) {
    boost::shared_ptr<CPtz> self = weak.lock();
    if (!self) return;
    const int ret = self->CallForUser([&](int session) {
        ZRSDK_PTZ_AUX_INFO info{};
        CopyText(info.code, req.code);
        info.action = req.operation.action;
        return LoggedAuxiliary(ZRSDK_PtzRainWiper(session, &info), 1266, "Kestrel::CPtz::HandleRainWiperReq",
                               "PtzRainWiper failed. errorcode = %d");
    });
    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_RAIN_WIPER, ret);
    param->SetCode(req.code);
    param->SetEnable(req.operation.action == 0);
    self->PostResultToUI(param);
}

void CPtz::HandleSetScanMarginReq(WeakPtr weak, const PtzOperationReq& req) {
    boost::shared_ptr<CPtz> self = weak.lock();
    if (!self) return;
    const int ret = self->CallForUser([&](int session) {
        ZRSDK_PTZ_AUX_INFO info{};
        CopyText(info.code, req.code);
        info.margin = req.operation.margin;
        info.value = req.operation.value;
        return LoggedAuxiliary(ZRSDK_PtzSetScanMargin(session, &info), 1323, "Kestrel::CPtz::HandleSetScanMarginReq",
                               "PtzSetScanMargin failed. errorcode = %d");
    });
    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_SCAN_MARGIN, ret);
    param->SetCode(req.code);
    param->SetParam(req.operation.margin);
    self->PostResultToUI(param);
}

void CPtz::HandleAutoScanReq(WeakPtr weak, const PtzOperationReq& req) {
    boost::shared_ptr<CPtz> self = weak.lock();
    if (!self) return;
    const int ret = self->CallForUser([&](int session) {
        ZRSDK_PTZ_AUX_INFO info{};
        CopyText(info.code, req.code);
        info.mode = req.operation.mode;
        info.action = req.operation.action;
        info.value = req.operation.value;
        return LoggedAuxiliary(ZRSDK_PtzAutoScan(session, &info), 1382, "Kestrel::CPtz::HandleAutoScanReq",
                               "PtzAutoScan failed. errorcode = %d");
    });
    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_AUTO_SCAN, ret);
    param->SetCode(req.code);
    param->SetEnable(req.operation.action == 0);
    self->PostResultToUI(param);
}

// A direction or lens result: the value moved and whether it started.
void CPtz::PostMoveResult(CPtzParam::EventType type, int ret, const std::string& code, int seq, int value,
                          int start) {
    auto param = std::make_shared<CPtzParam>(type, ret);
    param->SetSeq(seq);
    param->SetCode(code);
    param->SetParam(value);
    param->SetEnable(start == 1);
    PostResultToUI(param);
}

}  // namespace Kestrel
