#pragma once
#include <cstddef>
#include <map>
#include <mutex>
#include <string>

#include "resourcetree/group_manager.h"

namespace ResourceTree {

// The channels of the logged-in user, by code and by channel id, loaded from
// the platform. Thread-safe; a reload replaces the table as a whole.
class ChannelTable : public CGroupManagerExternal {
public:
    explicit ChannelTable(int sessionId);

    bool GetChannelInfoByCode(const std::string& code, ChannelInfo& info) override;
    int GetChannelInfoByChannelID(const std::string& channelId, ChannelInfo& info) override;

    // Queries the platform; false (and the table emptied) when it refuses.
    bool Load();
    void Clear();
    std::size_t Size() const;

private:
    const int m_sessionId;
    mutable std::mutex m_mutex;
    std::map<std::string, ChannelInfo> m_byCode;
    std::map<std::string, std::string> m_codeById;
};

}  // namespace ResourceTree
