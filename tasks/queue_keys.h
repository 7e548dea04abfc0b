#pragma once
// Queue keys of the SDK pool: tasks of one key run in the order posted.
namespace Kestrel {
namespace QueueKey {
constexpr const char* kDevice = "CDeviceCommunicate";
constexpr const char* kPtz = "PTZ";
constexpr const char* kPtzPreset = "PTZPreset";
constexpr const char* kArPtzPreset = "ARPTZPreset";
constexpr const char* kFace = "CFaceFunction";
}  // namespace QueueKey
}  // namespace Kestrel
