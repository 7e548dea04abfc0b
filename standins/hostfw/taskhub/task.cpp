#include "taskhub/task.h"

#include <atomic>

namespace Taskhub {

CTask::~CTask() = default;

bool CTask::IsLastTaskForWait() { return false; }

void CTask::SetFunction(const boost::function<void()>&) {}

CFunctionTask::CFunctionTask(const boost::function<void()>& function, bool lastTaskForWait)
    : m_function(function), m_lastTaskForWait(lastTaskForWait) {}

CFunctionTask::~CFunctionTask() = default;

void CFunctionTask::Exec() {
    if (m_function) m_function();
}

bool CFunctionTask::IsLastTaskForWait() { return m_lastTaskForWait; }

void CFunctionTask::SetFunction(const boost::function<void()>& function) { m_function = function; }

int GetUniqueNum() {
    // Positive and strictly increasing for the whole run.
    static std::atomic<int> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace Taskhub
