#pragma once
#include <memory>
#include <string>

#include "kestrel/device_function_manager_external.h"
#include "kmpluginapi/plugin_api.h"

namespace Datahub { class CInterfaceSetManager; }

namespace Kestrel {

class CDeviceFunctionManagerDelegate;

// The plug-in object the host obtains from GetInstance.
class CKestrel : public KMPluginAPI::IClientLogicalPluginAPI {
public:
    CKestrel();
    // Releases the external manager, then the manager delegate (façades,
    // delegates, workers), then the interface set. Does not call UnInit.
    ~CKestrel() override;

    std::string GetPluginName() override;
    KMPluginAPI::IAbstractResourceManager* GetResourceManager() override;
    CDeviceFunctionManagerExternal* GetManagerExternal() override;
    bool AddLogicalPlugin(KMPluginAPI::IClientLogicalPluginAPI* plugin) override;
    bool RemoveLogicalPlugin(KMPluginAPI::IClientLogicalPluginAPI* plugin) override;
    bool Init() override;
    void UnInit() override;

    CKestrel(const CKestrel&) = delete;
    CKestrel& operator=(const CKestrel&) = delete;

private:
    Datahub::CInterfaceSetManager* m_pInterfaceSetManager = nullptr;
    std::shared_ptr<CDeviceFunctionManagerDelegate> m_spManagerDelegate;
    std::shared_ptr<CDeviceFunctionManagerExternal> m_spManagerExternal;
};

// The module's factory, published as "GetInstance": the one plug-in object,
// created on first use and kept until the module is unloaded.
std::shared_ptr<KMPluginAPI::IClientLogicalPluginAPI> GetInstance();

}  // namespace Kestrel
