#pragma once
// The table kestrel-bench prints at the end: every figure beside the
// baseline measured in the same run, their ratio, and the goal it must meet.
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace bench {

enum class Better { Lower, Higher };

// One number of one benchmark run: "cpu_ns", "real_ns" or a counter's name.
struct Figure {
    std::string run;  // function name, and "/args" when it has arguments
    std::string metric;
};

struct Comparison {
    std::string section;  // the table sorts by it: "1 Façade call cost"
    std::string what;
    Figure value;
    Figure baseline;
    std::string unit;
    Better better = Better::Lower;
    // The ratio value/baseline may not exceed it (Lower) or must reach it
    // (Higher); 0 when there is no goal.
    double goal = 0;
    // Both values are multiplied by it for display (1e-6: bytes to MB).
    double scale = 1;
};

// For static registrars in the benchmark files; returns true.
bool AddComparison(const Comparison& comparison);

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    struct Result {
        std::map<std::string, double> metrics;
        bool fromMedian = false;
    };
    bool Find(const Figure& figure, double& value) const;

    std::map<std::string, Result> m_results;
};

}  // namespace bench
