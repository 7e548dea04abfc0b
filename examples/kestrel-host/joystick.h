#pragma once
// `kestrel-host joystick`: a held joystick against a slow camera, with
// Kestrel's motion policy off and on, and a move whose stop never comes.
//
// The channel's platform PTZ calls take 150 ms (the stand-in SDK's latency).
// "hold": the client repeats a direction every 100 ms for 3 s, then releases;
// printed are the time from the release to the platform's receipt of the
// stop, and how many requests reached the platform. "runaway": a start and
// no stop, with the dead-man time at 1 s; printed is when the platform got
// the stop Kestrel sent. Every figure is read from what the stand-in SDK
// recorded, not from Kestrel. With --json each case is one JSON object a line.
#include <chrono>

namespace kestrel_host {

class HostSession;

struct JoystickTiming {
    std::chrono::milliseconds platformCall{150};
    std::chrono::milliseconds repeat{100};
    std::chrono::milliseconds hold{3000};
    std::chrono::milliseconds deadMan{1000};
};

// 0 when every case saw its stop reach the platform, 1 otherwise.
int RunJoystick(HostSession& session, const JoystickTiming& timing = JoystickTiming());

}  // namespace kestrel_host
