// Device events of the server: smart-track objects, traffic information,
// traffic real-time and score alarms, IMS alarms. Each payload is checked and
// copied on the login connection's thread, then handed on.
//
// Bounds: a smart-track payload must be exactly 88 bytes and a traffic record
// at least the 864 bytes of its fixed part (shorter ones are dropped). IMS
// and alarm payloads are read only as far as their length: an IMS field that
// lies beyond it stays empty, an alarm text ends at its first zero byte or at
// the payload's end. The traffic items live in the platform's memory behind
// the record's pointer; a null pointer yields no items.
#include <algorithm>
#include <cstring>
#include <utility>

#include "device/device_communicate.h"
#include "kestrel/device_function_param.h"
#include "tasks/queue_keys.h"
#include "tasks/raw_reader.h"
#include "zrsdk/zrsdk.h"

namespace Kestrel {

namespace {

constexpr std::size_t kTrafficItemSize = sizeof(ZRSDK_TRAFFIC_ITEM);

// The platform's floating-point value, truncated toward zero; a value that
// no 64-bit integer holds (NaN, infinities, beyond the range) becomes 0.
int64_t Truncate(double value) {
    if (!(value > -9.2233720368547758e18 && value < 9.2233720368547758e18)) return 0;
    return static_cast<int64_t>(value);
}

TrafficInfoNotify DecodeTraffic(const CRawReader& raw) {
    TrafficInfoNotify info;
    info.text1 = raw.Text(offsetof(ZRSDK_TRAFFIC_INFO, text1), sizeof(ZRSDK_TRAFFIC_INFO::text1));
    info.text2 = raw.Text(offsetof(ZRSDK_TRAFFIC_INFO, text2), sizeof(ZRSDK_TRAFFIC_INFO::text2));
    info.text3 = raw.Text(offsetof(ZRSDK_TRAFFIC_INFO, text3), sizeof(ZRSDK_TRAFFIC_INFO::text3));
    info.value1 = raw.I32(offsetof(ZRSDK_TRAFFIC_INFO, value1));
    info.value64 = Truncate(raw.Value<double>(offsetof(ZRSDK_TRAFFIC_INFO, value64)));
    info.value2 = raw.I32(offsetof(ZRSDK_TRAFFIC_INFO, value2));
    info.text4 = raw.Text(offsetof(ZRSDK_TRAFFIC_INFO, text4), sizeof(ZRSDK_TRAFFIC_INFO::text4));
    info.value3 = raw.I32(offsetof(ZRSDK_TRAFFIC_INFO, value3));
    info.value4 = raw.I32(offsetof(ZRSDK_TRAFFIC_INFO, value4));
    info.value5 = raw.I32(offsetof(ZRSDK_TRAFFIC_INFO, value5));
    info.value6 = raw.I32(offsetof(ZRSDK_TRAFFIC_INFO, value6));
    info.text5 = raw.Text(offsetof(ZRSDK_TRAFFIC_INFO, text5), sizeof(ZRSDK_TRAFFIC_INFO::text5));
    info.itemCount = raw.U32(offsetof(ZRSDK_TRAFFIC_INFO, itemCount));
    const auto* items = raw.Value<const unsigned char*>(offsetof(ZRSDK_TRAFFIC_INFO, items));
    if (items == nullptr) return info;
    info.items.reserve(info.itemCount);
    for (uint32_t i = 0; i < info.itemCount; ++i) {
        const CRawReader item(items + std::size_t(i) * kTrafficItemSize, kTrafficItemSize);
        TrafficInfoItem out;
        out.itemValue1 = item.U32(offsetof(ZRSDK_TRAFFIC_ITEM, itemValue1));
        out.itemText = item.Text(offsetof(ZRSDK_TRAFFIC_ITEM, itemText), sizeof(ZRSDK_TRAFFIC_ITEM::itemText));
        out.itemValue2 = item.U32(offsetof(ZRSDK_TRAFFIC_ITEM, itemValue2));
        info.items.push_back(std::move(out));
    }
    return info;
}

IMSAlarmInfoNotify DecodeIms(const CRawReader& raw) {
    IMSAlarmInfoNotify info;
    info.text1 = raw.Text(offsetof(ZRSDK_IMS_ALARM, text1), sizeof(ZRSDK_IMS_ALARM::text1));
    info.text2 = raw.Text(offsetof(ZRSDK_IMS_ALARM, text2), sizeof(ZRSDK_IMS_ALARM::text2));
    info.text3 = raw.Text(offsetof(ZRSDK_IMS_ALARM, text3), sizeof(ZRSDK_IMS_ALARM::text3));
    info.text4 = raw.Text(offsetof(ZRSDK_IMS_ALARM, text4), sizeof(ZRSDK_IMS_ALARM::text4));
    info.text5 = raw.Text(offsetof(ZRSDK_IMS_ALARM, text5), sizeof(ZRSDK_IMS_ALARM::text5));
    info.text6 = raw.Text(offsetof(ZRSDK_IMS_ALARM, text6), sizeof(ZRSDK_IMS_ALARM::text6));
    return info;
}

}  // namespace

void CDeviceCommunicate::OnSmartTrackObjectNotify(const void* data, unsigned int length) {
    if (data == nullptr || length != sizeof(ZRSDK_SMARTTRACKOBJECT_NOTIFY)) return;
    SmartTrackObjectRecord record;
    std::memcpy(record.data(), data, record.size());
    PostToUILoop(&CDeviceCommunicate::HandleSmartTrackObjectNotify, record);
}

void CDeviceCommunicate::OnTrafficInfoNotify(const void* data, unsigned int length) {
    if (data == nullptr || length < sizeof(ZRSDK_TRAFFIC_INFO)) return;
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleTrafficInfoNotify,
                DecodeTraffic(CRawReader(data, length)));
}

