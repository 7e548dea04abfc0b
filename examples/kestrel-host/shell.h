#pragma once
// `kestrel-host shell`: one command per façade operation, commands to push
// server events, inject platform and server faults, show the PTZ caches and
// the lock table, wait for answers, and help. Interactive with line editing
// on a terminal; otherwise it reads a script (standard input or a file), so
// that a session can be replayed. A bad line is reported with the command's
// usage and the shell goes on.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "command_line.h"
#include "facade_calls.h"

namespace kestrel_host {

class HostSession;
class Output;

// A command that ran but did not succeed (e.g. a wait that timed out).
class CommandFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Shell {
public:
    explicit Shell(HostSession& session);

    // Runs one line. False when it was rejected or failed; the error, with
    // the command's usage for a mistake in the line, is already printed,
    // prefixed by `where` (e.g. "script.txt:3").
    bool Execute(const std::string& line, const std::string& where = std::string());
    bool QuitRequested() const { return m_quit; }
    std::vector<std::string> CommandNames() const;

private:
    struct Command {
        CommandSyntax syntax;
        std::function<void(const Args&)> run;
    };

    void Add(CommandSyntax syntax, std::function<void(const Args&)> run);
    const Command* Find(const std::string& name) const;
    void AddDeviceCommands();
    void AddPtzCommands();
    void AddPresetCommands();
    void AddHostCommands();
    void AddShowCommands();
    void Help(const std::string& topic);

    HostSession& m_session;
    Output& m_out;
    FacadeCalls m_calls;
    std::vector<Command> m_commands;
    // Events of each type already taken by "await".
    std::map<std::string, std::size_t> m_awaited;
    bool m_quit = false;
};

// Reads commands until the end of the input or "quit", then waits for the
// answers still due. `scriptPath` empty: standard input (interactive when it
// is a terminal). Exit status: 0, or 1 when a line of a script was rejected
// or failed.
int RunShell(HostSession& session, const std::string& scriptPath);

}  // namespace kestrel_host
