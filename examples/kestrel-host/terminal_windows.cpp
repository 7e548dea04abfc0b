// The shell's terminal on Windows: a prompt and plain lines from the
// console, whose own line editing and history (arrow keys, F7) apply. There
// is no libedit, so no Tab completion.
#include <io.h>

#include <cstdio>
#include <iostream>

#include "line_reader.h"

namespace kestrel_host {

namespace {

class TerminalReader : public LineReader {
public:
    explicit TerminalReader(std::string prompt) : m_prompt(std::move(prompt)) {}
    bool ReadLine(std::string& line) override {
        std::cout << m_prompt << std::flush;
        if (!std::getline(std::cin, line)) {
            std::cout << '\n';
            return false;
        }
        return true;
    }
    bool Interactive() const override { return true; }

private:
    std::string m_prompt;
};

}  // namespace

bool StdinIsTerminal() { return _isatty(_fileno(stdin)) != 0; }

std::unique_ptr<LineReader> MakeTerminalReader(const std::string& prompt, std::vector<std::string>) {
    return std::make_unique<TerminalReader>(prompt);
}

}  // namespace kestrel_host
