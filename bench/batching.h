#pragma once
// Shared loops of the benchmarks.
#include <algorithm>
#include <cstddef>
#include <vector>

#include <benchmark/benchmark.h>

namespace bench {

// Calls per batch before the posted work is drained with the timer stopped,
// so that queues stay short and every batch starts from idle loops.
constexpr int kBatch = 256;

// One call per iteration; every kBatch calls the timer stops while drain()
// lets the work the calls posted run to its end. Used where the work the
// calls start is what is measured.
template <class Call, class Drain>
void RunBatched(benchmark::State& state, Call call, Drain drain) {
    int inBatch = 0;
    for (auto _ : state) {
        call();
        if (++inBatch == kBatch) {
            state.PauseTiming();
            drain();
            state.ResumeTiming();
            inBatch = 0;
        }
    }
    drain();  // the timer stopped with the loop
}

// One call per iteration into a held queue: hold() returns a gate that
// keeps the queue's thread busy, so that the pool's threads neither run the
// posted work nor contend with the caller while it is timed; every kBatch
// calls, and at the end, release(gate) opens it and drains with the timer
// stopped. On a machine of few cores this is the caller's own work alone.
template <class Hold, class Call, class Release>
void RunHeld(benchmark::State& state, Hold hold, Call call, Release release) {
    auto gate = hold();
    int inBatch = 0;
    for (auto _ : state) {
        call();
        if (++inBatch == kBatch) {
            state.PauseTiming();
            release(gate);
            gate = hold();
            state.ResumeTiming();
            inBatch = 0;
        }
    }
    release(gate);
}

// The q-quantile (0..1) of the samples; sorts them.
inline double Quantile(std::vector<double>& samples, double q) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const std::size_t at = std::min(samples.size() - 1, static_cast<std::size_t>(q * (samples.size() - 1) + 0.5));
    return samples[at];
}

}  // namespace bench