void CDeviceCommunicate::OnTrafficRealAlarmInfo(const void* data, unsigned int length) {
    if (data == nullptr || length == 0) return;
    TrafficRealAlarmInfo info;
    info.payloadText = CRawReader(data, length).Text(0, length);
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleTrafficRealAlarmInfo, std::move(info));
}

void CDeviceCommunicate::OnTrafficScoreAlarmInfo(const void* data, unsigned int length) {
    if (data == nullptr || length == 0) return;
    TrafficScoreAlarmInfo info;
    info.payloadText = CRawReader(data, length).Text(0, length);
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleTrafficScoreAlarmInfo, std::move(info));
}

void CDeviceCommunicate::OnIMSAlarmInfoNotify(const void* data, unsigned int length) {
    if (data == nullptr || length == 0) return;
    PostRequest(QueueKey::kDevice, &CDeviceCommunicate::HandleIMSAlarmInfoNotify,
                DecodeIms(CRawReader(data, length)));
}

void CDeviceCommunicate::HandleSmartTrackObjectNotify(WeakPtr weak, const SmartTrackObjectRecord& record) {
    boost::shared_ptr<CDeviceCommunicate> self = weak.lock();
    if (!self) return;
    const CRawReader raw(record.data(), record.size());
    auto param = std::make_shared<CDeviceFunctionParam>(CDeviceFunctionParam::DEVICE_EVENT_SMART_TRACK_OBJECT, 0);
    param->SetCode(raw.Text(offsetof(ZRSDK_SMARTTRACKOBJECT_NOTIFY, code), sizeof(ZRSDK_SMARTTRACKOBJECT_NOTIFY::code)));
    param->SetGroup(raw.I32(offsetof(ZRSDK_SMARTTRACKOBJECT_NOTIFY, group)));
    param->SetSubscribeID(raw.I32(offsetof(ZRSDK_SMARTTRACKOBJECT_NOTIFY, subscribeId)));
    param->SetObjectID(raw.I32(offsetof(ZRSDK_SMARTTRACKOBJECT_NOTIFY, objectId)));
    self->PostResultToUI(param);
}

// The four pool-bound kinds: one parameter object with result 0 each.
#define KESTREL_DEVICE_EVENT_HANDLER(Handler, Record, EventType, Setter)                      \
    void CDeviceCommunicate::Handler(WeakPtr weak, const Record& info) {                     \
        boost::shared_ptr<CDeviceCommunicate> self = weak.lock();                            \
        if (!self) return;                                                                    \
        auto param = std::make_shared<CDeviceFunctionParam>(CDeviceFunctionParam::EventType, 0); \
        param->Setter(info);                                                                  \
        self->PostResultToUI(param);                                                          \
    }

KESTREL_DEVICE_EVENT_HANDLER(HandleTrafficInfoNotify, TrafficInfoNotify, DEVICE_EVENT_TRAFFIC_INFO,
                             SetTrafficInfoNotify)
KESTREL_DEVICE_EVENT_HANDLER(HandleTrafficRealAlarmInfo, TrafficRealAlarmInfo, DEVICE_EVENT_TRAFFIC_REAL_ALARM,
                             SetTrafficRealAlarmInfo)
KESTREL_DEVICE_EVENT_HANDLER(HandleTrafficScoreAlarmInfo, TrafficScoreAlarmInfo,
                             DEVICE_EVENT_TRAFFIC_SCORE_ALARM, SetTrafficScoreAlarmInfo)
KESTREL_DEVICE_EVENT_HANDLER(HandleIMSAlarmInfoNotify, IMSAlarmInfoNotify, DEVICE_EVENT_IMS_ALARM,
                             SetIMSAlarmInfoNotify)

#undef KESTREL_DEVICE_EVENT_HANDLER

}  // namespace Kestrel
