// kestrel-host: the example host. It starts the way the client does (host
// framework, platform SDK and management server stand-ins, a logged-in user,
// libkestrel.so loaded through its exported factory), then either tours
// every façade operation (demo) or lets a developer drive them (shell).
#include <iostream>
#include <string>

#include <boost/program_options.hpp>

#include "demo.h"
#include "host_session.h"
#include "output.h"
#include "shell.h"

namespace po = boost::program_options;

int main(int argc, char** argv) {
    kestrel_host::HostOptions options;
    std::string command = "demo";
    std::string script;
    double timeoutSeconds = 10;

    po::options_description visible(
        "usage: kestrel-host [options] [demo | shell [SCRIPT]]\n\n"
        "  demo          tour every façade operation and server event, print the table (default)\n"
        "  shell         one command per façade operation; reads SCRIPT, or standard input\n"
        "                (interactive on a terminal)\n\noptions");
    visible.add_options()
        ("help,h", "show this help")
        ("server", po::value(&options.serverUrl)->value_name("URL"),
         "a management server started separately, e.g. http://127.0.0.1:8090\n"
         "(default: the stand-in, in-process on 127.0.0.1)")
        ("json", po::bool_switch(&options.json), "print every event as one JSON object a line")
        ("plugin", po::value(&options.pluginPath)->value_name("PATH"),
         "the module to load (default: ../lib/libkestrel.so beside the program)")
        ("log-level", po::value(&options.logLevel)->default_value(options.logLevel)->value_name("N"),
         "show log lines of this level and above (1 trace ... 4 warn ... 6 error)")
        ("timeout", po::value(&timeoutSeconds)->default_value(timeoutSeconds)->value_name("SECONDS"),
         "how long to wait for answers")
        ("pool-threads", po::value(&options.poolThreads)->default_value(options.poolThreads)->value_name("N"),
         "threads of the SDK pool");
    po::options_description hidden;
    hidden.add_options()("command", po::value(&command))("script", po::value(&script));
    po::options_description all;
    all.add(visible).add(hidden);
    po::positional_options_description positional;
    positional.add("command", 1).add("script", 1);

    po::variables_map vm;
    try {
        po::store(po::command_line_parser(argc, argv).options(all).positional(positional).run(), vm);
        po::notify(vm);
    } catch (const po::error& e) {
        std::cerr << "kestrel-host: " << e.what() << "\n\n" << visible << "\n";
        return 2;
    }
    if (vm.count("help")) {
        std::cout << visible << "\n";
        return 0;
    }
    if (command != "demo" && command != "shell") {
        std::cerr << "kestrel-host: unknown command \"" << command << "\"\n\n" << visible << "\n";
        return 2;
    }
    if (command == "demo" && !script.empty()) {
        std::cerr << "kestrel-host: demo takes no script\n";
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
    const int status = command == "demo" ? kestrel_host::RunDemo(session) : kestrel_host::RunShell(session, script);
    session.Stop();
    return status;
}
