// kestrel-host: starts the host framework, logs a user in on the platform,
// loads libkestrel.so through its exported factory, hands it the account and
// resource-tree plug-ins, initialises it, shows what it offers and shuts down
// in the host's order.
#include <iostream>

#include <boost/dll/import.hpp>
#include <boost/dll/runtime_symbol_info.hpp>

#include "hostfw/environment.h"
#include "kestrel/device_function_manager_external.h"
#include "kmpluginapi/plugin_api.h"

namespace {
using Factory = std::shared_ptr<KMPluginAPI::IClientLogicalPluginAPI>();

boost::dll::fs::path ModulePath() {
    return boost::dll::program_location().parent_path().parent_path() / "lib" / "libkestrel.so";
}
}  // namespace

int main() {
    hostfw::Environment env;
    int status = 0;
    {
        auto factory =
            boost::dll::import_alias<Factory>(ModulePath(), "GetInstance", boost::dll::load_mode::rtld_now);
        std::shared_ptr<KMPluginAPI::IClientLogicalPluginAPI> plugin = factory();
        plugin->AddLogicalPlugin(env.AccountPlugin());
        plugin->AddLogicalPlugin(env.ResourceTreePlugin());
        if (!plugin->Init()) {
            std::cerr << "kestrel-host: Init failed\n";
            return 1;
        }
        auto* manager = static_cast<Kestrel::CDeviceFunctionManagerExternal*>(plugin->GetManagerExternal());
        std::cout << "plug-in: " << plugin->GetPluginName() << "\n"
                  << "resource manager: " << plugin->GetResourceManager()->GetManagerName() << "\n"
                  << "device functions: " << (manager->GetDeviceFunction() ? "yes" : "no") << "\n"
                  << "PTZ control: " << (manager->GetPtz() ? "yes" : "no") << "\n"
                  << "face functions: " << (manager->GetFaceFunction() ? "yes" : "no") << "\n";
        if (!manager->GetDeviceFunction() || !manager->GetPtz() || !manager->GetFaceFunction()) status = 1;
        plugin->UnInit();
        env.WaitIdle();
    }
    env.Shutdown();
    return status;
}
