#pragma once
// Strict parsing of command values: the whole text must be the value.
// Failures throw std::invalid_argument with a message that names the value.
#include <climits>
#include <cstddef>
#include <string>
#include <vector>

namespace kestrel_host {

int ParseInt(const std::string& text, const std::string& name, int min = INT_MIN, int max = INT_MAX);
long long ParseInt64(const std::string& text, const std::string& name);
double ParseDouble(const std::string& text, const std::string& name);
// on/off, true/false, yes/no, 1/0.
bool ParseBool(const std::string& text, const std::string& name);
// Comma-separated integers, at most `max` of them: "0,0,1,0".
std::vector<int> ParseIntList(const std::string& text, const std::string& name, std::size_t max);

}  // namespace kestrel_host
