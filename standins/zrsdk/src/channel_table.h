#pragma once
// Devices and channels of the platform, with what lives on each channel.
#include <map>
#include <string>
#include <vector>

#include "ptz_unit.h"
#include "zrsdk/zrsdk_control.h"

namespace zrsdk {

struct Channel {
    control::ChannelInfo info;
    PtzUnit ptz;
    std::vector<control::BindingGroup> bindings;
    int iFrameRequests = 0;
    std::vector<ZRSDK_SMARTTRACK_OPERATE> smartTrackOperations;
};

class ChannelTable {
public:
    ChannelTable();
    // Back to the default channels with their presets, cruises and bindings.
    void Reset();
    void Add(const control::ChannelInfo& info);
    bool Remove(const std::string& code);
    Channel* Find(const std::string& code);
    const Channel* Find(const std::string& code) const;
    // In code order.
    std::vector<const Channel*> All() const;

private:
    std::map<std::string, Channel> m_channels;
};

// What the default channels carry (defaults.cpp).
void AddDefaultContent(ChannelTable& channels);
// Presets 1..count named "Preset <n>", spread over the pan range.
std::vector<control::PresetPoint> NumberedPresets(int count);

}  // namespace zrsdk
