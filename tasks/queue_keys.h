#pragma once
// Queue keys of the SDK pool: tasks of one key run in the order posted.
// Strings made once, so that a post does not build (and, for the longer
// keys, allocate) the key anew.
#include <string>

namespace Kestrel {
namespace QueueKey {
inline const std::string kDevice = "CDeviceCommunicate";
inline const std::string kPtz = "PTZ";
inline const std::string kPtzPreset = "PTZPreset";
inline const std::string kArPtzPreset = "ARPTZPreset";
inline const std::string kFace = "CFaceFunction";
}  // namespace QueueKey
}  // namespace Kestrel
