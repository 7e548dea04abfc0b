// Runs the stand-in management server alone until SIGINT or SIGTERM.
#include <csignal>
#include <iostream>
#include <vector>

#include <boost/program_options.hpp>

#include "mgmt_server/server.h"

namespace po = boost::program_options;

int main(int argc, char** argv) {
    mgmt::ServerOptions options;
    std::vector<int> sessions;
    po::options_description desc("kestrel-mgmt-server options");
    desc.add_options()
        ("help,h", "show this help")
        ("address", po::value(&options.address)->default_value(options.address), "address to listen on")
        ("port", po::value(&options.port)->default_value(0), "port to listen on (0: any free port)")
        ("threads", po::value(&options.threads)->default_value(options.threads), "I/O threads")
        ("accept-all-sessions", po::bool_switch(&options.acceptAllPositiveSessions),
         "accept every session id above 0")
        ("session", po::value(&sessions)->composing(), "a session id to accept (repeatable)");
    po::variables_map vm;
    try {
        po::store(po::parse_command_line(argc, argv, desc), vm);
        po::notify(vm);
    } catch (const po::error& e) {
        std::cerr << e.what() << "\n" << desc;
        return 2;
    }
    if (vm.count("help")) {
        std::cout << desc;
        return 0;
    }

    // The server's threads inherit the blocked signals; only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    mgmt::Server server(options);
    for (int id : sessions) server.AddSession(id);
    if (!server.Start()) {
        std::cerr << "cannot listen on " << options.address << ":" << options.port << "\n";
        return 1;
    }
    std::cout << "listening on " << server.Address() << ":" << server.Port() << std::endl;
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
    return 0;
}
