// 8. The PTZ motion policy: how long a held joystick's stop takes to reach a
// slow camera with the policy off and on, beside the floor (what is left of
// the platform call in flight when the stop is made); and what a façade
// move costs with the policy on, beside off.
#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "batching.h"
#include "bench_config.h"
#include "bench_host.h"
#include "kestrel/ptz_external.h"
#include "summary.h"
#include "zrsdk/zrsdk_control.h"

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;
namespace control = zrsdk::control;

const char* const kDirect = "ZRSDK_PtzOperateDirect";
constexpr std::chrono::milliseconds kPlatformCall{150};
constexpr std::chrono::milliseconds kRepeat{100};
constexpr std::chrono::milliseconds kHold{3000};
constexpr std::size_t kStartFlagAt = 76;

Kestrel::PtzMotionPolicy PolicyOn() {
    Kestrel::PtzMotionPolicy policy;
    policy.supersede = true;
    policy.deadManMs = 1000;
    policy.stopOnLeaving = true;
    return policy;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// A façade move per iteration into the held "PTZ" queue: the policy off
// (0), all on (1), superseding alone (2), the dead-man alone (3). The last
// move is stopped before the policy goes off, so no dead-man stop follows.
void BM_MotionFacadeMove(benchmark::State& state) {
    BenchHost& host = BenchHost::Get();
    Kestrel::CPtzExternal* ptz = host.Ptz();
    Kestrel::PtzMotionPolicy policy = PolicyOn();
    if (state.range(0) == 2) policy.deadManMs = 0;
    if (state.range(0) == 3) policy.supersede = false;
    if (state.range(0) != 0) ptz->SetMotionPolicy(policy);
    RunHeld(
        state, [&] { return host.HoldQueue("PTZ"); },
        [&] { benchmark::DoNotOptimize(ptz->PtzDirection(kPtzChannel, Kestrel::DIRECTION_UP, false, 5, kPtzMenu)); },
        [&](const std::shared_ptr<Gate>& gate) {
            gate->Open();
            host.WaitIdle();
        });
    ptz->PtzDirection(kPtzChannel, Kestrel::DIRECTION_UP, true, 5, kPtzMenu);
    ptz->SetMotionPolicy(Kestrel::PtzMotionPolicy());
    host.WaitIdle();
}

// Per iteration: the direction repeated every 100 ms for 3 s while each
// platform direction call takes 150 ms, then the stop. Counters (means over
// the iterations): the release to the platform's receipt of the stop, the
// floor, and how many of the 30 moves and the stop reached the platform.
// Read from the stand-in SDK's record of the calls.
void BM_MotionHeldJoystickStop(benchmark::State& state) {
    BenchHost& host = BenchHost::Get();
    Kestrel::CPtzExternal* ptz = host.Ptz();
    ptz->SetMotionPolicy(state.range(0) == 1 ? PolicyOn() : Kestrel::PtzMotionPolicy());
    control::SetLatency(kDirect, kPlatformCall);
    std::vector<double> latency, floor, sent;
    for (auto _ : state) {
        host.WaitIdle();
        control::ClearCaptures();
        const Clock::time_point begin = Clock::now();
        for (Clock::time_point next = begin; next - begin < kHold; next += kRepeat) {
            std::this_thread::sleep_until(next);
            ptz->PtzDirection(kPtzChannel, Kestrel::DIRECTION_LEFT, false, 5, kPtzMenu);
        }
        std::this_thread::sleep_until(begin + kHold);
        const Clock::time_point release = Clock::now();
        ptz->PtzDirection(kPtzChannel, Kestrel::DIRECTION_LEFT, true, 5, kPtzMenu);
        host.WaitIdle();
        const std::vector<control::CapturedCall> calls = control::CapturedCalls(kDirect);
        auto stop = std::find_if(calls.begin(), calls.end(),
                                 [](const control::CapturedCall& c) { return c.input.at(kStartFlagAt) == 0; });
        if (stop == calls.end()) {
            state.SkipWithError("the stop did not reach the platform");
            break;
        }
        Clock::time_point inFlightEnds = release;
        for (const control::CapturedCall& call : calls) {
            if (call.received < release) inFlightEnds = std::max(inFlightEnds, call.received + kPlatformCall);
        }
        latency.push_back(Ms(stop->received - release));
        floor.push_back(Ms(inFlightEnds - release));
        sent.push_back(static_cast<double>(control::CallCount(kDirect)));
        state.SetIterationTime(Ms(stop->received - release) / 1000);
    }
    control::SetLatency(kDirect, std::chrono::milliseconds(0));
    ptz->SetMotionPolicy(Kestrel::PtzMotionPolicy());
    host.WaitIdle();
    const auto mean = [](const std::vector<double>& v) {
        double sum = 0;
        for (double x : v) sum += x;
        return v.empty() ? 0 : sum / static_cast<double>(v.size());
    };
    state.counters["stop_latency_ms"] = mean(latency);
    state.counters["floor_ms"] = mean(floor);
    state.counters["platform_call_ms"] = static_cast<double>(kPlatformCall.count());
    state.counters["requests_sent"] = mean(sent);
}

BENCHMARK(BM_MotionFacadeMove)->Arg(0)->Arg(1)->Arg(2)->Arg(3);
BENCHMARK(BM_MotionHeldJoystickStop)->Arg(0)->Arg(1)->Iterations(2)->Repetitions(1)->UseManualTime();

const char* const kSection = "8 PTZ motion policy (held joystick, platform calls of 150 ms; façade move)";
const bool kRegistered =
    AddComparison({kSection, "stop latency, policy on / one platform call",
                   {"BM_MotionHeldJoystickStop/1", "stop_latency_ms"},
                   {"BM_MotionHeldJoystickStop/1", "platform_call_ms"}, "ms", Better::Lower, 1.2}) &&
    AddComparison({kSection, "stop latency, policy on / floor", {"BM_MotionHeldJoystickStop/1", "stop_latency_ms"},
                   {"BM_MotionHeldJoystickStop/1", "floor_ms"}, "ms", Better::Lower, 0}) &&
    AddComparison({kSection, "stop latency, policy off / floor", {"BM_MotionHeldJoystickStop/0", "stop_latency_ms"},
                   {"BM_MotionHeldJoystickStop/0", "floor_ms"}, "ms", Better::Lower, 0}) &&
    AddComparison({kSection, "requests sent of 31 made, policy on / off",
                   {"BM_MotionHeldJoystickStop/1", "requests_sent"},
                   {"BM_MotionHeldJoystickStop/0", "requests_sent"}, "", Better::Lower, 0}) &&
    AddComparison({kSection, "façade PtzDirection, policy on / off", {"BM_MotionFacadeMove/1", "cpu_ns"},
                   {"BM_MotionFacadeMove/0", "cpu_ns"}, "ns", Better::Lower, 1.1}) &&
    AddComparison({kSection, "façade PtzDirection, superseding alone / off", {"BM_MotionFacadeMove/2", "cpu_ns"},
                   {"BM_MotionFacadeMove/0", "cpu_ns"}, "ns", Better::Lower, 0}) &&
    AddComparison({kSection, "façade PtzDirection, dead-man alone / off", {"BM_MotionFacadeMove/3", "cpu_ns"},
                   {"BM_MotionFacadeMove/0", "cpu_ns"}, "ns", Better::Lower, 0});

}  // namespace
}  // namespace bench
