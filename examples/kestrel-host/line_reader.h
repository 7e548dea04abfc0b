#pragma once
// Where the shell's lines come from: a terminal with a prompt, or a stream
// read line by line. The terminal side is the one platform file of the
// example host: terminal_posix.cpp (line editing, history and command-name
// completion with libedit) or terminal_windows.cpp (plain lines: libedit
// does not exist there).
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

// Platform file: whether standard input is a terminal, and a reader of it
// with the prompt. `words` complete the first word of a line on Tab where
// the terminal offers completion.
bool StdinIsTerminal();
std::unique_ptr<LineReader> MakeTerminalReader(const std::string& prompt, std::vector<std::string> words);

}  // namespace kestrel_host
