#pragma once
#include <string>

#include "host_export.h"
#include "kmpluginapi/plugin_api.h"

namespace ResourceTree {

struct ChannelInfo {
    std::string code;        // channel code, the platform's name of the channel
    std::string channelId;   // the channel's id in the tree
    std::string name;
    std::string deviceCode;  // the device the channel belongs to
    int channelNo = 0;
    bool isPtz = false;
};

// The resource-tree plug-in's external manager: the channels the user sees.
class RESOURCETREE_API CGroupManagerExternal : public KMPluginAPI::IManagerExternal {
public:
    virtual ~CGroupManagerExternal();
    // True and info filled when the tree knows the channel code.
    virtual bool GetChannelInfoByCode(const std::string& code, ChannelInfo& info) = 0;
    // 0 and info filled when the tree knows the channel id; non-zero otherwise.
    virtual int GetChannelInfoByChannelID(const std::string& channelId, ChannelInfo& info) = 0;
};

}  // namespace ResourceTree
