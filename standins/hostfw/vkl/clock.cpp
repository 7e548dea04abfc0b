#include "clock.h"

#include <atomic>
#include <chrono>

#include "vkl/time.h"

namespace vkl {
namespace Clock {
namespace {
std::atomic<bool> g_manual{false};
std::atomic<int64_t> g_manualMs{0};
}  // namespace

bool IsManual() { return g_manual.load(std::memory_order_acquire); }

int64_t ManualNowMs() { return g_manualMs.load(std::memory_order_acquire); }

void SetManual(int64_t nowMs) {
    g_manualMs.store(nowMs, std::memory_order_release);
    g_manual.store(true, std::memory_order_release);
}

void SetManualNow(int64_t nowMs) { g_manualMs.store(nowMs, std::memory_order_release); }

void SetReal() { g_manual.store(false, std::memory_order_release); }

int64_t WallNowMs() {
    if (IsManual()) return ManualNowMs();
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

int64_t SchedulerNowMs() {
    if (IsManual()) return ManualNowMs();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace Clock

int64_t DTime::GetTime() { return Clock::WallNowMs(); }

}  // namespace vkl
