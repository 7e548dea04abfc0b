// Kestrel as the host sees it: a module loaded at run time, one exported
// entry, the plug-in interface and the exported classes.
#include <boost/dll/import.hpp>
#include <boost/dll/runtime_symbol_info.hpp>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "hostfw/environment.h"
#include "hostfw/vkl_host.h"
#include "vkl/log.h"
#include "kestrel/device_function_external.h"
#include "kestrel/device_function_manager_external.h"
#include "kestrel/device_function_param.h"
#include "kestrel/face_function_external.h"
#include "kestrel/ptz_external.h"
#include "kestrel/ptz_param.h"
#include "kmpluginapi/plugin_api.h"
#include "recording_observer.h"
#include "zrsdk/zrsdk_control.h"

namespace {

using Factory = std::shared_ptr<KMPluginAPI::IClientLogicalPluginAPI>();

// The module as built: libkestrel.so in lib/ beside bin/, or kestrel.dll
// beside the test program.
boost::dll::fs::path ModulePath() {
    const boost::dll::fs::path name = boost::dll::shared_library::decorate("kestrel");
    const boost::dll::fs::path programDir = boost::dll::program_location().parent_path();
    const boost::dll::fs::path inLib = programDir.parent_path() / "lib" / name;
    boost::dll::fs::error_code ec;
    return boost::dll::fs::exists(inLib, ec) ? inLib : programDir / name;
}

// The host framework's process-wide objects are the module's too, as they
// must be where every DLL would otherwise get its own copy: the SDK pool and
// the UI loop that the host drains carry the module's tasks, and the module's
// log lines reach the sink the host set. A module with pools of its own would
// post where nobody waits, and log where nobody reads.
TEST(ModuleTest, HostLoadsDrivesAndReleasesThePluginOnItsOwnPoolUiLoopAndLog) {
    zrsdk::control::Reset();
    kestrel_test::LogCapture log;
    hostfw::Environment env;
    kestrel_test::RecordingObserver deviceObserver;
    kestrel_test::RecordingObserver ptzObserver;
    {
        auto factory = boost::dll::import_alias<Factory>(ModulePath(), "GetInstance", boost::dll::load_mode::rtld_now);
        std::shared_ptr<KMPluginAPI::IClientLogicalPluginAPI> plugin = factory();
        ASSERT_TRUE(plugin);
        ASSERT_TRUE(plugin->AddLogicalPlugin(env.AccountPlugin()));
        ASSERT_TRUE(plugin->AddLogicalPlugin(env.ResourceTreePlugin()));
        ASSERT_TRUE(plugin->Init());
        auto* manager = static_cast<Kestrel::CDeviceFunctionManagerExternal*>(plugin->GetManagerExternal());
        Kestrel::CDeviceFunctionExternal* device = manager->GetDeviceFunction();
        Kestrel::CPtzExternal* ptz = manager->GetPtz();
        ASSERT_NE(device, nullptr);
        ASSERT_NE(ptz, nullptr);
        ASSERT_NE(manager->GetFaceFunction(), nullptr);
        ASSERT_TRUE(device->RegisterObserver(&deviceObserver));
        ASSERT_TRUE(ptz->RegisterObserver(&ptzObserver));

        EXPECT_EQ(device->StartRecord("ch-0001", 0, 0, "", "menu.record"), 0);
        ASSERT_TRUE(zrsdk::control::FailNextCalls("ZRSDK_PtzRainWiper", 1, 701));
        Kestrel::PtzOperation op;
        op.action = 1;
        ptz->RainWiper("ch-0001", op);
        // No waiting for the observer itself: once the host's pool and UI
        // loop are idle, the answers have been delivered.
        ASSERT_TRUE(env.WaitIdle());
        for (auto* observer : {&deviceObserver, &ptzObserver}) {
            ASSERT_EQ(observer->Count(), 1u);
            EXPECT_EQ(observer->All()[0].thread, kestrel_test::ThreadKind::UI);
        }
        EXPECT_EQ(deviceObserver.Results(Kestrel::CDeviceFunctionParam::DEVICE_EVENT_START_RECORD),
                  std::vector<int>{0});
        auto started = deviceObserver.All()[0].As<Kestrel::CDeviceFunctionParam>();
        EXPECT_GT(started->GetPlanId(), 0);
        EXPECT_EQ(ptzObserver.Results(Kestrel::CPtzParam::PTZ_EVENT_RAIN_WIPER), std::vector<int>{701});
        const auto logged = log.Lines();
        ASSERT_EQ(logged.size(), 1u);
        EXPECT_EQ(std::tie(logged[0].level, logged[0].function),
                  std::make_tuple(vkl::LOG_LEVEL_WARN, "Kestrel::CPtz::HandleRainWiperReq"));

        plugin->UnInit();
        ASSERT_TRUE(env.WaitIdle());
        // Parameter objects made inside the module live only as long as the
        // module is loaded: drop them before the library handle goes.
        started.reset();
        deviceObserver.Clear();
        ptzObserver.Clear();
    }
    env.Shutdown();
}

}  // namespace
