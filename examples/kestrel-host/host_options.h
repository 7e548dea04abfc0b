#pragma once
// Options of the example host, from its command line.
#include <chrono>
#include <cstddef>
#include <string>

namespace kestrel_host {

struct HostOptions {
    // Empty: the stand-in management server runs in-process on 127.0.0.1 and
    // an ephemeral port. Otherwise "http://host:port" of one started separately.
    std::string serverUrl;
    // Empty: the module (libkestrel.so, kestrel.dll) in ../lib beside the
    // program or beside it, else the loader's search.
    std::string pluginPath;
    std::size_t poolThreads = 4;
    // Log lines of Kestrel and the stand-ins below this level are dropped.
    int logLevel = 5;
    bool json = false;
    // How long the host waits for answers before it reports what is missing.
    std::chrono::milliseconds timeout{10000};
};

}  // namespace kestrel_host
