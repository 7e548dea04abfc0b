#include "soak.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "kestrel/device_function_param.h"
#include "kestrel/face_function_param.h"
#include "kestrel/ptz_param.h"

namespace soak {

namespace control = zrsdk::control;
using Kestrel::CDeviceFunctionParam;
using Kestrel::CFaceFunctionParam;
using Kestrel::CPtzParam;

namespace {

std::string Name(const char* prefix, int64_t n) { return prefix + std::to_string(n); }

// How many items an event numbered n carries.
int ItemsOf(int64_t n) { return static_cast<int>(n % 3); }

control::LoginEventData LockStatus(const std::string& name, int64_t n) {
    ZRSDK_LOCKSTATUS_CHANGED_NOTIFY notify{static_cast<int32_t>(n % 3), {}, "soak", "20240102030405"};  // status, code
    control::SetText(notify.code, name);
    return control::MakeLockStatus(notify);
}

control::LoginEventData SmartTrack(const std::string& name, int64_t n) {
    // Code, group, subscription, object type, box, object.
    ZRSDK_SMARTTRACKOBJECT_NOTIFY notify{{}, static_cast<int32_t>(n % 7), 0, 0, {}, static_cast<int32_t>(n)};
    control::SetText(notify.code, name);
    return control::MakeSmartTrackObject(notify);
}

control::LoginEventData Face(const std::string& name, int64_t n) {
    ZRSDK_FACE_INFO_NOTIFY header{};
    control::SetText(header.text1, name);
    header.values[0] = static_cast<int32_t>(n);
    std::memcpy(header.time1, "20240102030405", 14);
    std::vector<ZRSDK_FACE_INFO_ITEM> items(ItemsOf(n));
    for (std::size_t i = 0; i < items.size(); ++i) {
        control::SetText(items[i].text10, name);
        items[i].value4 = static_cast<int32_t>(n + static_cast<int64_t>(i));
    }
    return control::MakeFaceInfo(header, items);
}

control::LoginEventData Traffic(const std::string& name, int64_t n) {
    ZRSDK_TRAFFIC_INFO info{};
    control::SetText(info.text1, name);
    info.value1 = static_cast<int32_t>(n);
    info.value64 = static_cast<double>(n) + 0.5;
    std::vector<ZRSDK_TRAFFIC_ITEM> items(ItemsOf(n));
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i].itemValue1 = static_cast<int32_t>(n + static_cast<int64_t>(i));
        control::SetText(items[i].itemText, name);
    }
    return control::MakeTrafficInfo(info, items);
}

control::LoginEventData Ims(const std::string& name) {
    ZRSDK_IMS_ALARM alarm{};
    control::SetText(alarm.text1, name);
    control::SetText(alarm.text6, name);
    return control::MakeImsAlarm(alarm);
}

void Resize(control::LoginEventData& data, unsigned int size) {
    data.bytes.resize(std::max<std::size_t>(data.bytes.size(), size));
    data.size = size;
}

// "ev-<n>" / "bad-<n>" at the start of a text.
EventIdentity::Kind KindOf(const std::string& text, int64_t& number) {
    auto parse = [&](std::size_t at) {
        if (text.size() <= at) return false;
        number = 0;
        for (std::size_t i = at; i < text.size(); ++i) {
            if (text[i] < '0' || text[i] > '9') return false;
            number = number * 10 + (text[i] - '0');
        }
        return true;
    };
    if (text.rfind("ev-", 0) == 0 && parse(3)) return EventIdentity::Pushed;
    if (text.rfind("bad-", 0) == 0) return EventIdentity::Bad;
    return EventIdentity::NotAnEvent;
}

}  // namespace

PushedEvent MakeGoodEvent(int64_t n, std::mt19937& pick) {
    const std::string name = Name("ev-", n);
    PushedEvent event;
    switch (pick() % 8) {
        case 0: event = {LockStatus(name, n), EventQueue::Lock}; break;
        case 1: event = {SmartTrack(name, n), EventQueue::SmartTrack}; break;
        case 2: event = {Face(name, n), EventQueue::Face}; break;
        case 3: case 4: event = {Traffic(name, n), EventQueue::Device}; break;
        case 5: event = {Ims(name), EventQueue::Device}; break;
        case 6: event = {control::MakeTrafficRealAlarm(name), EventQueue::Device}; break;
        default: event = {control::MakeTrafficScoreAlarm(name), EventQueue::Device}; break;
    }
    event.passes = true;
    return event;
}

