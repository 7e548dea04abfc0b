#include "recording_book.h"

#include "zrsdk/zrsdk_errors.h"

namespace zrsdk {

void RecordingBook::Reset() {
    m_plans.clear();
    m_nextPlanId = 5001;
}

control::RecordingView* RecordingBook::Running(bool app, const std::string& code, int streamType) {
    for (auto& plan : m_plans) {
        if (plan.active && plan.app == app && plan.code == code && plan.streamType == streamType) {
            return &plan;
        }
    }
    return nullptr;
}

int RecordingBook::Start(control::RecordingView plan, int& planId) {
    if (Running(plan.app, plan.code, plan.streamType) != nullptr) {
        return ZRSDK_ERR_ALREADY_RECORDING;
    }
    plan.planId = m_nextPlanId++;
    plan.active = true;
    planId = plan.planId;
    m_plans.push_back(std::move(plan));
    return ZRSDK_OK;
}

int RecordingBook::Stop(bool app, const std::string& code, int streamType, bool flag,
                        const std::string& stopTime, control::RecordingView& ended) {
    auto* plan = Running(app, code, streamType);
    if (plan == nullptr) {
        return ZRSDK_ERR_NOT_RECORDING;
    }
    plan->active = false;
    plan->stopTime = stopTime;
    plan->stopFlag = flag;
    ended = *plan;
    return ZRSDK_OK;
}

}  // namespace zrsdk
