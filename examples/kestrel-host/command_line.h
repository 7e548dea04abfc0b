#pragma once
// The shell's command lines: splitting a line into words, and binding the
// words to a command's parameters. A parameter is given by position or as
// name=value; optional ones have a default. Mistakes throw UsageError.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrel_host {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Words separated by blanks; "double quotes" (with \" and \\) and 'single
// quotes' keep blanks; an unquoted # starts a comment. Throws UsageError for
// an unterminated quote.
std::vector<std::string> SplitWords(const std::string& line);

struct Param {
    std::string name;
    std::optional<std::string> fallback;  // none: required
    std::string help;
};

struct CommandSyntax {
    CommandSyntax(std::string name_, std::string group_, std::string summary_, std::vector<Param> params_,
                bool variadic_ = false)
        : name(std::move(name_)),
          group(std::move(group_)),
          summary(std::move(summary_)),
          params(std::move(params_)),
          variadic(variadic_) {}

    std::string name;
    std::string group;    // "device", "ptz", "host"
    std::string summary;
    std::vector<Param> params;
    // The last parameter takes every word left (zero or more).
    bool variadic = false;
    // Extra usage lines (forms of a command with sub-commands).
    std::vector<std::string> forms;

    // "PtzDirection <code> <direction> [action=start] [speed=5] [menuKey=menu.ptz]"
    std::string Usage() const;
};

class Args {
public:
    // Throws UsageError: missing required parameter, too many words.
    static Args Bind(const CommandSyntax& syntax, const std::vector<std::string>& words);

    bool Given(const std::string& name) const;
    const std::string& Text(const std::string& name) const;
    // The parsers of value_parse.h, rethrown as UsageError.
    int Int(const std::string& name, int min = INT32_MIN, int max = INT32_MAX) const;
    long long Int64(const std::string& name) const;
    double Double(const std::string& name) const;
    bool Bool(const std::string& name) const;
    // One of the names (case-insensitive), or an integer; the names' values
    // given in `names`.
    int Choice(const std::string& name, const std::vector<std::pair<std::string, int>>& names) const;
    // The words of the variadic parameter.
    const std::vector<std::string>& Rest() const { return m_rest; }

private:
    std::map<std::string, std::string> m_values;
    std::map<std::string, bool> m_given;
    std::vector<std::string> m_rest;
};

// Case-insensitive comparison of command and choice names.
bool SameName(const std::string& a, const std::string& b);

}  // namespace kestrel_host
