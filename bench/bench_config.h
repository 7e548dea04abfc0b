#pragma once
// What every benchmark shares: the host's shape and the request arguments.
#include <cstddef>
#include <string>

namespace bench {

// Threads of the host's SDK pool, and of the baselines' thread pool.
constexpr std::size_t kPoolThreads = 4;

// The arguments of the requests: short texts, as a client sends them.
inline const std::string kPtzChannel = "ch-0001";
inline const std::string kPtzMenu = "menu.ptz";
inline const std::string kRecordMenu = "menu.record";
inline const std::string kRecordText = "bench";
// The PTZ channel with 300 presets, for the second preset queue.
inline const std::string kManyPresetChannel = "ch-0003";

}  // namespace bench
