// kestrel-host: the example host. It starts the way the client does (host
// framework, platform SDK and management server stand-ins, a logged-in user,
// the Kestrel module loaded through its exported factory), then either tours
// every façade operation (demo) or lets a developer drive them (shell).
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "demo.h"
#include "host_session.h"
#include "joystick.h"
#include "output.h"
#include "shell.h"

int main(int argc, char** argv) {
    kestrel_host::HostOptions options;
    std::string command = "demo";
    std::string script;
    double timeoutSeconds = 10;

    CLI::App app(
        "kestrel-host [options] [demo | joystick | shell [SCRIPT]]\n\n"
        "  demo          tour every façade operation and server event, print the table (default)\n"
        "  joystick      a held joystick and a lost release against a slow camera, with the\n"
        "                PTZ motion policy off and on; prints when the stops reached the platform\n"
        "  shell         one command per façade operation; reads SCRIPT, or standard input\n"
        "                (interactive on a terminal)",
        "kestrel-host");
    // Paths start with "/" on POSIX systems: never a Windows-style option.
    app.allow_windows_style_options(false);
    app.add_option("--server", options.serverUrl,
                   "a management server started separately, e.g. http://127.0.0.1:8090 "
                   "(default: the stand-in, in-process on 127.0.0.1)")
        ->option_text("URL");
    app.add_flag("--json", options.json, "print every event as one JSON object a line");
    app.add_option("--plugin", options.pluginPath,
                   "the module to load (default: libkestrel.so in ../lib beside the program, "
                   "or kestrel.dll beside it)")
        ->option_text("PATH");
    app.add_option("--log-level", options.logLevel,
                   "show log lines of this level and above (1 trace ... 4 warn ... 6 error)")
        ->option_text("N")
        ->capture_default_str();
    app.add_option("--timeout", timeoutSeconds, "how long to wait for answers")
        ->option_text("SECONDS")
        ->capture_default_str();
    app.add_option("--pool-threads", options.poolThreads, "threads of the SDK pool")
        ->option_text("N")
        ->capture_default_str();
    app.add_option("command", command, "demo, joystick or shell")->capture_default_str();
    app.add_option("script", script, "the shell's script");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help() << "\n";
        return 0;
    } catch (const CLI::ParseError& e) {
        std::cerr << "kestrel-host: " << e.what() << "\n\n" << app.help() << "\n";
        return 2;
    }
    if (command != "demo" && command != "shell" && command != "joystick") {
        std::cerr << "kestrel-host: unknown command \"" << command << "\"\n\n" << app.help() << "\n";
        return 2;
    }
    if (command != "shell" && !script.empty()) {
        std::cerr << "kestrel-host: " << command << " takes no script\n";
        return 2;
    }
    if (timeoutSeconds <= 0 || timeoutSeconds > 3600 || options.poolThreads < 1 || options.poolThreads > 64) {
        std::cerr << "kestrel-host: --timeout must be 0 to 3600 s and --pool-threads 1 to 64\n";
        return 2;
    }
    options.timeout = std::chrono::milliseconds(static_cast<long long>(timeoutSeconds * 1000));
    if (!options.serverUrl.empty()) {
        std::string host, error;
        unsigned short port = 0;
        if (!kestrel_host::ParseServerUrl(options.serverUrl, host, port, error)) {
            std::cerr << "kestrel-host: --server: " << error << "\n";
            return 2;
        }
    }

    kestrel_host::Output output(std::cout, std::cerr, options.json);
    kestrel_host::HostSession session(options, output);
    if (!session.Start()) return 1;
    const int status = command == "demo"       ? kestrel_host::RunDemo(session)
                       : command == "joystick" ? kestrel_host::RunJoystick(session)
                                               : kestrel_host::RunShell(session, script);
    session.Stop();
    return status;
}
