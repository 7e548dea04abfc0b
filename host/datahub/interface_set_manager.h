#pragma once
#include "host_export.h"

namespace KMPluginAPI { class IClientLogicalPluginAPI; }
namespace AccountLogic { class CUserManagerExternal; }
namespace ResourceTree { class CGroupManagerExternal; }

namespace Datahub {

// The registry through which a plug-in reaches its sibling plug-ins. It does
// not own the plug-ins added to it.
class DATAHUB_API CInterfaceSetManager {
public:
    CInterfaceSetManager();
    ~CInterfaceSetManager();

    // False for a null plug-in or one already added.
    bool AddLogicalPlugin(KMPluginAPI::IClientLogicalPluginAPI* plugin);
    // False when the plug-in was not added.
    bool RemoveLogicalPlugin(KMPluginAPI::IClientLogicalPluginAPI* plugin);

    // The account plug-in's user manager, or null when none was added.
    AccountLogic::CUserManagerExternal* GetUserManagerExternal();
    // The resource-tree plug-in's group manager, or null when none was added.
    ResourceTree::CGroupManagerExternal* GetGroupManagerExternal();

    CInterfaceSetManager(const CInterfaceSetManager&) = delete;
    CInterfaceSetManager& operator=(const CInterfaceSetManager&) = delete;

private:
    struct Impl;
    Impl* m_impl;
};

}  // namespace Datahub
