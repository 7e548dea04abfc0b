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
// lets the work the calls posted run to its end.
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

// The q-quantile (0..1) of the samples; sorts them.
inline double Quantile(std::vector<double>& samples, double q) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const std::size_t at = std::min(samples.size() - 1, static_cast<std::size_t>(q * (samples.size() - 1) + 0.5));
    return samples[at];
}

}  // namespace bench
