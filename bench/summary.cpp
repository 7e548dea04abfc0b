#include "summary.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

#include "bench_host.h"

namespace bench {

namespace {
std::vector<Comparison>& Comparisons() {
    static std::vector<Comparison> comparisons;
    return comparisons;
}

std::string Format(double v) {
    char text[32];
    const double a = v < 0 ? -v : v;
    if (a >= 1e6)
        std::snprintf(text, sizeof text, "%.3g", v);
    else if (a >= 100)
        std::snprintf(text, sizeof text, "%.0f", v);
    else if (a >= 10)
        std::snprintf(text, sizeof text, "%.1f", v);
    else
        std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

std::string RunKey(const benchmark::BenchmarkReporter::Run& run) {
    return run.run_name.args.empty() ? run.run_name.function_name
                                     : run.run_name.function_name + "/" + run.run_name.args;
}

double NanosecondsPerIteration(double adjusted, benchmark::TimeUnit unit) {
    return adjusted * 1e9 / benchmark::GetTimeUnitMultiplier(unit);
}

// Pads to a width counted in characters, not bytes (the names carry UTF-8).
std::string Pad(const std::string& s, std::size_t width) {
    std::size_t chars = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++chars;
    return chars >= width ? s + " " : s + std::string(width - chars, ' ');
}
}  // namespace

bool AddComparison(const Comparison& comparison) {
    Comparisons().push_back(comparison);
    return true;
}

void SummaryReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.error_occurred) continue;
        const bool median = run.run_type == Run::RT_Aggregate;
        if (median && run.aggregate_name != "median") continue;
        Result& result = m_results[RunKey(run)];
        if (result.fromMedian && !median) continue;
        result.fromMedian = median;
        result.metrics["cpu_ns"] = NanosecondsPerIteration(run.GetAdjustedCPUTime(), run.time_unit);
        result.metrics["real_ns"] = NanosecondsPerIteration(run.GetAdjustedRealTime(), run.time_unit);
        for (const auto& [name, counter] : run.counters) result.metrics[name] = counter.value;
    }
    ConsoleReporter::ReportRuns(runs);
}

bool SummaryReporter::Find(const Figure& figure, double& value) const {
    auto run = m_results.find(figure.run);
    if (run == m_results.end()) return false;
    auto metric = run->second.metrics.find(figure.metric);
    if (metric == run->second.metrics.end()) return false;
    value = metric->second;
    return true;
}

void SummaryReporter::Finalize() {
    ConsoleReporter::Finalize();
    std::vector<Comparison> comparisons = Comparisons();
    std::stable_sort(comparisons.begin(), comparisons.end(),
                     [](const Comparison& a, const Comparison& b) { return a.section < b.section; });

    std::ostream& out = GetOutputStream();
    out << "\n== Kestrel beside its baselines (same run) ==\n";
    std::string section;
    int met = 0, missed = 0;
    for (const Comparison& c : comparisons) {
        double value = 0, baseline = 0;
        if (!Find(c.value, value) || !Find(c.baseline, baseline)) continue;  // filtered out
        if (c.section != section) {
            section = c.section;
            out << "\n" << section << "\n  " << Pad("figure", 44) << Pad("kestrel", 16) << Pad("baseline", 16)
                << Pad("ratio", 9) << Pad("goal", 9) << "\n";
        }
        const double ratio = baseline != 0 ? value / baseline : 0;
        std::string goal = "-", verdict;
        if (c.goal > 0) {
            const bool ok = c.better == Better::Lower ? ratio <= c.goal : ratio >= c.goal;
            goal = (c.better == Better::Lower ? "<=" : ">=") + Format(c.goal) + "x";
            verdict = ok ? "met" : "MISSED";
            (ok ? met : missed)++;
        }
        out << "  " << Pad(c.what, 44) << Pad(Format(value * c.scale) + " " + c.unit, 16)
            << Pad(Format(baseline * c.scale) + " " + c.unit, 16) << Pad(Format(ratio) + "x", 9) << Pad(goal, 9)
            << verdict << "\n";
    }
    out << "\ngoals met: " << met << ", missed: " << missed << "\n";
    out << "log lines written during the run: " << BenchHost::LogLines();
    const std::string first = BenchHost::FirstLogLine();
    if (!first.empty()) out << " (first: " << first << ")";
    out << "\n";
    out.flush();
}

}  // namespace bench
