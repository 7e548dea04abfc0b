#pragma once
// Server events that the host makes the stand-in platform push over the
// operator's login connection: one builder per kind that Kestrel handles,
// with a few settable values, and how Kestrel's answer to it is recognised.
#include <map>
#include <string>
#include <vector>

#include "request_tracker.h"
#include "zrsdk/zrsdk_control.h"

namespace kestrel_host {

struct PushKind {
    std::string name;  // "lock-status", "smart-track", ...
    int loginEvent;    // 40, 50, ...
    std::string eventName;  // what Kestrel turns it into
    // Settable values and their defaults, in the order of the help text.
    std::vector<std::pair<std::string, std::string>> values;
};

const std::vector<PushKind>& PushKinds();
const PushKind* FindPushKind(const std::string& name);

struct PushPlan {
    zrsdk::control::LoginEventData event;
    AnswerMatch match;     // the event Kestrel delivers for it
    std::string subject;   // for messages: the channel or text pushed
};

// Builds the event from the kind's defaults overridden by `values`. `broken`
// cuts the payload to half its size: Kestrel must drop it. Throws
// std::invalid_argument for an unknown value name or a bad number.
PushPlan BuildPush(const PushKind& kind, const std::map<std::string, std::string>& values, bool broken);

// The local time as the platform writes it: "YYYYMMDDhhmmss".
std::string NowTimeText();

}  // namespace kestrel_host
