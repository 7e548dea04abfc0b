// The platform a fresh library (or a reset) starts with.
#include "zrsdk/zrsdk_control.h"

namespace zrsdk {
namespace control {

std::vector<UserSpec> DefaultUsers() {
    return {
        {"operator", "operator", "U-0001"},
        {"supervisor", "supervisor", "U-0002"},
    };
}

std::vector<ChannelSpec> DefaultChannels() {
    // A PTZ dome, a recorder with fixed and PTZ cameras, and a second dome.
    return {
        {"ch-0001", "1000001", "Gate dome", "dev-0001", 1, true},
        {"ch-0002", "1000002", "Hall entrance", "dev-0002", 1, false},
        {"ch-0003", "1000003", "Hall dome", "dev-0002", 2, true},
        {"ch-0004", "1000004", "Hall corridor", "dev-0002", 3, false},
        {"ch-0005", "1000005", "Yard dome", "dev-0003", 1, true},
    };
}

}  // namespace control
}  // namespace zrsdk
