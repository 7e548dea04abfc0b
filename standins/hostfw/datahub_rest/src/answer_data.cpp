#include "answer_data.h"

#include <memory>
#include <string>

#include <boost/json/monotonic_resource.hpp>
#include <boost/json/parser.hpp>

#include "os.h"

namespace Datahub {
namespace detail {
namespace {

// One thread's parse: a parser and an arena made once, so that a call's
// parse neither sets up a parser nor allocates per JSON node.
struct Arena {
    static constexpr std::size_t kInitialBytes = 16 * 1024;
    std::unique_ptr<unsigned char[]> initial{new unsigned char[kInitialBytes]};
    boost::json::monotonic_resource memory{initial.get(), kInitialBytes};
    boost::json::parser parser;
    std::optional<boost::json::value> root;
    const boost::json::value* data = nullptr;
    std::string dataText;
};

Arena& ThisThreadsArena() { return os::ThisThreads<Arena>(); }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Moves `i` past the value starting there in valid JSON.
void SkipValue(std::string_view t, std::size_t& i) {
    int depth = 0;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (c == '"') {
            for (++i; i < t.size() && t[i] != '"'; ++i)
                if (t[i] == '\\') ++i;
            if (depth == 0) {
                ++i;
                return;
            }
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            if (depth == 0) return;  // the end of the enclosing object
            if (--depth == 0) {
                ++i;
                return;
            }
        } else if (depth == 0 && (c == ',' || IsSpace(c))) {
            return;
        }
    }
}

}  // namespace

const boost::json::value* ParseAnswer(std::string_view body) {
    Arena& a = ThisThreadsArena();
    a.data = nullptr;
    a.dataText.clear();
    a.root.reset();
    a.memory.release();
    a.parser.reset(boost::json::storage_ptr(&a.memory));
    boost::system::error_code ec;
    a.parser.write(body.data(), body.size(), ec);
    if (ec) return nullptr;
    a.root.emplace(a.parser.release());
    return &*a.root;
}

void KeepData(const boost::json::value& data, std::string_view text) {
    Arena& a = ThisThreadsArena();
    a.dataText.assign(text.data(), text.size());
    a.data = &data;
}

const boost::json::value* KeptData(const char* text) {
    Arena& a = ThisThreadsArena();
    if (!a.data || !text || a.dataText != text) return nullptr;
    return a.data;
}

std::optional<std::string_view> RawMember(std::string_view json, std::string_view name) {
    std::size_t i = 0;
    const std::size_t n = json.size();
    auto skipSpace = [&] {
        while (i < n && IsSpace(json[i])) ++i;
    };
    skipSpace();
    if (i >= n || json[i] != '{') return std::nullopt;
    ++i;
    std::optional<std::string_view> found;
    for (;;) {
        skipSpace();
        if (i < n && json[i] == ',') {
            ++i;
            skipSpace();
        }
        if (i >= n) return std::nullopt;
        if (json[i] == '}') return found;
        if (json[i] != '"') return std::nullopt;
        const std::size_t keyStart = ++i;
        while (i < n && json[i] != '"') {
            if (json[i] == '\\') return std::nullopt;
            ++i;
        }
        if (i >= n) return std::nullopt;
        const std::string_view key = json.substr(keyStart, i - keyStart);
        ++i;
        skipSpace();
        if (i >= n || json[i] != ':') return std::nullopt;
        ++i;
        skipSpace();
        const std::size_t valueStart = i;
        SkipValue(json, i);
        if (i > n) return std::nullopt;
        if (key == name) {
            if (found) return std::nullopt;
            found = json.substr(valueStart, i - valueStart);
        }
    }
}

}  // namespace detail
}  // namespace Datahub
