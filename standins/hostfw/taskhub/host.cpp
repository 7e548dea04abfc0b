#include "hostfw/taskhub_host.h"

#include "activity.h"
#include "sdk_pool.h"
#include "ui_loop.h"
#include "vkl/log.h"

namespace Taskhub {
namespace Host {

void StartPool(std::size_t threads) { SdkPool::Instance().Start(threads); }

void StopPool() { SdkPool::Instance().Stop(); }

void ReopenLoops() {
    SdkPool::Instance().Reopen();
    UiLoop::Instance().Reopen();
}

void RunUILoop() { UiLoop::Instance().Run(); }

void StartUILoopThread() { UiLoop::Instance().StartThread(); }

void StopUILoop() { UiLoop::Instance().Stop(); }

std::size_t RunUIPending() { return UiLoop::Instance().RunPending(); }

bool IsUIThread() { return UiLoop::OnUiThread(); }

bool IsPoolThread() { return SdkPool::OnPoolThread(); }

bool WaitIdle(std::chrono::milliseconds timeout) {
    Activity& activity = Activity::Instance();
    if (IsPoolThread() || IsUIThread()) {
        // The calling task itself is still counted: waiting could only time out.
        vkl::DPrintLog::instance()->Log("Taskhub", __LINE__, "Taskhub::Host::WaitIdle", "", vkl::LOG_LEVEL_ERROR,
                                        "WaitIdle called from inside a task");
        return false;
    }
    const Activity::Deadline deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const uint64_t seen = activity.Generation();
        if (activity.Pending() == 0) return true;
        // With nobody running the UI loop, the waiting thread pumps it.
        if (UiLoop::Instance().RunPending() > 0) continue;
        if (!activity.WaitForChange(seen, deadline)) return activity.Pending() == 0;
    }
}

std::size_t PendingTasks() { return Activity::Instance().Pending(); }

}  // namespace Host
}  // namespace Taskhub
