#include "stats_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <boost/json/object.hpp>

namespace kestrel_host {

namespace {

std::string Count(const std::string& value, std::size_t n) {
    return n == 1 ? value : value + " x" + std::to_string(n);
}

std::string Fixed(double ms) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f", ms);
    return text;
}

const char* KindName(ReplyKind kind) {
    switch (kind) {
        case ReplyKind::Event: return "event";
        case ReplyKind::Effect: return "effect";
        case ReplyKind::Local: return "local";
    }
    return "event";
}

bool Unsolicited(const OperationStats& stats) { return stats.sent == 0 && stats.answered > 0; }

}  // namespace

std::string ResultsText(const OperationStats& stats) {
    std::string text;
    auto add = [&text](const std::string& part) {
        if (!text.empty()) text += ", ";
        text += part;
    };
    for (const auto& [code, n] : stats.results) add(Count(std::to_string(code), n));
    for (const auto& [value, n] : stats.returns) add(Count("returned " + std::to_string(value), n));
    if (text.empty() && stats.kind == ReplyKind::Effect) text = "(not reported)";
    return text;
}

std::string StatsTableText(const std::vector<OperationStats>& stats) {
    struct Row {
        std::string operation, sent, answered, results, median, worst;
    };
    std::vector<Row> rows;
    rows.push_back({"operation", "sent", "answered", "results", "median ms", "worst ms"});
    for (const OperationStats& s : stats) {
        const bool timed = !s.latenciesMs.empty();
        rows.push_back({s.operation, Unsolicited(s) ? "-" : std::to_string(s.sent),
                        s.kind == ReplyKind::Event ? std::to_string(s.answered) : "-", ResultsText(s),
                        timed ? Fixed(s.MedianMs()) : "-", timed ? Fixed(s.WorstMs()) : "-"});
    }
    std::size_t w[6] = {0, 0, 0, 0, 0, 0};
    for (const Row& r : rows) {
        w[0] = std::max(w[0], r.operation.size());
        w[1] = std::max(w[1], r.sent.size());
        w[2] = std::max(w[2], r.answered.size());
        w[3] = std::max(w[3], r.results.size());
        w[4] = std::max(w[4], r.median.size());
        w[5] = std::max(w[5], r.worst.size());
    }
    auto left = [](const std::string& s, std::size_t width) { return s + std::string(width - s.size(), ' '); };
    auto right = [](const std::string& s, std::size_t width) { return std::string(width - s.size(), ' ') + s; };
    std::string out;
    for (const Row& r : rows) {
        std::string line = left(r.operation, w[0]) + "  " + right(r.sent, w[1]) + "  " + right(r.answered, w[2]) +
                           "  " + left(r.results, w[3]) + "  " + right(r.median, w[4]) + "  " + right(r.worst, w[5]);
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line + '\n';
    }
    return out;
}

boost::json::array StatsTableJson(const std::vector<OperationStats>& stats) {
    boost::json::array rows;
    for (const OperationStats& s : stats) {
        boost::json::object row;
        row["operation"] = s.operation;
        row["kind"] = Unsolicited(s) ? "unsolicited" : KindName(s.kind);
        row["sent"] = s.sent;
        row["answered"] = s.answered;
        boost::json::object results;
        for (const auto& [code, n] : s.results) results[std::to_string(code)] = n;
        row["results"] = std::move(results);
        boost::json::object returns;
        for (const auto& [value, n] : s.returns) returns[std::to_string(value)] = n;
        row["returns"] = std::move(returns);
        if (!s.latenciesMs.empty()) {
            row["median_us"] = std::llround(s.MedianMs() * 1000);
            row["worst_us"] = std::llround(s.WorstMs() * 1000);
        }
        rows.emplace_back(std::move(row));
    }
    return rows;
}

}  // namespace kestrel_host
