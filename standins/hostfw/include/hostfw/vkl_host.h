#pragma once
// Host side of vkl: where log lines go, and a clock that tests drive.
#include <cstdint>
#include <functional>
#include <string>

#include "host_export.h"

namespace vkl {
namespace Host {

struct LogRecord {
    int level;
    std::string source;
    int line;
    std::string function;
    std::string tag;
    std::string text;
};

// Every line goes to the sink (replacing the default: stderr, or the file of
// SetLogFile). An empty function restores the default.
VKL_API void SetLogSink(std::function<void(const LogRecord&)> sink);
// Lines below this level are dropped before they reach any sink.
VKL_API void SetLogLevel(int minimumLevel);
// The default sink writes to this file instead of stderr ("" = stderr).
VKL_API bool SetLogFile(const std::string& path);

// Manual clock: DTime::GetTime returns the manual time and timers fire only
// when AdvanceClock moves past their due time.
VKL_API void UseManualClock(int64_t startMs);
VKL_API void UseRealClock();
// Moves the manual clock forward, firing every due tick in time order on the
// timer thread; returns after they have all run.
VKL_API void AdvanceClock(int64_t ms);

// Ends the one timer thread after the tick in progress and joins it (a host
// does it before it exits). Timers keep their schedule; the next timer call
// starts the thread again.
VKL_API void StopTimerThread();

}  // namespace Host
}  // namespace vkl
