#pragma once
// The host's resource-tree plug-in ("ResourceTree"): the channels the
// logged-in user sees, loaded from the platform at Init.
#include <cstddef>
#include <memory>
#include <string>

#include "host_export.h"
#include "kmpluginapi/plugin_api.h"

namespace ResourceTree { class CGroupManagerExternal; }

namespace hostfw {

class RESOURCETREE_API ResourceTreePlugin : public KMPluginAPI::IClientLogicalPluginAPI {
public:
    explicit ResourceTreePlugin(int sessionId);
    ~ResourceTreePlugin() override;

    std::string GetPluginName() override;  // "ResourceTree"
    KMPluginAPI::IAbstractResourceManager* GetResourceManager() override;  // none: null
    // The group manager (ResourceTree::CGroupManagerExternal).
    KMPluginAPI::IManagerExternal* GetManagerExternal() override;
    bool AddLogicalPlugin(KMPluginAPI::IClientLogicalPluginAPI* plugin) override;
    bool RemoveLogicalPlugin(KMPluginAPI::IClientLogicalPluginAPI* plugin) override;
    // Loads the channel table; false (and an empty table) when the SDK refuses.
    bool Init() override;
    // Empties the channel table.
    void UnInit() override;

    ResourceTree::CGroupManagerExternal* GroupManager();
    // Loads the channel table again (after the platform's channels changed).
    bool Reload();
    std::size_t ChannelCount() const;

    ResourceTreePlugin(const ResourceTreePlugin&) = delete;
    ResourceTreePlugin& operator=(const ResourceTreePlugin&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace hostfw