PushedEvent MakeBadEvent(int64_t n, std::mt19937& pick) {
    const std::string name = Name("bad-", n);
    PushedEvent event;
    event.passes = false;
    switch (pick() % 10) {
        case 0: event.data = LockStatus(name, n); Resize(event.data, 343); break;
        case 1: event.data = LockStatus(name, n); event.data.result = 1; break;
        case 2: event.data = LockStatus(name, n); event.data.type = 41; break;
        case 3: event.data = SmartTrack(name, n); Resize(event.data, 89); break;
        case 4: event.data = SmartTrack(name, n); Resize(event.data, 87); break;
        case 5: event.data = Face(name, n); Resize(event.data, event.data.size + 1); break;
        case 6: event.data = Traffic(name, n); Resize(event.data, 863); break;
        case 7: event.data = Ims(name); event.data.nullData = true; break;
        case 8: event.data = control::MakeTrafficRealAlarm(name); event.data.size = 0; break;
        default: event.data = control::MakeTrafficScoreAlarm(name); event.data.result = 2; break;
    }
    return event;
}

EventIdentity IdentifyEvent(const std::shared_ptr<Datahub::BaseParam>& param) {
    EventIdentity id;
    const int type = param->GetEventType();
    switch (param->GetBusiness()) {
        case Datahub::BUSINESS_PTZ: {
            if (type != CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED) return id;
            auto ptz = std::static_pointer_cast<CPtzParam>(param);
            id.queue = EventQueue::Lock;
            id.kind = KindOf(ptz->GetCode(), id.number);
            if (id.kind == EventIdentity::NotAnEvent) id.kind = EventIdentity::PlatformLock;
            id.intact = id.kind != EventIdentity::Pushed || ptz->GetParam() == id.number % 3;
            return id;
        }
        case Datahub::BUSINESS_FACE_FUNCTION: {
            const auto face = std::static_pointer_cast<CFaceFunctionParam>(param)->GetFaceInfoNotify();
            id.queue = EventQueue::Face;
            id.kind = KindOf(face.text1, id.number);
            if (id.kind == EventIdentity::NotAnEvent) id.kind = EventIdentity::Bad;  // nobody pushed it
            if (id.kind != EventIdentity::Pushed) return id;
            id.intact = face.value3 == static_cast<int32_t>(id.number) &&
                        face.items.size() == static_cast<std::size_t>(ItemsOf(id.number));
            for (std::size_t i = 0; id.intact && i < face.items.size(); ++i)
                id.intact = face.items[i].value4 == static_cast<int32_t>(id.number + static_cast<int64_t>(i)) &&
                            face.items[i].text10 == face.text1;
            return id;
        }
        case Datahub::BUSINESS_DEVICE_FUNCTION:
            break;
        default:
            return id;
    }
    auto device = std::static_pointer_cast<CDeviceFunctionParam>(param);
    id.queue = EventQueue::Device;
    id.intact = true;  // an alarm carries nothing but its text; the others are compared below
    switch (type) {
        case CDeviceFunctionParam::DEVICE_EVENT_SMART_TRACK_OBJECT:
            id.queue = EventQueue::SmartTrack;
            id.kind = KindOf(device->GetCode(), id.number);
            id.intact = device->GetObjectID() == static_cast<int32_t>(id.number) &&
                        device->GetGroup() == static_cast<int32_t>(id.number % 7);
            break;
        case CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_INFO: {
            const Kestrel::TrafficInfoNotify traffic = device->GetTrafficInfoNotify();
            id.kind = KindOf(traffic.text1, id.number);
            const std::size_t items = static_cast<std::size_t>(ItemsOf(id.number));
            id.intact = traffic.value1 == static_cast<int32_t>(id.number) && traffic.value64 == id.number &&
                        traffic.itemCount == items && traffic.items.size() == items;
            for (std::size_t i = 0; id.intact && i < traffic.items.size(); ++i)
                id.intact = traffic.items[i].itemValue1 == static_cast<uint32_t>(id.number + static_cast<int64_t>(i)) &&
                            traffic.items[i].itemText == traffic.text1;
            break;
        }
        case CDeviceFunctionParam::DEVICE_EVENT_IMS_ALARM: {
            const Kestrel::IMSAlarmInfoNotify ims = device->GetIMSAlarmInfoNotify();
            id.kind = KindOf(ims.text1, id.number);
            id.intact = ims.text6 == ims.text1;
            break;
        }
        case CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_REAL_ALARM:
            id.kind = KindOf(device->GetTrafficRealAlarmInfo().payloadText, id.number);
            break;
        case CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_SCORE_ALARM:
            id.kind = KindOf(device->GetTrafficScoreAlarmInfo().payloadText, id.number);
            break;
        default:
            return id;
    }
    if (id.kind == EventIdentity::NotAnEvent) id.kind = EventIdentity::Bad;  // an event nobody pushed
    return id;
}

}  // namespace soak
