#pragma once
// The per-operation table: sent, answered, result codes seen, and the median
// and worst time from the call to the observer.
#include <string>
#include <vector>

#include <boost/json/array.hpp>

#include "request_tracker.h"

namespace kestrel_host {

// "0 x16, -501" for the event results; "returned -1" for values returned by
// calls that sent nothing; "(not reported)" for requests nothing answers.
std::string ResultsText(const OperationStats& stats);

// A fixed-width text table, one row per operation, ending in a newline.
std::string StatsTableText(const std::vector<OperationStats>& stats);

// One object per operation: {"operation","kind","sent","answered","results":{code: n},
// "returns":{value: n},"median_us","worst_us"} (times in microseconds).
boost::json::array StatsTableJson(const std::vector<OperationStats>& stats);

}  // namespace kestrel_host
