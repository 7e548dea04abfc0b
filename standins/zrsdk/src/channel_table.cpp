#include "channel_table.h"

namespace zrsdk {

ChannelTable::ChannelTable() {
    Reset();
}

void ChannelTable::Reset() {
    m_channels.clear();
    for (const auto& info : control::DefaultChannels()) {
        Add(info);
    }
    AddDefaultContent(*this);
}

void ChannelTable::Add(const control::ChannelInfo& info) {
    Channel channel;
    channel.info = info;
    m_channels[info.code] = std::move(channel);
}

bool ChannelTable::Remove(const std::string& code) {
    return m_channels.erase(code) > 0;
}

Channel* ChannelTable::Find(const std::string& code) {
    auto found = m_channels.find(code);
    return found == m_channels.end() ? nullptr : &found->second;
}

const Channel* ChannelTable::Find(const std::string& code) const {
    auto found = m_channels.find(code);
    return found == m_channels.end() ? nullptr : &found->second;
}

std::vector<const Channel*> ChannelTable::All() const {
    std::vector<const Channel*> all;
    for (const auto& entry : m_channels) {
        all.push_back(&entry.second);
    }
    return all;
}

}  // namespace zrsdk
