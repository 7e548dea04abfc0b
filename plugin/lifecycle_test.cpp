// The plug-in object and its tree of managers, façades and workers.
#include <tuple>

#include <gtest/gtest.h>

#include "datahub/interface_set_manager.h"
#include "device/device_function_delegate.h"
#include "ptz/ptz_delegate.h"
#include "plugin/device_function_manager.h"
#include "plugin/kestrel.h"
#include "kestrel_fixture.h"
#include "zrsdk/zrsdk_control.h"

namespace Kestrel {
namespace {

using kestrel_test::RecordingObserver;

// Plug-in objects of the tests' own beside the fixture's, which stays idle.
class LifecycleTest : public kestrel_test::KestrelFixture {
protected:
    void AddPlugins(CKestrel& kestrel) {
        ASSERT_TRUE(kestrel.AddLogicalPlugin(m_env->AccountPlugin()));
        ASSERT_TRUE(kestrel.AddLogicalPlugin(m_env->ResourceTreePlugin()));
    }
};

TEST_F(LifecycleTest, FactoryHandsOutOneObjectNamedKestrel) {
    std::shared_ptr<KMPluginAPI::IClientLogicalPluginAPI> a = GetInstance();
    const long owners = a.use_count();
    std::shared_ptr<KMPluginAPI::IClientLogicalPluginAPI> b = GetInstance();
    EXPECT_EQ(a.get(), b.get());
    EXPECT_EQ(b.use_count(), owners + 1);
    EXPECT_EQ(a->GetPluginName(), "Kestrel");
    EXPECT_EQ(a->GetResourceManager()->GetManagerName(), "Kestrel");
    // Releasing every host copy leaves the factory's own.
    b.reset();
    EXPECT_EQ(a.use_count(), owners);
    EXPECT_GE(owners, 2);
}

TEST_F(LifecycleTest, LogicalPluginsAreKeptOnceAndFacadesLiveFromInitOn) {
    CKestrel kestrel;
    kestrel.UnInit();  // without Init: harmless
    EXPECT_FALSE(kestrel.AddLogicalPlugin(nullptr));
    EXPECT_TRUE(kestrel.AddLogicalPlugin(m_env->AccountPlugin()));
    EXPECT_FALSE(kestrel.AddLogicalPlugin(m_env->AccountPlugin()));
    EXPECT_TRUE(kestrel.RemoveLogicalPlugin(m_env->AccountPlugin()));
    EXPECT_FALSE(kestrel.RemoveLogicalPlugin(m_env->AccountPlugin()));
    CDeviceFunctionManagerExternal* manager = kestrel.GetManagerExternal();
    ASSERT_NE(manager, nullptr);
    // The façades of the manager, the device function's asked for twice: a
    // null is not cached.
    auto facades = [manager] {
        return std::make_tuple(manager->GetDeviceFunction(), manager->GetPtz(), manager->GetFaceFunction(),
                               manager->GetDeviceFunction());
    };
    EXPECT_EQ(facades(), std::make_tuple(nullptr, nullptr, nullptr, nullptr));

    AddPlugins(kestrel);
    ASSERT_TRUE(kestrel.Init());
    CDeviceFunctionExternal* device = manager->GetDeviceFunction();
    CPtzExternal* ptz = manager->GetPtz();
    ASSERT_NE(device, nullptr);
    ASSERT_NE(ptz, nullptr);
    EXPECT_EQ(std::make_tuple(manager->GetDeviceFunction(), manager->GetPtz()), std::make_tuple(device, ptz));
    kestrel.UnInit();
    // The same objects after UnInit; the face function's was never asked for
    // while initialised, so never created.
    EXPECT_EQ(facades(), std::make_tuple(device, ptz, nullptr, device));
}

// A second Init rebinds the façades the client already holds to the new
// workers, so requests through them work again.
TEST_F(LifecycleTest, SecondInitRebindsFacadesTheClientHolds) {
    CKestrel kestrel;
    AddPlugins(kestrel);
    ASSERT_TRUE(kestrel.Init());
    CDeviceFunctionExternal* device = kestrel.GetManagerExternal()->GetDeviceFunction();
    RecordingObserver observer;
    device->RegisterObserver(&observer);
    kestrel.UnInit();
    // (What a request gets between the two: tests/faults/bad_input_test.)

    ASSERT_TRUE(kestrel.Init());
    EXPECT_EQ(kestrel.GetManagerExternal()->GetDeviceFunction(), device);
    device->RegisterObserver(&observer);  // the new worker has its own list
    device->StartRecord("ch-0001", 0, 0, "", "menu.record");
    ASSERT_TRUE(m_env->WaitIdle());
    ASSERT_EQ(observer.Count(), 1u) << "the registration on the old worker went with it";
    EXPECT_EQ(observer.All()[0].param->GetEventResult(), 0);
    device->UnRegisterObserver(&observer);
    kestrel.UnInit();
}

// The function manager stops its workers, and a façade keeps its own worker
// alive until the façade goes.
TEST_F(LifecycleTest, WorkersLiveAsLongAsTheirOwners) {
    Datahub::CInterfaceSetManager set;
    set.AddLogicalPlugin(m_env->AccountPlugin());
    CDeviceFunctionManager manager;
    EXPECT_FALSE(manager.Init(nullptr));
    EXPECT_FALSE(manager.GetDeviceFunctionDelegate());
    ASSERT_TRUE(manager.Init(&set));
    boost::weak_ptr<CDeviceCommunicate> device = manager.GetDeviceFunctionDelegate()->GetWorker();
    boost::weak_ptr<CPtz> ptz = manager.GetPtzDelegate()->GetWorker();
    auto held = std::make_unique<CDeviceFunctionExternal>(manager.GetDeviceFunctionDelegate());
    manager.UnInit();
    EXPECT_FALSE(manager.GetPtzDelegate());
    EXPECT_TRUE(ptz.expired());
    EXPECT_FALSE(device.expired());
    held.reset();
    EXPECT_TRUE(device.expired());
}

// A task whose worker was released before it ran does nothing.
TEST_F(LifecycleTest, RequestPostedJustBeforeReleaseReportsNothing) {
    zrsdk::control::SetLatency("ZRSDK_GetFlowSetIFrame", std::chrono::milliseconds(200));
    Datahub::CInterfaceSetManager set;
    set.AddLogicalPlugin(m_env->AccountPlugin());
    RecordingObserver observer;
    {
        CDeviceFunctionManager manager;
        ASSERT_TRUE(manager.Init(&set));
        auto delegate = manager.GetDeviceFunctionDelegate();
        delegate->RegisterObserver(&observer);
        delegate->SetIFrame("ch-0001");  // blocks the key for a while
        delegate->StartRecord("ch-0001", 0, 0, "", "menu.record");
        manager.UnInit();
    }
    ASSERT_TRUE(m_env->WaitIdle());
    EXPECT_EQ(observer.Count(), 0u);
    EXPECT_EQ(zrsdk::control::CallCount("ZRSDK_StartRemoteRecord"), 0u);
}

}  // namespace
}  // namespace Kestrel
