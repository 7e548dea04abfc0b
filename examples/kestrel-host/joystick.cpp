#include "joystick.h"

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <boost/json/object.hpp>

#include "host_session.h"
#include "kestrel/ptz_external.h"
#include "output.h"
#include "zrsdk/zrsdk_control.h"

namespace kestrel_host {

namespace {

using Clock = std::chrono::steady_clock;
namespace control = zrsdk::control;

const char* const kChannel = "ch-0001";
const char* const kDirect = "ZRSDK_PtzOperateDirect";
constexpr std::size_t kStartFlagAt = 76;  // in the direction record

struct CaseResult {
    std::string name;
    bool policy = false;
    long long platformCallMs = 0;
    std::optional<long long> stopLatencyMs;
    long long requestsMade = 0;
    long long requestsSent = 0;
};

// When the platform received the first stop of the channel's direction
// calls, if it has.
std::optional<Clock::time_point> StopReceived() {
    for (const control::CapturedCall& call : control::CapturedCalls(kDirect)) {
        if (call.input.size() > kStartFlagAt && call.input[kStartFlagAt] == 0) return call.received;
    }
    return std::nullopt;
}

std::optional<Clock::time_point> WaitForStop(HostSession& session, std::chrono::milliseconds timeout) {
    std::optional<Clock::time_point> received;
    session.Hub().WaitUntil([&] { return (received = StopReceived()).has_value(); }, timeout,
                            std::chrono::milliseconds(2));
    return received;
}

Kestrel::PtzMotionPolicy PolicyOn(const JoystickTiming& timing) {
    Kestrel::PtzMotionPolicy policy;
    policy.supersede = true;
    policy.deadManMs = static_cast<int>(timing.deadMan.count());
    policy.stopOnLeaving = true;
    return policy;
}

// Starts every case from a quiet platform with its captures cleared.
bool Settle(HostSession& session) {
    const bool idle = session.WaitAll(session.Options().timeout);
    control::ClearCaptures();
    return idle;
}

CaseResult Hold(HostSession& session, const JoystickTiming& timing, bool policy) {
    CaseResult result;
    result.name = "hold";
    result.policy = policy;
    result.platformCallMs = timing.platformCall.count();
    session.Ptz().SetMotionPolicy(policy ? PolicyOn(timing) : Kestrel::PtzMotionPolicy());
    Settle(session);
    const Clock::time_point begin = Clock::now();
    for (Clock::time_point next = begin; next - begin < timing.hold; next += timing.repeat) {
        std::this_thread::sleep_until(next);
        session.Ptz().PtzDirection(kChannel, Kestrel::DIRECTION_LEFT, false, 5, "menu.ptz");
        ++result.requestsMade;
    }
    std::this_thread::sleep_until(begin + timing.hold);
    const Clock::time_point release = Clock::now();
    session.Ptz().PtzDirection(kChannel, Kestrel::DIRECTION_LEFT, true, 5, "menu.ptz");
    ++result.requestsMade;
    if (auto received = WaitForStop(session, session.Options().timeout)) {
        result.stopLatencyMs = std::chrono::duration_cast<std::chrono::milliseconds>(*received - release).count();
    }
    session.WaitAll(session.Options().timeout);
    result.requestsSent = static_cast<long long>(control::CallCount(kDirect));
    return result;
}

CaseResult Runaway(HostSession& session, const JoystickTiming& timing) {
    CaseResult result;
    result.name = "runaway";
    result.policy = true;
    result.platformCallMs = timing.platformCall.count();
    session.Ptz().SetMotionPolicy(PolicyOn(timing));
    Settle(session);
    const Clock::time_point start = Clock::now();
    session.Ptz().PtzDirection(kChannel, Kestrel::DIRECTION_RIGHT, false, 5, "menu.ptz");
    result.requestsMade = 1;
    if (auto received = WaitForStop(session, timing.deadMan + session.Options().timeout)) {
        result.stopLatencyMs = std::chrono::duration_cast<std::chrono::milliseconds>(*received - start).count();
    }
    session.WaitAll(session.Options().timeout);
    result.requestsSent = static_cast<long long>(control::CallCount(kDirect));
    return result;
}

void Print(Output& out, const CaseResult& r) {
    boost::json::object json{{"case", r.name},
                             {"policy", r.policy ? "on" : "off"},
                             {"platformCallMs", r.platformCallMs},
                             {"requestsMade", r.requestsMade},
                             {"requestsSent", r.requestsSent}};
    if (r.stopLatencyMs) {
        json["stopLatencyMs"] = *r.stopLatencyMs;
    } else {
        json["stopLatencyMs"] = nullptr;
    }
    std::ostringstream text;
    text << r.name << ", policy " << (r.policy ? "on" : "off") << ": platform call " << r.platformCallMs
         << " ms; stop reached the platform ";
    if (r.stopLatencyMs) {
        text << *r.stopLatencyMs << " ms after the " << (r.name == "hold" ? "release" : "start");
    } else {
        text << "never";
    }
    text << "; requests made " << r.requestsMade << ", sent " << r.requestsSent << "\n";
    out.Record(json, text.str());
}

}  // namespace

int RunJoystick(HostSession& session, const JoystickTiming& timing) {
    Output& out = session.Out();
    out.Section("joystick: " + std::string(kChannel) + ", platform PTZ calls of " +
                std::to_string(timing.platformCall.count()) + " ms, a direction repeated every " +
                std::to_string(timing.repeat.count()) + " ms for " + std::to_string(timing.hold.count()) + " ms");
    control::SetLatency(kDirect, timing.platformCall);
    out.SetEventsShown(false);
    std::vector<CaseResult> results;
    results.push_back(Hold(session, timing, false));
    results.push_back(Hold(session, timing, true));
    results.push_back(Runaway(session, timing));
    session.Ptz().SetMotionPolicy(Kestrel::PtzMotionPolicy());
    out.SetEventsShown(true);
    control::SetLatency(kDirect, std::chrono::milliseconds(0));
    int status = 0;
    for (const CaseResult& r : results) {
        Print(out, r);
        if (!r.stopLatencyMs) status = 1;
    }
    return status;
}

}  // namespace kestrel_host
