// The shell's terminal on POSIX systems: line editing, history and Tab
// completion of command names with libedit.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include <editline/readline.h>

#include "line_reader.h"

namespace kestrel_host {

namespace {

// libedit keeps one global editor; the words for completion live here.
std::vector<std::string> g_words;

char* NextWord(const char* text, int state) {
    static std::size_t index;
    if (state == 0) index = 0;
    const std::size_t length = std::strlen(text);
    while (index < g_words.size()) {
        const std::string& word = g_words[index++];
        if (strncasecmp(word.c_str(), text, length) == 0) return strdup(word.c_str());
    }
    return nullptr;
}

char** CompleteCommand(const char* text, int start, int) {
    rl_attempted_completion_over = 1;
    if (start != 0) return nullptr;  // only the command name
    return rl_completion_matches(text, NextWord);
}

class TerminalReader : public LineReader {
public:
    TerminalReader(std::string prompt, std::vector<std::string> words) : m_prompt(std::move(prompt)) {
        g_words = std::move(words);
        rl_readline_name = "kestrel-host";
        rl_attempted_completion_function = CompleteCommand;
    }
    bool ReadLine(std::string& line) override {
        char* text = readline(m_prompt.c_str());
        if (text == nullptr) {
            std::fputc('\n', stdout);
            return false;
        }
        line = text;
        std::free(text);
        if (line.find_first_not_of(" \t") != std::string::npos) add_history(line.c_str());
        return true;
    }
    bool Interactive() const override { return true; }

private:
    std::string m_prompt;
};

}  // namespace

bool StdinIsTerminal() { return isatty(STDIN_FILENO) != 0; }

std::unique_ptr<LineReader> MakeTerminalReader(const std::string& prompt, std::vector<std::string> words) {
    return std::make_unique<TerminalReader>(prompt, std::move(words));
}

}  // namespace kestrel_host
