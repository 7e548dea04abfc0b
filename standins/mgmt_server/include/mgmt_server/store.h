#pragma once
// What the management server keeps: guard-preset tasks per channel,
// idle-motion settings per channel and the devices it was asked to restart.
// Thread-safe; tests read it to see what a call changed.
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "mgmt_server/mgmt_server_export.h"

namespace mgmt {

struct GuardPresetConfig {
    int presetIndex = 0;
    std::string beginTime;
    std::string endTime;
    int idleTime = 0;
    int type = 0;
    std::int64_t id = 0;  // given by the server when the task is saved
    int cover = 0;
};

struct GuardPresetTask {
    std::int64_t id = 0;  // given by the server when the task is saved
    std::string channelCode;
    std::string channelSn;
    int status = 0;
    std::vector<GuardPresetConfig> configList;
};

struct IdleMotionSetting {
    bool enable = false;
    std::string function;
    int index = 0;
    int second = 0;
};

class MGMT_SERVER_API Store {
public:
    // A channel has at most one task: saving replaces the previous one. The
    // task and each of its configs get new ids; returns the task's id.
    std::int64_t SaveGuardPresetTask(GuardPresetTask task);
    std::optional<GuardPresetTask> GuardPresetTaskOf(const std::string& channelCode) const;
    // False when no task has that id.
    bool DeleteGuardPresetTask(std::int64_t id);
    std::map<std::string, GuardPresetTask> GuardPresetTasks() const;

    void SetIdleMotion(const std::string& channelCode, const IdleMotionSetting& setting);
    std::optional<IdleMotionSetting> IdleMotionOf(const std::string& channelCode) const;

    void RecordRestart(const std::string& deviceCode);
    // Every restart asked for, in order, repeats included.
    std::vector<std::string> RestartedDevices() const;

    void Clear();

private:
    mutable std::mutex m_mutex;
    std::map<std::string, GuardPresetTask> m_tasks;
    std::map<std::string, IdleMotionSetting> m_idleMotion;
    std::vector<std::string> m_restarts;
    std::int64_t m_nextTaskId = 1;
    std::int64_t m_nextConfigId = 1;
};

}  // namespace mgmt
