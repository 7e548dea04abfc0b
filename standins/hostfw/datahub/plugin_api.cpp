#include "kmpluginapi/plugin_api.h"

// The plug-in interfaces' vtables and type information live here, once for
// the host and every plug-in.
namespace KMPluginAPI {

IAbstractResourceManager::~IAbstractResourceManager() = default;

IPluginAPI::~IPluginAPI() = default;

}  // namespace KMPluginAPI
