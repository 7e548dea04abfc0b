// kestrel-bench: Google Benchmark's command line (--benchmark_filter,
// --benchmark_min_time, --benchmark_repetitions, ...). Unless the command
// line says otherwise, every benchmark runs three times for 0.2 s each and
// the median is reported. At the end a table sets every figure beside its
// baseline.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "baseline_loops.h"
#include "bench_host.h"
#include "summary.h"

int main(int argc, char** argv) {
    // Defaults first: a flag given on the command line comes later and wins.
    std::vector<std::string> defaults = {"--benchmark_repetitions=3", "--benchmark_report_aggregates_only=true",
                                         "--benchmark_min_time=0.2"};
    std::vector<char*> args = {argv[0]};
    for (std::string& flag : defaults) args.push_back(flag.data());
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);

    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    bench::SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bench::BenchHost::Release();
    bench::BaselineLoops::Release();
    benchmark::Shutdown();
    return 0;
}
