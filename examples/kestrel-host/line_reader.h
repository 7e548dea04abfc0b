#pragma once
// Where the shell's lines come from: a terminal with a prompt, line editing,
// history and command-name completion (libedit), or a stream read line by line.
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace kestrel_host {

class LineReader {
public:
    virtual ~LineReader() = default;
    // False at the end of the input.
    virtual bool ReadLine(std::string& line) = 0;
    virtual bool Interactive() const = 0;
};

std::unique_ptr<LineReader> MakeStreamReader(std::istream& in);
// `words` complete the first word of a line on Tab.
std::unique_ptr<LineReader> MakeTerminalReader(const std::string& prompt, std::vector<std::string> words);

}  // namespace kestrel_host
