#include "mgmt_server/store.h"

namespace mgmt {

std::int64_t Store::SaveGuardPresetTask(GuardPresetTask task) {
    std::lock_guard<std::mutex> lock(m_mutex);
    task.id = m_nextTaskId++;
    for (GuardPresetConfig& config : task.configList) config.id = m_nextConfigId++;
    const std::int64_t id = task.id;
    m_tasks[task.channelCode] = std::move(task);
    return id;
}

std::optional<GuardPresetTask> Store::GuardPresetTaskOf(const std::string& channelCode) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_tasks.find(channelCode);
    if (it == m_tasks.end()) return std::nullopt;
    return it->second;
}

bool Store::DeleteGuardPresetTask(std::int64_t id) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_tasks.begin(); it != m_tasks.end(); ++it) {
        if (it->second.id == id) {
            m_tasks.erase(it);
            return true;
        }
    }
    return false;
}

std::map<std::string, GuardPresetTask> Store::GuardPresetTasks() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_tasks;
}

void Store::SetIdleMotion(const std::string& channelCode, const IdleMotionSetting& setting) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_idleMotion[channelCode] = setting;
}

std::optional<IdleMotionSetting> Store::IdleMotionOf(const std::string& channelCode) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_idleMotion.find(channelCode);
    if (it == m_idleMotion.end()) return std::nullopt;
    return it->second;
}

void Store::RecordRestart(const std::string& deviceCode) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_restarts.push_back(deviceCode);
}

std::vector<std::string> Store::RestartedDevices() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_restarts;
}

void Store::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_tasks.clear();
    m_idleMotion.clear();
    m_restarts.clear();
}

}  // namespace mgmt
