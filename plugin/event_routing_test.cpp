// Server events from the platform's push, through the login manager and the
// routing, to the observers of each façade.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "kestrel/device_function_param.h"
#include "kestrel/face_function_param.h"
#include "kestrel/ptz_param.h"
#include "kestrel_fixture.h"
#include "zrsdk/zrsdk.h"
#include "zrsdk/zrsdk_control.h"

namespace Kestrel {
namespace {

using kestrel_test::KestrelFixture;
using kestrel_test::ThreadKind;

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

TEST_F(EventRoutingTest, SmartTrackObjectOnlyAtExactlyItsSize) {
    std::vector<unsigned char> raw(89, 0);
    ZRSDK_SMARTTRACKOBJECT_NOTIFY notify{};
    std::strcpy(notify.code, "ch-0003");
    notify.group = 7;
    notify.subscribeId = 11;
    notify.objectId = 1234;
    std::memcpy(raw.data(), &notify, sizeof(notify));

    Push(50, 0, raw.data(), 87);
    Push(50, 0, raw.data(), 89);
    Push(50, 0, raw.data(), 88);
    Deliver();
    auto events = m_deviceObserver.All();
    ASSERT_EQ(events.size(), 1u);
    auto param = events[0].As<CDeviceFunctionParam>();
    EXPECT_EQ(param->GetEventType(), CDeviceFunctionParam::DEVICE_EVENT_SMART_TRACK_OBJECT);
    EXPECT_EQ(param->GetEventResult(), 0);
    EXPECT_EQ(param->GetCode(), "ch-0003");
    EXPECT_EQ(param->GetGroup(), 7);
    EXPECT_EQ(param->GetSubscribeID(), 11);
    EXPECT_EQ(param->GetObjectID(), 1234);
    EXPECT_EQ(events[0].thread, ThreadKind::UI);
}

TEST_F(EventRoutingTest, FaceEventSizesAndItems) {
    std::vector<unsigned char> raw(2948 + 1576, 0);
    ZRSDK_FACE_INFO_NOTIFY header{};
    std::strcpy(header.text1, "face-device");
    header.count = 1;
    std::memcpy(raw.data(), &header, sizeof(header));
    ZRSDK_FACE_INFO_ITEM item{};
    std::strcpy(item.text10, "person-1");
    std::memcpy(raw.data() + sizeof(header), &item, sizeof(item));

    Push(52, 0, raw.data(), 2949);   // not 2948 + k * 1576
    Push(52, 0, raw.data(), 1372);   // header only
    Push(52, 0, raw.data(), 2947);
    Push(52, 0, raw.data(), 2948);
    header.count = 0;
    std::memcpy(raw.data(), &header, sizeof(header));
    Push(52, 0, raw.data(), 2948 + 1576);
    Deliver();

    // Every field's offset: the face decode test.
    auto events = m_faceObserver.All();
    ASSERT_EQ(events.size(), 2u);
    FaceInfoNotify first = events[0].As<CFaceFunctionParam>()->GetFaceInfoNotify();
    EXPECT_EQ(first.text1, "face-device");
    ASSERT_EQ(first.items.size(), 1u);
    EXPECT_EQ(first.items[0].text10, "person-1");
    EXPECT_TRUE(events[1].As<CFaceFunctionParam>()->GetFaceInfoNotify().items.empty());
    EXPECT_EQ(events[1].thread, ThreadKind::UI);

    // A header that counts more items than the payload holds yields the
    // records present, never a read past the payload.
    header.count = 1000;
    std::memcpy(raw.data(), &header, sizeof(header));
    Push(52, 0, raw.data(), 2948);
    Deliver();
    ASSERT_EQ(m_faceObserver.Count(), 3u);
    EXPECT_EQ(m_faceObserver.All()[2].As<CFaceFunctionParam>()->GetFaceInfoNotify().items.size(), 1u);
}

TEST_F(EventRoutingTest, FilteredEventsReachNoObserver) {
    ZRSDK_LOCKSTATUS_CHANGED_NOTIFY lock{};
    std::strcpy(lock.code, "ch-0001");
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
    m_kestrel->GetResourceManager();
    dynamic_cast<Datahub::IObserver*>(m_kestrel->GetResourceManager())
        ->OnNotify(std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED, 0));
    Deliver();
    EXPECT_EQ(m_ptzObserver.Count(), 0u);
    EXPECT_EQ(m_deviceObserver.Count(), 0u);

