#include "hostfw/resource_tree_plugin.h"

#include "channel_table.h"
#include "datahub/interface_set_manager.h"

namespace hostfw {

namespace {
const char kPluginName[] = "ResourceTree";
}  // namespace

struct ResourceTreePlugin::Impl {
    ResourceTree::ChannelTable channels;
    Datahub::CInterfaceSetManager siblings;

    explicit Impl(int sessionId) : channels(sessionId) {}
};

ResourceTreePlugin::ResourceTreePlugin(int sessionId) : m_impl(std::make_unique<Impl>(sessionId)) {}

ResourceTreePlugin::~ResourceTreePlugin() = default;

std::string ResourceTreePlugin::GetPluginName() { return kPluginName; }

KMPluginAPI::IAbstractResourceManager* ResourceTreePlugin::GetResourceManager() { return nullptr; }

KMPluginAPI::IManagerExternal* ResourceTreePlugin::GetManagerExternal() {
    // Siblings cast this back to ResourceTree::CGroupManagerExternal.
    ResourceTree::CGroupManagerExternal* group = &m_impl->channels;
    return group;
}

bool ResourceTreePlugin::AddLogicalPlugin(KMPluginAPI::IClientLogicalPluginAPI* plugin) {
    return m_impl->siblings.AddLogicalPlugin(plugin);
}

bool ResourceTreePlugin::RemoveLogicalPlugin(KMPluginAPI::IClientLogicalPluginAPI* plugin) {
    return m_impl->siblings.RemoveLogicalPlugin(plugin);
}

bool ResourceTreePlugin::Init() { return m_impl->channels.Load(); }

void ResourceTreePlugin::UnInit() { m_impl->channels.Clear(); }

ResourceTree::CGroupManagerExternal* ResourceTreePlugin::GroupManager() {
    return &m_impl->channels;
}

bool ResourceTreePlugin::Reload() { return m_impl->channels.Load(); }

std::size_t ResourceTreePlugin::ChannelCount() const { return m_impl->channels.Size(); }

}  // namespace hostfw
