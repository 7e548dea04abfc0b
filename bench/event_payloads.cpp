#include "event_payloads.h"

#include <cstring>
#include <string>

#include "bench_host.h"
#include "kestrel/device_function_param.h"
#include "kestrel/face_function_param.h"
#include "kestrel/ptz_param.h"
#include "zrsdk/zrsdk_control.h"

namespace bench {

namespace ctl = zrsdk::control;

namespace {

// The bytes of the event as the callback receives them: each pointer slot
// set to the address of its target inside the same block.
std::vector<uint8_t> Materialise(const ctl::LoginEventData& event) {
    std::vector<uint8_t> bytes = event.bytes;
    for (const auto& slot : event.pointers) {
        const uint8_t* target = bytes.data() + slot.target;
        std::memcpy(bytes.data() + slot.at, &target, sizeof target);
    }
    return bytes;
}

ZRSDK_FACE_INFO_ITEM FaceItem(int i) {
    ZRSDK_FACE_INFO_ITEM item{};
    ctl::SetText(item.text5, "face-" + std::to_string(i));
    ctl::SetText(item.text10, "http://127.0.0.1/face/" + std::to_string(i) + ".jpg");
    ctl::SetText(item.text11, "http://127.0.0.1/scene/" + std::to_string(i) + ".jpg");
    ctl::SetText(item.text1, "Person " + std::to_string(i));
    item.value1 = i;
    ctl::SetText(item.text2, "ID-0000" + std::to_string(i));
    ctl::SetText(item.text3, "library of watched faces");
    ctl::SetText(item.text4, "lib-01");
    item.realValue = 0.87f;
    item.flag = 1;
    ctl::SetText(item.text6, "male");
    ctl::SetText(item.text7, "remark");
    ctl::SetText(item.text8, "group-1");
    ctl::SetText(item.text9, "http://127.0.0.1/person/" + std::to_string(i));
    return item;
}

ZRSDK_FACE_INFO_NOTIFY FaceHeader() {
    ZRSDK_FACE_INFO_NOTIFY header{};
    ctl::SetText(header.text1, "ch-0001");
    ctl::SetText(header.text2, "Gate 1");
    ctl::SetText(header.text3, "dev-0001");
    ctl::SetText(header.text4, "face task 7");
    ctl::SetText(header.text5, "http://127.0.0.1/scene.jpg");
    ctl::SetText(header.text6, "http://127.0.0.1/face.jpg");
    ctl::SetText(header.text7, "alarm");
    ctl::SetText(header.text8, "north entrance");
    ctl::SetText(header.time1, "20240301120000");
    ctl::SetText(header.time2, "20240301120005");
    return header;
}

ctl::LoginEventData MakeEvent(int loginType) {
    switch (loginType) {
        case ctl::EVENT_PTZ_LOCK_STATUS: {
            ZRSDK_LOCKSTATUS_CHANGED_NOTIFY notify{};
            notify.status = 1;
            ctl::SetText(notify.code, "ch-0001");
            ctl::SetText(notify.message, "operator");
            ctl::SetText(notify.info, "2024-03-01 12:00:00");
            return ctl::MakeLockStatus(notify);
        }
        case ctl::EVENT_SMART_TRACK_OBJECT: {
            ZRSDK_SMARTTRACKOBJECT_NOTIFY notify{};
            ctl::SetText(notify.code, "ch-0001");
            notify.group = 2;
            notify.subscribeId = 3;
            notify.objectId = 4;
            return ctl::MakeSmartTrackObject(notify);
        }
        case ctl::EVENT_FACE_INFO:
            return ctl::MakeFaceInfo(FaceHeader(), {FaceItem(1)});
        case ctl::EVENT_TRAFFIC_INFO: {
            ZRSDK_TRAFFIC_INFO info{};
            ctl::SetText(info.text1, "ch-0001");
            ctl::SetText(info.text2, "crossing 12");
            ctl::SetText(info.text3, "lane 2");
            info.value64 = 1709294400.0;
            std::vector<ZRSDK_TRAFFIC_ITEM> items(4);
            for (std::size_t i = 0; i < items.size(); ++i) {
                items[i].itemValue1 = static_cast<int32_t>(i);
                ctl::SetText(items[i].itemText, "vehicle " + std::to_string(i));
            }
            return ctl::MakeTrafficInfo(info, items);
        }
        case ctl::EVENT_IMS_ALARM: {
            ZRSDK_IMS_ALARM alarm{};
            ctl::SetText(alarm.text1, "IMS-7");
            ctl::SetText(alarm.text2, "intrusion in zone 3");
            ctl::SetText(alarm.text3, "high");
            ctl::SetText(alarm.text4, "ch-0001");
            ctl::SetText(alarm.text5, "2024-03-01 12:00:00");
            ctl::SetText(alarm.text6, "operator on duty");
            return ctl::MakeImsAlarm(alarm);
        }
        case ctl::EVENT_TRAFFIC_REAL_ALARM:
            return ctl::MakeTrafficRealAlarm(R"({"plate":"B-KE 1234","lane":2,"speed":87,"channel":"ch-0001"})");
        default:
            return ctl::MakeTrafficScoreAlarm(R"({"plate":"B-KE 1234","score":42,"channel":"ch-0001"})");
    }
}

}  // namespace

EventPayload MakeEventPayload(BenchHost& host, int loginType) {
    EventPayload payload;
    payload.loginType = loginType;
    const ctl::LoginEventData event = MakeEvent(loginType);
    payload.bytes = Materialise(event);
    payload.size = event.size;
    using Device = Kestrel::CDeviceFunctionParam;
    switch (loginType) {
        case ctl::EVENT_PTZ_LOCK_STATUS:
            payload.observer = &host.PtzObserver();
            payload.resultType = Kestrel::CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED;
            break;
        case ctl::EVENT_FACE_INFO:
            payload.observer = &host.FaceObserver();
            payload.resultType = Kestrel::CFaceFunctionParam::FACE_EVENT_FACE_INFO;
            break;
        default:
            payload.observer = &host.DeviceObserver();
            payload.resultType = loginType == ctl::EVENT_SMART_TRACK_OBJECT    ? Device::DEVICE_EVENT_SMART_TRACK_OBJECT
                                 : loginType == ctl::EVENT_TRAFFIC_INFO        ? Device::DEVICE_EVENT_TRAFFIC_INFO
                                 : loginType == ctl::EVENT_IMS_ALARM           ? Device::DEVICE_EVENT_IMS_ALARM
                                 : loginType == ctl::EVENT_TRAFFIC_REAL_ALARM  ? Device::DEVICE_EVENT_TRAFFIC_REAL_ALARM
                                                                               : Device::DEVICE_EVENT_TRAFFIC_SCORE_ALARM;
            break;
    }
    return payload;
}

std::vector<uint8_t> MakeFacePayload(int items) {
    std::vector<ZRSDK_FACE_INFO_ITEM> list;
    for (int i = 0; i < items; ++i) list.push_back(FaceItem(i));
    return Materialise(ctl::MakeFaceInfo(FaceHeader(), list));
}

}  // namespace bench
