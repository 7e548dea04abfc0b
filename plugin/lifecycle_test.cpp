// The plug-in object and its tree of managers, façades and workers.
#include <gtest/gtest.h>

#include "datahub/interface_set_manager.h"
#include "device/device_function_delegate.h"
#include "ptz/ptz_delegate.h"
#include "hostfw/environment.h"
#include "plugin/device_function_manager.h"
#include "plugin/kestrel.h"
#include "recording_observer.h"
#include "zrsdk/zrsdk_control.h"

namespace Kestrel {
namespace {

using kestrel_test::RecordingObserver;

class LifecycleTest : public ::testing::Test {
protected:
    void SetUp() override {
        zrsdk::control::Reset();
        m_env = std::make_unique<hostfw::Environment>();
    }
    void TearDown() override {
        m_env->WaitIdle();
        m_env->Shutdown();
    }
    void AddPlugins(CKestrel& kestrel) {
        ASSERT_TRUE(kestrel.AddLogicalPlugin(m_env->AccountPlugin()));
        ASSERT_TRUE(kestrel.AddLogicalPlugin(m_env->ResourceTreePlugin()));
    }
    std::unique_ptr<hostfw::Environment> m_env;
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
    EXPECT_EQ(manager->GetDeviceFunction(), nullptr);
    EXPECT_EQ(manager->GetPtz(), nullptr);
    EXPECT_EQ(manager->GetFaceFunction(), nullptr);
    EXPECT_EQ(manager->GetDeviceFunction(), nullptr);  // nothing cached by the first null

    AddPlugins(kestrel);
    ASSERT_TRUE(kestrel.Init());
    CDeviceFunctionExternal* device = manager->GetDeviceFunction();
    CPtzExternal* ptz = manager->GetPtz();
    ASSERT_NE(device, nullptr);
    ASSERT_NE(ptz, nullptr);
    EXPECT_EQ(manager->GetDeviceFunction(), device);
    EXPECT_EQ(manager->GetPtz(), ptz);

    kestrel.UnInit();
    EXPECT_EQ(manager->GetDeviceFunction(), device);
    EXPECT_EQ(manager->GetPtz(), ptz);
    EXPECT_EQ(manager->GetFaceFunction(), nullptr);  // never created
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
