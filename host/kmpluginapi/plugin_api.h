#pragma once
#include <string>

#include "host_export.h"

namespace KMPluginAPI {

// Tag base of every plug-in's external manager: the host hands it out typed by
// the plug-in that owns it, so each plug-in returns its own derived type.
class IManagerExternal {};

// The manager a plug-in shows the host as its resource manager.
class DATAHUB_API IAbstractResourceManager {
public:
    virtual ~IAbstractResourceManager();
    virtual std::string GetManagerName() = 0;
};

class DATAHUB_API IPluginAPI {
public:
    virtual ~IPluginAPI();
    virtual std::string GetPluginName() = 0;
};

// A client-side logic plug-in. The host calls Init before any use of the
// external manager and UnInit before it releases the plug-in.
class DATAHUB_API IClientLogicalPluginAPI : public IPluginAPI {
public:
    virtual IAbstractResourceManager* GetResourceManager() = 0;
    virtual IManagerExternal* GetManagerExternal() = 0;
    virtual bool AddLogicalPlugin(IClientLogicalPluginAPI* plugin) = 0;
    virtual bool RemoveLogicalPlugin(IClientLogicalPluginAPI* plugin) = 0;
    virtual bool Init() = 0;
    virtual void UnInit() = 0;
};

}  // namespace KMPluginAPI
