#pragma once
// Remote and APP recording plans. A channel records at most one plan of each
// kind per stream type at a time.
#include <cstdint>
#include <string>
#include <vector>

#include "zrsdk/zrsdk_control.h"

namespace zrsdk {

class RecordingBook {
public:
    void Reset();
    // ZRSDK_OK with the plan's id, or ZRSDK_ERR_ALREADY_RECORDING.
    int Start(control::RecordingView plan, int& planId);
    // ZRSDK_OK with the ended plan, or ZRSDK_ERR_NOT_RECORDING.
    int Stop(bool app, const std::string& code, int streamType, bool flag,
             const std::string& stopTime, control::RecordingView& ended);
    const std::vector<control::RecordingView>& All() const { return m_plans; }

private:
    control::RecordingView* Running(bool app, const std::string& code, int streamType);

    std::vector<control::RecordingView> m_plans;
    int m_nextPlanId = 5001;
};

}  // namespace zrsdk