    Push(40, 0, raw.data(), 344);
    Deliver();
    ASSERT_EQ(m_ptzObserver.Count(), 1u);
    auto received = m_ptzObserver.All()[0];
    EXPECT_EQ(received.param->GetEventType(), CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED);
    EXPECT_EQ(received.As<CPtzParam>()->GetCode(), "ch-0001");
    EXPECT_EQ(received.thread, ThreadKind::Pool);
}

TEST_F(EventRoutingTest, DeviceEventsAreDecoded) {
    std::vector<unsigned char> raw(sizeof(ZRSDK_TRAFFIC_INFO), 0);
    ZRSDK_TRAFFIC_ITEM items[2]{};
    items[0].itemValue1 = 5;
    std::strcpy(items[0].itemText, "lane-1");
    items[1].itemValue2 = 8;
    ZRSDK_TRAFFIC_INFO traffic{};
    std::strcpy(traffic.text1, "plate");
    std::strcpy(traffic.text2, "second");
    traffic.value64 = -12.9;
    traffic.value1 = 3;
    traffic.itemCount = 2;
    traffic.items = items;
    std::memcpy(raw.data(), &traffic, sizeof(traffic));
    Push(167, 0, raw.data(), raw.size() - 1);  // shorter than the fixed record
    Push(167, 0, raw.data(), raw.size());

    const char alarm[] = "score alarm text\0trailing";
    Push(213, 0, alarm, sizeof(alarm));
    const char unterminated[4] = {'a', 'b', 'c', 'd'};
    Push(212, 0, unterminated, sizeof(unterminated));

    ZRSDK_IMS_ALARM ims{};
    std::strcpy(ims.text1, "one");
    std::strcpy(ims.text2, "two");
    std::strcpy(ims.text6, "six");
    Push(206, 0, &ims, sizeof(ims));
    Push(206, 0, &ims, 300);  // text6 lies beyond the payload
    Deliver();

    auto traffics = m_deviceObserver.OfType(CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_INFO);
    ASSERT_EQ(traffics.size(), 1u);
    TrafficInfoNotify info = traffics[0].As<CDeviceFunctionParam>()->GetTrafficInfoNotify();
    EXPECT_EQ(info.text1, "plate");
    EXPECT_EQ(info.text2, "second");
    EXPECT_EQ(info.value64, -12);
    EXPECT_EQ(info.value1, 3);
    ASSERT_EQ(info.items.size(), 2u);
    EXPECT_EQ(info.items[0].itemValue1, 5u);
    EXPECT_EQ(info.items[0].itemText, "lane-1");
    EXPECT_EQ(info.items[1].itemValue2, 8u);

    auto scores = m_deviceObserver.OfType(CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_SCORE_ALARM);
    ASSERT_EQ(scores.size(), 1u);
    TrafficScoreAlarmInfo score = scores[0].As<CDeviceFunctionParam>()->GetTrafficScoreAlarmInfo();
    EXPECT_EQ(score.payloadText, "score alarm text");
    EXPECT_TRUE(score.text01.empty());
    auto reals = m_deviceObserver.OfType(CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_REAL_ALARM);
    ASSERT_EQ(reals.size(), 1u);
    EXPECT_EQ(reals[0].As<CDeviceFunctionParam>()->GetTrafficRealAlarmInfo().payloadText, "abcd");

    auto imss = m_deviceObserver.OfType(CDeviceFunctionParam::DEVICE_EVENT_IMS_ALARM);
    ASSERT_EQ(imss.size(), 2u);
    IMSAlarmInfoNotify full = imss[0].As<CDeviceFunctionParam>()->GetIMSAlarmInfoNotify();
    EXPECT_EQ(full.text1, "one");
    EXPECT_EQ(full.text2, "two");
    EXPECT_EQ(full.text6, "six");
    IMSAlarmInfoNotify cut = imss[1].As<CDeviceFunctionParam>()->GetIMSAlarmInfoNotify();
    EXPECT_EQ(cut.text1, "one");
    EXPECT_TRUE(cut.text6.empty());
    for (const auto& r : m_deviceObserver.All()) EXPECT_EQ(r.thread, ThreadKind::UI);
}

TEST_F(EventRoutingTest, NothingArrivesAfterUnInit) {
    m_kestrel->UnInit();
    const char text[] = "late";
    Push(212, 0, text, sizeof(text));
    Deliver();
    EXPECT_EQ(m_deviceObserver.Count(), 0u);
}

}  // namespace
}  // namespace Kestrel
