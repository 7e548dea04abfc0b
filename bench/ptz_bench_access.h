#pragma once
// The benchmarks' way into CPtz (a friend of it): fill the lock table and
// the preset cache directly, and tick the lock timer on the calling thread.
#include <string>
#include <utility>
#include <vector>

#include "ptz/ptz.h"

namespace Kestrel {

class CPtzBenchAccess {
public:
    // Records the code as locked for `seconds`, as a granted lock does.
    static void AddLock(CPtz& ptz, const std::string& code, int seconds) { ptz.AddLockCamera(code, seconds); }
    // One tick of the lock timer, as the timer thread delivers it.
    static void Tick(CPtz& ptz) { ptz.OnTimer(ptz.m_timerId.load()); }
    // The channel's cached presets, as a preset query's answer leaves them.
    static void SetPresets(CPtz& ptz, const std::string& code, std::vector<PrePointInfo> presets) {
        vkl::DMutexGuard guard(ptz.m_mutex);
        ptz.m_presetCache[code] = std::move(presets);
    }
};

}  // namespace Kestrel
