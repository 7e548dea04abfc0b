// 1. Façade call cost: the time a façade call takes on the client's thread,
// against posting a closure that carries the same strings straight to a
// strand of a thread pool.
#include <benchmark/benchmark.h>

#include "baseline_loops.h"
#include "batching.h"
#include "bench_config.h"
#include "bench_host.h"
#include "kestrel/device_function_external.h"
#include "kestrel/ptz_external.h"
#include "summary.h"

namespace bench {
namespace {

void BM_FacadePtzDirection(benchmark::State& state) {
    BenchHost& host = BenchHost::Get();
    Kestrel::CPtzExternal* ptz = host.Ptz();
    RunBatched(
        state,
        [&] { benchmark::DoNotOptimize(ptz->PtzDirection(kPtzChannel, Kestrel::DIRECTION_UP, false, 5, kPtzMenu)); },
        [&] { host.WaitIdle(); });
}

void BM_FacadeStartRecord(benchmark::State& state) {
    BenchHost& host = BenchHost::Get();
    Kestrel::CDeviceFunctionExternal* device = host.Device();
    RunBatched(
        state, [&] { benchmark::DoNotOptimize(device->StartRecord(kPtzChannel, 0, 0, kRecordText, kRecordMenu)); },
        [&] { host.WaitIdle(); });
}

void BM_FacadeQueryPrePoint(benchmark::State& state) {
    BenchHost& host = BenchHost::Get();
    Kestrel::CPtzExternal* ptz = host.Ptz();
    RunBatched(
        state, [&] { benchmark::DoNotOptimize(ptz->QueryPrePoint(kPtzChannel, false)); },
        [&] { host.WaitIdle(); });
}

// The closure copies as many of the request's strings as the façade call
// it stands beside: 1 (QueryPrePoint), 2 (PtzDirection), 3 (StartRecord).
void BM_BaselineStrandPost(benchmark::State& state) {
    BaselineLoops& loops = BaselineLoops::Get();
    auto drain = [&] { loops.Drain(); };
    switch (state.range(0)) {
        case 1:
            RunBatched(
                state, [&] { loops.PostToStrand([code = kPtzChannel] { benchmark::DoNotOptimize(code.data()); }); },
                drain);
            break;
        case 2:
            RunBatched(
                state,
                [&] {
                    loops.PostToStrand([code = kPtzChannel, menu = kPtzMenu] {
                        benchmark::DoNotOptimize(code.data());
                        benchmark::DoNotOptimize(menu.data());
                    });
                },
                drain);
            break;
        default:
            RunBatched(
                state,
                [&] {
                    loops.PostToStrand([code = kPtzChannel, text = kRecordText, menu = kRecordMenu] {
                        benchmark::DoNotOptimize(code.data());
                        benchmark::DoNotOptimize(text.data());
                        benchmark::DoNotOptimize(menu.data());
                    });
                },
                drain);
            break;
    }
}

BENCHMARK(BM_BaselineStrandPost)->Arg(1)->Arg(2)->Arg(3);
BENCHMARK(BM_FacadePtzDirection);
BENCHMARK(BM_FacadeStartRecord);
BENCHMARK(BM_FacadeQueryPrePoint);

const char* const kSection = "1 Façade call cost (CPU time on the calling thread)";
const bool kRegistered =
    AddComparison({kSection, "PtzDirection", {"BM_FacadePtzDirection", "cpu_ns"}, {"BM_BaselineStrandPost/2", "cpu_ns"}, "ns", Better::Lower, 1.5}) &&
    AddComparison({kSection, "StartRecord", {"BM_FacadeStartRecord", "cpu_ns"}, {"BM_BaselineStrandPost/3", "cpu_ns"}, "ns", Better::Lower, 1.5}) &&
    AddComparison({kSection, "QueryPrePoint", {"BM_FacadeQueryPrePoint", "cpu_ns"}, {"BM_BaselineStrandPost/1", "cpu_ns"}, "ns", Better::Lower, 1.5});

}  // namespace
}  // namespace bench
