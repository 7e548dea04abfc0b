#include "shell.h"

#include <fstream>
#include <iostream>
#include <memory>

#include "host_session.h"
#include "line_reader.h"
#include "output.h"

namespace kestrel_host {

Shell::Shell(HostSession& session) : m_session(session), m_out(session.Out()), m_calls(session) {
    AddDeviceCommands();
    AddPtzCommands();
    AddPresetCommands();
    AddHostCommands();
    AddShowCommands();
}

void Shell::Add(CommandSyntax syntax, std::function<void(const Args&)> run) {
    m_commands.push_back({std::move(syntax), std::move(run)});
}

const Shell::Command* Shell::Find(const std::string& name) const {
    for (const Command& command : m_commands)
        if (SameName(command.syntax.name, name)) return &command;
    return nullptr;
}

std::vector<std::string> Shell::CommandNames() const {
    std::vector<std::string> names;
    for (const Command& command : m_commands) names.push_back(command.syntax.name);
    return names;
}

bool Shell::Execute(const std::string& line, const std::string& where) {
    const std::string prefix = "error: " + (where.empty() ? std::string() : where + ": ");
    std::vector<std::string> words;
    try {
        words = SplitWords(line);
    } catch (const UsageError& e) {
        m_out.Error(prefix + e.what());
        return false;
    }
    if (words.empty()) return true;
    const Command* command = Find(words[0]);
    if (command == nullptr) {
        m_out.Error(prefix + "unknown command \"" + words[0] + "\" (help lists the commands)");
        return false;
    }
    words.erase(words.begin());
    try {
        command->run(Args::Bind(command->syntax, words));
        return true;
    } catch (const CommandFailed& e) {
        m_out.Error(prefix + command->syntax.name + ": " + e.what());
    } catch (const std::exception& e) {
        m_out.Error(prefix + command->syntax.name + ": " + e.what() + "\nusage: " + command->syntax.Usage());
    }
    return false;
}

void Shell::Help(const std::string& topic) {
    if (!topic.empty()) {
        if (const Command* command = Find(topic)) {
            std::string text = "usage: " + command->syntax.Usage() + "\n  " + command->syntax.summary + "\n";
            for (const Param& p : command->syntax.params)
                if (!p.help.empty()) text += "  " + p.name + ": " + p.help + "\n";
            m_out.Record({{"help", command->syntax.name}, {"usage", command->syntax.Usage()}, {"summary", command->syntax.summary}},
                         text);
            return;
        }
        bool group = false;
        for (const Command& command : m_commands) group = group || SameName(command.syntax.group, topic);
        if (!group) throw UsageError("no command or group \"" + topic + "\"");
    }
    std::string text, current;
    boost::json::array list;
    for (const Command& command : m_commands) {
        if (!topic.empty() && !SameName(command.syntax.group, topic)) continue;
        if (command.syntax.group != current) {
            current = command.syntax.group;
            text += current + ":\n";
        }
        text += "  " + command.syntax.name + std::string(command.syntax.name.size() < 32 ? 32 - command.syntax.name.size() : 1, ' ') +
                command.syntax.summary + "\n";
        list.emplace_back(command.syntax.name);
    }
    text += "help <command> shows its parameters. Values go by position or as name=value.\n";
    m_out.Record({{"help", topic.empty() ? "all" : topic}, {"commands", std::move(list)}}, text);
}

int RunShell(HostSession& session, const std::string& scriptPath) {
    Shell shell(session);
    Output& out = session.Out();
    std::unique_ptr<LineReader> reader;
    std::ifstream file;
    std::string source = "stdin";
    if (!scriptPath.empty()) {
        file.open(scriptPath);
        if (!file) {
            out.Error("kestrel-host: cannot read " + scriptPath);
            return 2;
        }
        reader = MakeStreamReader(file);
        source = scriptPath;
    } else if (StdinIsTerminal()) {
        reader = MakeTerminalReader("kestrel> ", shell.CommandNames());
        out.Note("kestrel-host shell: help lists the commands, quit ends the session.");
    } else {
        reader = MakeStreamReader(std::cin);
    }
    const bool script = !reader->Interactive();
    std::size_t lineNo = 0, failed = 0;
    std::string line;
    while (!shell.QuitRequested() && reader->ReadLine(line)) {
        ++lineNo;
        if (!shell.Execute(line, script ? source + ":" + std::to_string(lineNo) : std::string())) ++failed;
    }
    if (!session.WaitAll(session.Options().timeout)) {
        out.Error("kestrel-host: still waiting for answers at the end of the session:");
        for (const OutstandingRequest& r : session.Tracker().Outstanding())
            out.Error("  " + r.operation + " " + r.subject + (r.seq ? " seq " + std::to_string(r.seq) : std::string()));
        ++failed;
    }
    if (script && failed > 0) {
        out.Error("kestrel-host: " + std::to_string(failed) + " of " + std::to_string(lineNo) +
                  " lines were rejected or failed");
        return 1;
    }
    return 0;
}

}  // namespace kestrel_host
