// The plug-in object and its tree of managers, façades and workers; and
// server events from the platform's push, through the login manager and the
// routing, to the observers of each façade.
#include <cstring>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "datahub/interface_set_manager.h"
#include "device/device_function_delegate.h"
#include "kestrel/device_function_param.h"
#include "kestrel/face_function_param.h"
#include "kestrel/ptz_param.h"
#include "kestrel_fixture.h"
#include "plugin/device_function_manager.h"
#include "plugin/kestrel.h"
#include "ptz_test_util.h"
#include "ptz/ptz_delegate.h"
#include "zrsdk/zrsdk.h"
#include "zrsdk/zrsdk_control.h"

namespace Kestrel {
namespace {

using kestrel_test::KestrelFixture;
using kestrel_test::RecordingObserver;
using kestrel_test::ThreadKind;
using D = CDeviceFunctionParam;

// Plug-in objects of the tests' own beside the fixture's, which stays idle.
class LifecycleTest : public KestrelFixture {
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
    EXPECT_EQ(std::make_tuple(b.get(), b.use_count(), a->GetPluginName(), a->GetResourceManager()->GetManagerName()),
              std::make_tuple(a.get(), owners + 1, "Kestrel", "Kestrel"));
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
    EXPECT_EQ(observer.Results(), std::vector<int>{0}) << "the registration on the old worker went with it";
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
    EXPECT_EQ(std::make_tuple(bool(manager.GetPtzDelegate()), ptz.expired(), device.expired()),
              std::make_tuple(false, true, false));
    held.reset();
    EXPECT_TRUE(device.expired());
}

// A task whose worker was released before it ran does nothing. The key is
// held until the worker is gone, however slowly this thread gets there.
TEST_F(LifecycleTest, RequestPostedJustBeforeReleaseReportsNothing) {
    Datahub::CInterfaceSetManager set;
    set.AddLogicalPlugin(m_env->AccountPlugin());
    RecordingObserver observer;
    {
        kestrel_test::QueueGate gate("CDeviceCommunicate");
        {
            CDeviceFunctionManager manager;
            ASSERT_TRUE(manager.Init(&set));
            auto delegate = manager.GetDeviceFunctionDelegate();
            delegate->RegisterObserver(&observer);
            delegate->StartRecord("ch-0001", 0, 0, "", "menu.record");
            manager.UnInit();
        }
    }
    ASSERT_TRUE(m_env->WaitIdle());
    EXPECT_EQ(observer.Count(), 0u);
    EXPECT_EQ(zrsdk::control::CallCount("ZRSDK_StartRemoteRecord"), 0u);
}

class EventRoutingTest : public KestrelFixture {
protected:
    void Push(int type, int result, const void* data, std::size_t size) {
        ASSERT_TRUE(zrsdk::control::PushLoginEvent(m_env->SessionId(), type, result, data, size));
    }
    void Deliver() {
        ASSERT_TRUE(zrsdk::control::WaitEventsDelivered());
        WaitIdle();
    }
};

// Sizes other than a header and whole items are dropped; a header that
// counts more items than the payload holds yields the records present, never
// a read past the payload. (Every field's offset: the face decode test.)
TEST_F(EventRoutingTest, FaceEventSizesAndItems) {
    std::vector<unsigned char> raw(2948 + 1576, 0);
    ZRSDK_FACE_INFO_NOTIFY header{};
    std::strcpy(header.text1, "face-device");
    auto push = [&](uint32_t count, std::size_t size) {
        header.count = count;
        std::memcpy(raw.data(), &header, sizeof(header));
        Push(52, 0, raw.data(), size);
    };
    push(1, 2949);  // not 2948 + k * 1576
    push(1, 1372);  // header only
    push(1, 2947);
    push(1, 2948);
    push(0, 2948 + 1576);
    push(1000, 2948);
    Deliver();

    auto events = m_faceObserver.All();
    std::vector<std::size_t> items;
    for (const auto& e : events) items.push_back(e.As<CFaceFunctionParam>()->GetFaceInfoNotify().items.size());
    EXPECT_EQ(items, (std::vector<std::size_t>{1, 0, 1}));
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events[0].As<CFaceFunctionParam>()->GetFaceInfoNotify().text1, "face-device");
    EXPECT_EQ(events[0].thread, ThreadKind::UI);
}

TEST_F(EventRoutingTest, FilteredEventsReachNoObserver) {
    const ZRSDK_LOCKSTATUS_CHANGED_NOTIFY lock{0, "ch-0001", "", ""};
    std::vector<unsigned char> raw(345, 0);
    std::memcpy(raw.data(), &lock, sizeof(lock));
    Push(40, 1, raw.data(), 344);   // non-zero result
    Push(41, 0, raw.data(), 344);   // not a type Kestrel handles
    Push(40, 0, raw.data(), 343);
    Push(40, 0, raw.data(), 345);
    Push(40, 0, nullptr, 344);
    Push(167, 0, nullptr, 900);
    Push(206, 0, raw.data(), 0);
    Push(212, 0, nullptr, 10);
    // Not a login event at all, handed straight to the manager delegate.
    dynamic_cast<Datahub::IObserver*>(m_kestrel->GetResourceManager())
        ->OnNotify(std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED, 0));
    Deliver();
    EXPECT_EQ(std::make_tuple(m_ptzObserver.Count(), m_deviceObserver.Count()), std::make_tuple(0u, 0u));

