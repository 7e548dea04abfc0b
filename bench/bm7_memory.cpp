// 7. Memory: heap bytes per queued request and the peak resident memory
// with 100,000 requests queued (PtzDirection, its queue held so that they
// stay queued), against 100,000 closures carrying the same strings queued
// on a held strand.
#include <malloc.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "baseline_loops.h"
#include "bench_config.h"
#include "bench_host.h"
#include "heap_counter.h"
#include "kestrel/ptz_external.h"
#include "summary.h"

namespace bench {
namespace {

constexpr int kQueued = 100000;

// A field of /proc/self/status in kB ("VmRSS", "VmHWM"); 0 when absent.
long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.compare(0, prefix.size(), prefix) == 0) return std::stol(line.substr(prefix.size()));
    return 0;
}

// Gives freed memory back and restarts the peak from the current size.
void ResetPeak() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Queues kQueued posts with post(), while hold() keeps them queued; release
// lets them run. Counters: heap bytes per post, and the resident memory at
// its peak and its growth over the start.
template <class Hold, class Post, class Release>
void MeasureQueued(benchmark::State& state, Hold hold, Post post, Release release) {
    for (auto _ : state) {
        state.PauseTiming();
        ResetPeak();
        const long startKb = StatusKb("VmRSS");
        auto gate = hold();
        state.ResumeTiming();
        const HeapWindow window;
        for (int i = 0; i < kQueued; ++i) post();
        const int64_t heapBytes = window.NetBytes();
        state.PauseTiming();
        const long peakKb = StatusKb("VmHWM");
        release(gate);
        state.ResumeTiming();
        state.counters["heap_bytes_per_request"] = static_cast<double>(heapBytes) / kQueued;
        state.counters["peak_rss_mb"] = peakKb / 1024.0;
        state.counters["rss_growth_mb"] = (peakKb - startKb) / 1024.0;
    }
}

void BM_MemoryQueuedRequests(benchmark::State& state) {
    BenchHost& host = BenchHost::Get();
    host.WaitIdle();
    Kestrel::CPtzExternal* ptz = host.Ptz();
    MeasureQueued(
        state, [&] { return host.HoldQueue("PTZ"); },
        [&] { ptz->PtzDirection(kPtzChannel, Kestrel::DIRECTION_UP, false, 5, kPtzMenu); },
        [&](const std::shared_ptr<Gate>& gate) {
            gate->Open();
            host.WaitIdle();
        });
}

void BM_BaselineMemoryQueuedClosures(benchmark::State& state) {
    BaselineLoops& loops = BaselineLoops::Get();
    MeasureQueued(
        state, [&] { return loops.HoldStrand(); },
        [&] {
            loops.PostToStrand([code = kPtzChannel, menu = kPtzMenu] {
                benchmark::DoNotOptimize(code.data());
                benchmark::DoNotOptimize(menu.data());
            });
        },
        [&](const std::shared_ptr<Gate>& gate) {
            gate->Open();
            loops.Drain();
        });
}

BENCHMARK(BM_BaselineMemoryQueuedClosures)->Iterations(1)->UseRealTime();
BENCHMARK(BM_MemoryQueuedRequests)->Iterations(1)->UseRealTime();

const char* const kSection = "7 Memory (100,000 PtzDirection queued; baseline: closures with the same strings on a held strand)";
const bool kRegistered =
    AddComparison({kSection, "heap bytes per queued request", {"BM_MemoryQueuedRequests", "heap_bytes_per_request"},
                   {"BM_BaselineMemoryQueuedClosures", "heap_bytes_per_request"}, "B", Better::Lower, 0}) &&
    AddComparison({kSection, "resident memory growth, 100,000 queued", {"BM_MemoryQueuedRequests", "rss_growth_mb"},
                   {"BM_BaselineMemoryQueuedClosures", "rss_growth_mb"}, "MB", Better::Lower, 0}) &&
    AddComparison({kSection, "peak resident memory, 100,000 queued", {"BM_MemoryQueuedRequests", "peak_rss_mb"},
                   {"BM_BaselineMemoryQueuedClosures", "peak_rss_mb"}, "MB", Better::Lower, 0});

}  // namespace
}  // namespace bench
