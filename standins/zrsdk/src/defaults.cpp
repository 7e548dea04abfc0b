// The platform a fresh library (or a reset) starts with.
#include "channel_table.h"
#include "zrsdk/zrsdk_control.h"

namespace zrsdk {
namespace control {

std::vector<UserAccount> DefaultUsers() {
    return {
        {"operator", "operator", "U-0001"},
        {"supervisor", "supervisor", "U-0002"},
    };
}

std::vector<ChannelInfo> DefaultChannels() {
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

std::vector<control::PresetPoint> NumberedPresets(int count) {
    std::vector<control::PresetPoint> presets;
    for (int n = 1; n <= count; ++n) {
        presets.push_back({n, "Preset " + std::to_string(n), (n * 10) % 360 * 1.0,
                           (n % 9) * 10.0 - 40.0, 1.0 + n % 5});
    }
    return presets;
}

void AddDefaultContent(ChannelTable& channels) {
    if (Channel* gate = channels.Find("ch-0001")) {
        gate->ptz.SetPresets({{1, "Gate", 10, 0, 1},
                              {2, "Parking", 45, -10, 2},
                              {3, "Road north", 90, -5, 4},
                              {4, "Road south", 270, -5, 4},
                              {5, "Fence east", 120, -20, 1.5},
                              {6, "Fence west", 240, -20, 1.5},
                              {7, "Barrier", 180, -30, 3},
                              {8, "Sky", 0, 60, 1}});
        gate->ptz.SetCruise({"Patrol", "", {{1, 10, "", ""}, {2, 15, "", ""}, {3, 20, "", ""}}});
        // Cameras, alarm inputs and outputs, a relay and an unnamed detector,
        // in groups of several types and subtypes.
        gate->bindings = {
            {3, 1, {{1, "ch-0002", "Hall entrance"}, {0, "ch-0004", "Hall corridor"},
                    {1, "ch-0003", "Hall dome"}}},
            {4, 5, {{0, "alarm-in-0001", "Gate contact"}, {1, "alarm-out-0001", "Gate siren"}}},
            {2, 1, {{1, "io-0001", "Barrier relay"}}},
            {3, 2, {{1, "ch-0005", "Yard dome"}}},
            {4, 1, {{2, "", "Unnamed detector"}}},
        };
    }
    if (Channel* hall = channels.Find("ch-0003")) {
        // More presets than a 256-entry buffer holds.
        hall->ptz.SetPresets(NumberedPresets(300));
        hall->ptz.SetCruise({"Hall round", "", {{10, 30, "080000", "180000"}, {20, 30, "", ""}}});
        hall->bindings = {{3, 5, {{1, "ch-0001", "Gate dome"}}}};
    }
}

}  // namespace zrsdk
