#include "task_holder.h"

#include <exception>
#include <utility>

#include "activity.h"
#include "vkl/log.h"

namespace Taskhub {

TaskHolder::TaskHolder(CTask* task, const char* loopName, std::atomic<std::size_t>* queued)
    : m_task(task), m_loopName(loopName), m_queued(queued) {
    if (m_queued) ++*m_queued;
    Activity::Instance().Posted();
}

TaskHolder::TaskHolder(TaskHolder&& other) noexcept
    : m_task(std::exchange(other.m_task, nullptr)),
      m_loopName(other.m_loopName),
      m_queued(other.m_queued) {}

TaskHolder::~TaskHolder() {
    if (!m_task) return;
    delete std::exchange(m_task, nullptr);
    Finish();
}

void TaskHolder::Run() {
    CTask* task = std::exchange(m_task, nullptr);
    if (!task) return;
    try {
        task->Exec();
    } catch (const std::exception& e) {
        vkl::DPrintLog::instance()->Log("Taskhub", __LINE__, "Taskhub::TaskHolder::Run", "", vkl::LOG_LEVEL_ERROR,
                                        "task on %s threw: %s", m_loopName, e.what());
    } catch (...) {
        vkl::DPrintLog::instance()->Log("Taskhub", __LINE__, "Taskhub::TaskHolder::Run", "", vkl::LOG_LEVEL_ERROR,
                                        "task on %s threw a non-standard exception", m_loopName);
    }
    delete task;
    Finish();
}

void TaskHolder::Finish() {
    if (m_queued) --*m_queued;
    Activity::Instance().Finished();
}

}  // namespace Taskhub
