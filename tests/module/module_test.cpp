// Kestrel as the host sees it: a module loaded at run time, one exported
// entry, the plug-in interface and the exported classes.
#include <boost/dll/import.hpp>
#include <boost/dll/runtime_symbol_info.hpp>
#include <gtest/gtest.h>

#include "hostfw/environment.h"
#include "kestrel/device_function_external.h"
#include "kestrel/device_function_manager_external.h"
#include "kestrel/device_function_param.h"
#include "kestrel/face_function_external.h"
#include "kestrel/ptz_external.h"
#include "kmpluginapi/plugin_api.h"
#include "recording_observer.h"
#include "zrsdk/zrsdk_control.h"

namespace {

using Factory = std::shared_ptr<KMPluginAPI::IClientLogicalPluginAPI>();

boost::dll::fs::path ModulePath() {
    return boost::dll::program_location().parent_path().parent_path() / "lib" / "libkestrel.so";
}

TEST(ModuleTest, HostLoadsInitialisesDrivesAndReleasesThePlugin) {
    zrsdk::control::Reset();
    hostfw::Environment env;
    kestrel_test::RecordingObserver observer;
    {
        auto factory =
            boost::dll::import_alias<Factory>(ModulePath(), "GetInstance", boost::dll::load_mode::rtld_now);
        std::shared_ptr<KMPluginAPI::IClientLogicalPluginAPI> plugin = factory();
        ASSERT_TRUE(plugin);
        EXPECT_EQ(plugin->GetPluginName(), "Kestrel");
        EXPECT_EQ(factory().get(), plugin.get());
        ASSERT_TRUE(plugin->AddLogicalPlugin(env.AccountPlugin()));
        ASSERT_TRUE(plugin->AddLogicalPlugin(env.ResourceTreePlugin()));

        auto* manager = static_cast<Kestrel::CDeviceFunctionManagerExternal*>(plugin->GetManagerExternal());
        ASSERT_NE(manager, nullptr);
        EXPECT_EQ(manager->GetDeviceFunction(), nullptr);
        ASSERT_TRUE(plugin->Init());
        Kestrel::CDeviceFunctionExternal* device = manager->GetDeviceFunction();
        ASSERT_NE(device, nullptr);
        ASSERT_NE(manager->GetPtz(), nullptr);
        ASSERT_NE(manager->GetFaceFunction(), nullptr);
        EXPECT_FALSE(device->RegisterObserver(nullptr));
        ASSERT_TRUE(device->RegisterObserver(&observer));

        EXPECT_EQ(device->StartRecord("ch-0001", 0, 0, "", "menu.record"), 0);
        ASSERT_TRUE(observer.WaitFor(1));
        auto param = observer.All()[0].As<Kestrel::CDeviceFunctionParam>();
        EXPECT_EQ(param->GetEventType(), Kestrel::CDeviceFunctionParam::DEVICE_EVENT_START_RECORD);
        EXPECT_EQ(param->GetEventResult(), 0);
        EXPECT_GT(param->GetPlanId(), 0);
        EXPECT_EQ(observer.All()[0].thread, kestrel_test::ThreadKind::UI);

        plugin->UnInit();
        ASSERT_TRUE(env.WaitIdle());
        // Parameter objects made inside the module live only as long as the
        // module is loaded: drop them before the library handle goes.
        observer.Clear();
        param.reset();
    }
    env.Shutdown();
}

}  // namespace