    Push(40, 0, raw.data(), 344);
    Deliver();
    // The same notice at its size gets through (its fields and thread:
    // ptz/ptz_lock_test).
    EXPECT_EQ(m_ptzObserver.OfType(CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED).size(), 1u);
}

TEST_F(EventRoutingTest, DeviceEventsAreDecoded) {
    // A smart-track object only at exactly its size.
    std::vector<unsigned char> track(89, 0);
    const ZRSDK_SMARTTRACKOBJECT_NOTIFY notify{"ch-0003", 7, 11, 0, {}, 1234};  // group, subscription, object
    std::memcpy(track.data(), &notify, sizeof(notify));
    Push(50, 0, track.data(), 87);
    Push(50, 0, track.data(), 89);
    Push(50, 0, track.data(), 88);

    ZRSDK_TRAFFIC_ITEM items[2]{{5, {}, "lane-1", 0, {}}, {0, {}, "", 8, {}}};
    ZRSDK_TRAFFIC_INFO traffic{};
    std::strcpy(traffic.text1, "plate");
    std::strcpy(traffic.text2, "second");
    traffic.value64 = -12.9;
    traffic.value1 = 3;
    traffic.itemCount = 2;
    traffic.items = items;
    Push(167, 0, &traffic, sizeof(traffic) - 1);  // shorter than the fixed record
    Push(167, 0, &traffic, sizeof(traffic));

    const char alarm[] = "score alarm text\0trailing";
    Push(213, 0, alarm, sizeof(alarm));
    const char unterminated[4] = {'a', 'b', 'c', 'd'};
    Push(212, 0, unterminated, sizeof(unterminated));

    const ZRSDK_IMS_ALARM ims{"two", "one", "", "", "", "six"};  // text2 comes first
    Push(206, 0, &ims, sizeof(ims));
    Push(206, 0, &ims, 300);  // text6 lies beyond the payload
    Deliver();

    auto object = m_deviceObserver.Only<D>(D::DEVICE_EVENT_SMART_TRACK_OBJECT);
    EXPECT_EQ(std::make_tuple(object->GetEventResult(), object->GetCode(), object->GetGroup(), object->GetSubscribeID(),
                              object->GetObjectID()),
              std::make_tuple(0, "ch-0003", 7, 11, 1234));

    const TrafficInfoNotify info = m_deviceObserver.Only<D>(D::DEVICE_EVENT_TRAFFIC_INFO)->GetTrafficInfoNotify();
    EXPECT_EQ(std::tie(info.text1, info.text2, info.value64, info.value1), std::make_tuple("plate", "second", -12, 3));
    ASSERT_EQ(info.items.size(), 2u);
    EXPECT_EQ(std::tie(info.items[0].itemValue1, info.items[0].itemText, info.items[1].itemValue2),
              std::make_tuple(5u, "lane-1", 8u));

    const auto score = m_deviceObserver.Only<D>(D::DEVICE_EVENT_TRAFFIC_SCORE_ALARM)->GetTrafficScoreAlarmInfo();
    EXPECT_EQ(std::tie(score.payloadText, score.text01), std::make_tuple("score alarm text", ""));
    const auto real = m_deviceObserver.Only<D>(D::DEVICE_EVENT_TRAFFIC_REAL_ALARM)->GetTrafficRealAlarmInfo();
    EXPECT_EQ(real.payloadText, "abcd");

    ASSERT_EQ(m_deviceObserver.OfType(D::DEVICE_EVENT_IMS_ALARM).size(), 2u);
    const IMSAlarmInfoNotify full = m_deviceObserver.Wait<D>(D::DEVICE_EVENT_IMS_ALARM, 1)->GetIMSAlarmInfoNotify();
    EXPECT_EQ(std::tie(full.text1, full.text2, full.text6), std::make_tuple("one", "two", "six"));
    const IMSAlarmInfoNotify cut = m_deviceObserver.Wait<D>(D::DEVICE_EVENT_IMS_ALARM, 2)->GetIMSAlarmInfoNotify();
    EXPECT_EQ(std::tie(cut.text1, cut.text6), std::make_tuple("one", ""));
    for (const auto& r : m_deviceObserver.All()) EXPECT_EQ(r.thread, ThreadKind::UI);
}

}  // namespace
}  // namespace Kestrel
