#pragma once
// Devices and channels of the platform, with what lives on each channel.
#include <map>
#include <string>
#include <vector>

#include "zrsdk/zrsdk_control.h"

namespace zrsdk {

struct Channel {
    control::ChannelSpec spec;
};

class ChannelTable {
public:
    ChannelTable();
    void Reset();
    void Add(const control::ChannelSpec& spec);
    bool Remove(const std::string& code);
    Channel* Find(const std::string& code);
    const Channel* Find(const std::string& code) const;
    // In code order.
    std::vector<const Channel*> All() const;

private:
    std::map<std::string, Channel> m_channels;
};

}  // namespace zrsdk
