#pragma once
#include <cstdint>

namespace vkl {
namespace Clock {

// The process clock behind DTime::GetTime: real time, or a manual time that
// only moves when the host says so. Readable from any thread.
bool IsManual();
int64_t ManualNowMs();
void SetManual(int64_t nowMs);
void SetManualNow(int64_t nowMs);
void SetReal();

// Milliseconds since 1970 as DTime reports them.
int64_t WallNowMs();
// The time base timers are scheduled on: the manual time when the clock is
// manual, otherwise a monotonic count of milliseconds.
int64_t SchedulerNowMs();

}  // namespace Clock
}  // namespace vkl
