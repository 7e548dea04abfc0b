#pragma once
// Round trips: from a call on the client's thread to the arrival of its
// result at an observer. Latency is taken one request at a time, throughput
// with bursts in flight.
#include <chrono>
#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

#include "arrival_counter.h"
#include "batching.h"

namespace bench {

// Requests in flight in a throughput burst.
constexpr int kBurst = 256;

// Median and 99th percentile of the samples (µs) as counters p50_us and p99_us.
inline void ReportLatency(benchmark::State& state, std::vector<double>& samples) {
    state.counters["p50_us"] = Quantile(samples, 0.50);
    state.counters["p99_us"] = Quantile(samples, 0.99);
}

// One request per iteration: issue() starts it, and the iteration ends when
// the counter has seen one more arrival of the type. The iteration's time is
// the time from the call to the arrival (taken where it arrives); use with
// UseManualTime.
template <class Issue>
void RunClosedLoop(benchmark::State& state, ArrivalCounter& counter, int eventType, Issue issue) {
    std::vector<double> samples;
    uint64_t expected = counter.Count(eventType);
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        issue();
        if (!counter.WaitFor(eventType, ++expected)) {
            state.SkipWithError("a result did not arrive");
            break;
        }
        const std::chrono::duration<double> took = counter.LastArrival(eventType) - start;
        state.SetIterationTime(took.count());
        samples.push_back(took.count() * 1e6);
    }
    ReportLatency(state, samples);
}

// kBurst requests per iteration, and the iteration ends when all of their
// results have arrived; the rate is requests_per_s. Use with UseRealTime.
template <class Issue>
void RunBursts(benchmark::State& state, ArrivalCounter& counter, int eventType, Issue issue) {
    uint64_t expected = counter.Count(eventType);
    for (auto _ : state) {
        for (int i = 0; i < kBurst; ++i) issue();
        expected += kBurst;
        if (!counter.WaitFor(eventType, expected)) {
            state.SkipWithError("results did not arrive");
            break;
        }
    }
    state.counters["requests_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kBurst, benchmark::Counter::kIsRate);
}

}  // namespace bench
