#include "datahub/interface_set_manager.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "accountlogic/user_manager.h"
#include "kmpluginapi/plugin_api.h"
#include "resourcetree/group_manager.h"

namespace Datahub {

namespace {
const char kAccountPluginName[] = "AccountLogic";
const char kResourceTreePluginName[] = "ResourceTree";
}  // namespace

struct CInterfaceSetManager::Impl {
    std::mutex mutex;
    std::vector<KMPluginAPI::IClientLogicalPluginAPI*> plugins;  // in the order added

    // The external manager of the first added plug-in with that name.
    KMPluginAPI::IManagerExternal* ManagerOf(const char* pluginName) {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto* plugin : plugins) {
            if (plugin->GetPluginName() == pluginName) return plugin->GetManagerExternal();
        }
        return nullptr;
    }
};

CInterfaceSetManager::CInterfaceSetManager() : m_impl(new Impl) {}

CInterfaceSetManager::~CInterfaceSetManager() { delete m_impl; }

bool CInterfaceSetManager::AddLogicalPlugin(KMPluginAPI::IClientLogicalPluginAPI* plugin) {
    if (!plugin) return false;
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    auto& plugins = m_impl->plugins;
    if (std::find(plugins.begin(), plugins.end(), plugin) != plugins.end()) return false;
    plugins.push_back(plugin);
    return true;
}

bool CInterfaceSetManager::RemoveLogicalPlugin(KMPluginAPI::IClientLogicalPluginAPI* plugin) {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    auto& plugins = m_impl->plugins;
    auto it = std::find(plugins.begin(), plugins.end(), plugin);
    if (it == plugins.end()) return false;
    plugins.erase(it);
    return true;
}

// The downcasts below are unchecked by design: the plug-in's name vouches for
// the manager's type, and the types' vtables live in the sibling libraries,
// which this one cannot link (they link it). UBSan's vptr check would need them.
#define HOSTFW_UNCHECKED_DOWNCAST __attribute__((no_sanitize("vptr")))

HOSTFW_UNCHECKED_DOWNCAST
AccountLogic::CUserManagerExternal* CInterfaceSetManager::GetUserManagerExternal() {
    // The account plug-in hands out its user manager as its external manager.
    return static_cast<AccountLogic::CUserManagerExternal*>(m_impl->ManagerOf(kAccountPluginName));
}

HOSTFW_UNCHECKED_DOWNCAST
ResourceTree::CGroupManagerExternal* CInterfaceSetManager::GetGroupManagerExternal() {
    return static_cast<ResourceTree::CGroupManagerExternal*>(
        m_impl->ManagerOf(kResourceTreePluginName));
}

}  // namespace Datahub
