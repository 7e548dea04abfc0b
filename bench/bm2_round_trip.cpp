// 2. Round trip: requests per second and the latency from the façade call
// to the observer's OnNotify, the stand-in SDK answering at once, against a
// two-hop post of the same payload (a strand of a thread pool, then the UI
// thread) that ends at the same kind of counter.
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "baseline_loops.h"
#include "bench_config.h"
#include "bench_host.h"
#include "kestrel/device_function_external.h"
#include "kestrel/device_function_param.h"
#include "kestrel/ptz_external.h"
#include "kestrel/ptz_param.h"
#include "round_trip.h"
#include "summary.h"
#include "taskhub/message_loop.h"
#include "taskhub/task.h"

namespace bench {
namespace {

constexpr int kDirection = Kestrel::CPtzParam::PTZ_EVENT_DIRECTION;
constexpr int kStartRecord = Kestrel::CDeviceFunctionParam::DEVICE_EVENT_START_RECORD;
// The baselines' results count under types of their own.
constexpr int kBaselineType = 200;
constexpr int kHostType = 202;

// What the baseline's second hop carries: the request's texts and a number,
// in a shared object as a parameter object is.
struct BaselineResult {
    std::string code;
    std::string menu;
    int seq = 0;
};

// Strand, then UI thread, then the counter; the same payload as PtzDirection.
void PostTwoHops(BaselineLoops& loops, int seq) {
    loops.PostToStrand([&loops, code = kPtzChannel, menu = kPtzMenu, seq] {
        auto result = std::make_shared<BaselineResult>(BaselineResult{code, menu, seq});
        loops.PostToUi([&loops, result] { loops.Arrivals().Arrive(kBaselineType); });
    });
}

// The same two hops through the host's own loops: Taskhub's SDK pool under
// "PTZ", then its UI loop, then the counter; nothing of Kestrel and no SDK.
void PostHostTwoHops(int seq) {
    auto* pool = Taskhub::CSingleton<Taskhub::CMessageLoopPoolForSDK>::GetInstance();
    pool->PostTask("PTZ", new Taskhub::CFunctionTask(
                              [code = kPtzChannel, menu = kPtzMenu, seq] {
                                  auto result = std::make_shared<BaselineResult>(BaselineResult{code, menu, seq});
                                  Taskhub::CSingleton<Taskhub::CMessageLoopForUI>::GetInstance()->PostTask(
                                      new Taskhub::CFunctionTask(
                                          [result] { BaselineLoops::Get().Arrivals().Arrive(kHostType); }, false));
                              },
                              false));
}

void IssuePtzDirection(Kestrel::CPtzExternal* ptz) {
    benchmark::DoNotOptimize(ptz->PtzDirection(kPtzChannel, Kestrel::DIRECTION_UP, false, 5, kPtzMenu));
}

void IssueStartRecord(Kestrel::CDeviceFunctionExternal* device) {
    benchmark::DoNotOptimize(device->StartRecord(kPtzChannel, 0, 0, kRecordText, kRecordMenu));
}

void BM_RoundTripLatencyPtzDirection(benchmark::State& state) {
    BenchHost& host = BenchHost::Get();
    Kestrel::CPtzExternal* ptz = host.Ptz();
    RunClosedLoop(state, host.PtzObserver(), kDirection, [&] { IssuePtzDirection(ptz); });
    host.WaitIdle();
}

void BM_RoundTripLatencyStartRecord(benchmark::State& state) {
    BenchHost& host = BenchHost::Get();
    Kestrel::CDeviceFunctionExternal* device = host.Device();
    RunClosedLoop(state, host.DeviceObserver(), kStartRecord, [&] { IssueStartRecord(device); });
    host.WaitIdle();
}

void BM_BaselineTwoHopLatency(benchmark::State& state) {
    BaselineLoops& loops = BaselineLoops::Get();
    int seq = 0;
    RunClosedLoop(state, loops.Arrivals(), kBaselineType, [&] { PostTwoHops(loops, ++seq); });
}

void BM_HostTwoHopLatency(benchmark::State& state) {
    BaselineLoops& loops = BaselineLoops::Get();
    BenchHost::Get();
    int seq = 0;
    RunClosedLoop(state, loops.Arrivals(), kHostType, [&] { PostHostTwoHops(++seq); });
}

void BM_HostTwoHopThroughput(benchmark::State& state) {
    BaselineLoops& loops = BaselineLoops::Get();
    BenchHost::Get();
    int seq = 0;
    RunBursts(state, loops.Arrivals(), kHostType, [&] { PostHostTwoHops(++seq); });
}

void BM_RoundTripThroughputPtzDirection(benchmark::State& state) {
    BenchHost& host = BenchHost::Get();
    Kestrel::CPtzExternal* ptz = host.Ptz();
    RunBursts(state, host.PtzObserver(), kDirection, [&] { IssuePtzDirection(ptz); });
    host.WaitIdle();
}

void BM_RoundTripThroughputStartRecord(benchmark::State& state) {
    BenchHost& host = BenchHost::Get();
    Kestrel::CDeviceFunctionExternal* device = host.Device();
    RunBursts(state, host.DeviceObserver(), kStartRecord, [&] { IssueStartRecord(device); });
    host.WaitIdle();
}

void BM_BaselineTwoHopThroughput(benchmark::State& state) {
    BaselineLoops& loops = BaselineLoops::Get();
    int seq = 0;
    RunBursts(state, loops.Arrivals(), kBaselineType, [&] { PostTwoHops(loops, ++seq); });
}

BENCHMARK(BM_BaselineTwoHopLatency)->UseManualTime();
BENCHMARK(BM_HostTwoHopLatency)->UseManualTime();
BENCHMARK(BM_RoundTripLatencyPtzDirection)->UseManualTime();
BENCHMARK(BM_RoundTripLatencyStartRecord)->UseManualTime();
BENCHMARK(BM_BaselineTwoHopThroughput)->UseRealTime();
BENCHMARK(BM_HostTwoHopThroughput)->UseRealTime();
BENCHMARK(BM_RoundTripThroughputPtzDirection)->UseRealTime();
BENCHMARK(BM_RoundTripThroughputStartRecord)->UseRealTime();

const char* const kSection = "2 Round trip (façade call to OnNotify; baseline: strand, then UI thread)";
const Figure kBaselineRate{"BM_BaselineTwoHopThroughput", "requests_per_s"};
const Figure kBaselineP50{"BM_BaselineTwoHopLatency", "p50_us"};
const Figure kBaselineP99{"BM_BaselineTwoHopLatency", "p99_us"};
const bool kRegistered =
    AddComparison({kSection, "PtzDirection requests per second", {"BM_RoundTripThroughputPtzDirection", "requests_per_s"}, kBaselineRate, "/s", Better::Higher, 0.5}) &&
    AddComparison({kSection, "PtzDirection median latency", {"BM_RoundTripLatencyPtzDirection", "p50_us"}, kBaselineP50, "us", Better::Lower, 0}) &&
    AddComparison({kSection, "PtzDirection 99th percentile", {"BM_RoundTripLatencyPtzDirection", "p99_us"}, kBaselineP99, "us", Better::Lower, 0}) &&
    AddComparison({kSection, "StartRecord requests per second", {"BM_RoundTripThroughputStartRecord", "requests_per_s"}, kBaselineRate, "/s", Better::Higher, 0.5}) &&
    AddComparison({kSection, "StartRecord median latency", {"BM_RoundTripLatencyStartRecord", "p50_us"}, kBaselineP50, "us", Better::Lower, 0}) &&
    AddComparison({kSection, "StartRecord 99th percentile", {"BM_RoundTripLatencyStartRecord", "p99_us"}, kBaselineP99, "us", Better::Lower, 0}) &&
    AddComparison({kSection, "(host) Taskhub pool + UI loop, per second", {"BM_HostTwoHopThroughput", "requests_per_s"}, kBaselineRate, "/s", Better::Higher, 0}) &&
    AddComparison({kSection, "(host) Taskhub pool + UI loop, median", {"BM_HostTwoHopLatency", "p50_us"}, kBaselineP50, "us", Better::Lower, 0});

}  // namespace
}  // namespace bench
