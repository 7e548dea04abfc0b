// Runs the stand-in management server alone until SIGINT or SIGTERM (on
// Windows: Ctrl+C or Ctrl+Break).
#include <csignal>
#include <iostream>
#include <vector>

#include <CLI/CLI.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/signal_set.hpp>

#include "mgmt_server/server.h"

int main(int argc, char** argv) {
    mgmt::ServerOptions options;
    std::vector<int> sessions;
    CLI::App app("kestrel-mgmt-server: the management server stand-in, until interrupted");
    // Paths start with "/" on POSIX systems: never a Windows-style option.
    app.allow_windows_style_options(false);
    app.add_option("--address", options.address, "address to listen on")->capture_default_str();
    app.add_option("--port", options.port, "port to listen on (0: any free port)")->capture_default_str();
    app.add_option("--threads", options.threads, "I/O threads")->capture_default_str()->check(CLI::Range(1, 64));
    app.add_flag("--accept-all-sessions", options.acceptAllPositiveSessions, "accept every session id above 0");
    app.add_option("--session", sessions, "a session id to accept (repeatable)");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : 2;
    }

    // Registered before the server's threads start, so that a stop request
    // only ends the wait below.
    boost::asio::io_context signalContext;
    boost::asio::signal_set stop(signalContext, SIGINT, SIGTERM);
    stop.async_wait([](const boost::system::error_code&, int) {});

    mgmt::Server server(options);
    for (int id : sessions) server.AddSession(id);
    if (!server.Start()) {
        std::cerr << "cannot listen on " << options.address << ":" << options.port << "\n";
        return 1;
    }
    std::cout << "listening on " << server.Address() << ":" << server.Port() << std::endl;
    signalContext.run();
    server.Stop();
    return 0;
}
