#pragma once
// Host side of Taskhub: what the host program does with the SDK pool and the
// UI loop that plug-ins post to.
#include <chrono>
#include <cstddef>

#include "host_export.h"

namespace Taskhub {
namespace Host {

// Starts the SDK pool with the given number of threads (at least 2 are used).
// Posting before StartPool queues the task until the pool starts.
TASKHUB_API void StartPool(std::size_t threads);
// Runs every task already posted (and those they post to the pool), then joins
// the threads. Tasks posted afterwards are deleted without running.
TASKHUB_API void StopPool();

// Puts a stopped pool and UI loop back into their state before the first
// start: tasks posted from now on are queued until StartPool, until the UI
// loop runs, or until RunUIPending pumps them. No effect on a running one.
TASKHUB_API void ReopenLoops();

// Runs the UI loop on the calling thread until StopUILoop.
TASKHUB_API void RunUILoop();
// Runs the UI loop on a thread of its own (for tests and headless hosts).
TASKHUB_API void StartUILoopThread();
// Runs what is queued, then makes RunUILoop return (or joins the UI thread).
TASKHUB_API void StopUILoop();
// Runs the UI tasks queued now on the calling thread; returns how many ran.
TASKHUB_API std::size_t RunUIPending();
TASKHUB_API bool IsUIThread();
// True on a thread of the SDK pool.
TASKHUB_API bool IsPoolThread();

// Waits until nothing is queued or running in the pool and in the UI loop
// (tasks that post further tasks included). False on time-out.
TASKHUB_API bool WaitIdle(std::chrono::milliseconds timeout);

// Number of tasks posted and not yet run, pool and UI loop together.
TASKHUB_API std::size_t PendingTasks();

}  // namespace Host
}  // namespace Taskhub
