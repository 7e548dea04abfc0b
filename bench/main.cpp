// kestrel-bench: Google Benchmark's command line (--benchmark_filter,
// --benchmark_min_time, --benchmark_repetitions, ...); at the end a table
// sets every figure beside its baseline.
#include <benchmark/benchmark.h>

#include "baseline_loops.h"
#include "bench_host.h"
#include "summary.h"

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bench::SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bench::BenchHost::Release();
    bench::BaselineLoops::Release();
    benchmark::Shutdown();
    return 0;
}
