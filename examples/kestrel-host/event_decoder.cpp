#include "event_decoder.h"

#include <cmath>

#include <boost/json/array.hpp>

#include "datahub/base_param.h"
#include "event_names.h"
#include "kestrel/device_function_param.h"
#include "kestrel/face_function_param.h"
#include "kestrel/ptz_param.h"

namespace kestrel_host {

namespace {

using Kestrel::CDeviceFunctionParam;
using Kestrel::CFaceFunctionParam;
using Kestrel::CPtzParam;
namespace json = boost::json;

void RecordFields(CDeviceFunctionParam& p, json::object& f) {
    switch (p.GetEventType()) {
        case CDeviceFunctionParam::DEVICE_EVENT_START_RECORD:
        case CDeviceFunctionParam::DEVICE_EVENT_STOP_RECORD:
        case CDeviceFunctionParam::DEVICE_EVENT_START_APP_RECORD:
        case CDeviceFunctionParam::DEVICE_EVENT_STOP_APP_RECORD:
            f["code"] = p.GetCode();
            f["streamType"] = p.GetStreamType();
            f["planId"] = p.GetPlanId();
            f["ui64Now"] = p.GetUi64Now();
            break;
        case CDeviceFunctionParam::DEVICE_EVENT_SMART_TRACK_OBJECT:
            f["code"] = p.GetCode();
            f["group"] = p.GetGroup();
            f["objectID"] = p.GetObjectID();
            f["subscribeID"] = p.GetSubscribeID();
            break;
        case CDeviceFunctionParam::DEVICE_EVENT_BINDING_RESOURCE: {
            f["code"] = p.GetCode();
            json::array ids;
            for (const std::string& id : p.GetBindResourceIDList()) ids.emplace_back(id);
            f["bindResourceIDList"] = std::move(ids);
            json::object channels;
            for (const auto& [key, value] : p.GetBindChannelInfo()) channels[key] = value;
            f["bindChannelInfo"] = std::move(channels);
            f["ui64Now"] = p.GetUi64Now();
            break;
        }
        case CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_INFO: {
            const Kestrel::TrafficInfoNotify info = p.GetTrafficInfoNotify();
            json::object r;
            r["text1"] = info.text1;
            r["text2"] = info.text2;
            r["text3"] = info.text3;
            r["value1"] = info.value1;
            r["value64"] = info.value64;
            r["itemCount"] = info.itemCount;
            json::array items;
            for (const auto& item : info.items) items.emplace_back(item.itemText);
            r["items"] = std::move(items);
            f["trafficInfoNotify"] = std::move(r);
            break;
        }
        case CDeviceFunctionParam::DEVICE_EVENT_IMS_ALARM: {
            const Kestrel::IMSAlarmInfoNotify info = p.GetIMSAlarmInfoNotify();
            f["imsAlarmInfoNotify"] = json::object{{"text1", info.text1}, {"text2", info.text2},
                                                   {"text3", info.text3}, {"text4", info.text4},
                                                   {"text5", info.text5}, {"text6", info.text6}};
            break;
        }
        case CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_REAL_ALARM:
            f["trafficRealAlarmInfo"] = json::object{{"payloadText", p.GetTrafficRealAlarmInfo().payloadText}};
            break;
        case CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_SCORE_ALARM:
            f["trafficScoreAlarmInfo"] = json::object{{"payloadText", p.GetTrafficScoreAlarmInfo().payloadText}};
            break;
        default:
            f["code"] = p.GetCode();
            break;
    }
}

void RecordFields(CPtzParam& p, json::object& f) {
    switch (p.GetEventType()) {
        case CPtzParam::PTZ_EVENT_NONE:
        case CPtzParam::PTZ_EVENT_PRESET_SET:
        case CPtzParam::PTZ_EVENT_PRESET_DELETE:
        case CPtzParam::PTZ_EVENT_PRESET_GOTO:
            f["code"] = p.GetCode();
            f["seq"] = p.GetSeq();
            f["id"] = p.GetId();
            f["info"] = p.GetInfo();
            break;
        case CPtzParam::PTZ_EVENT_QUERY_PRESET_POINTS:
        case CPtzParam::PTZ_EVENT_SITE:
        case CPtzParam::PTZ_EVENT_ADD_CRUISE:
        case CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET:
        case CPtzParam::PTZ_EVENT_LOCK_EXPIRED:
            f["code"] = p.GetCode();
            f["seq"] = p.GetSeq();
            break;
        case CPtzParam::PTZ_EVENT_LOCK:
            f["code"] = p.GetCode();
            f["seq"] = p.GetSeq();
            f["param"] = p.GetParam();
            f["msg"] = p.GetMsg();
            break;
        case CPtzParam::PTZ_EVENT_DIRECTION:
        case CPtzParam::PTZ_EVENT_CAMERA:
        case CPtzParam::PTZ_EVENT_AUTO_STOP:
            f["code"] = p.GetCode();
            f["seq"] = p.GetSeq();
            f["param"] = p.GetParam();
            f["enable"] = p.GetEnable();
            break;
        case CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED:
            f["code"] = p.GetCode();
            f["param"] = p.GetParam();
            f["msg"] = p.GetMsg();
            f["info"] = p.GetInfo();
            break;
        case CPtzParam::PTZ_EVENT_QUERY_CRUISE:
            f["seq"] = p.GetSeq();
            break;
        case CPtzParam::PTZ_EVENT_RAIN_WIPER:
        case CPtzParam::PTZ_EVENT_AUTO_SCAN:
            f["code"] = p.GetCode();
            f["enable"] = p.GetEnable();
            break;
        case CPtzParam::PTZ_EVENT_SCAN_MARGIN:
            f["code"] = p.GetCode();
            f["param"] = p.GetParam();
            break;
        case CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET:
        case CPtzParam::PTZ_EVENT_DEL_GUARD_PRESET:
        case CPtzParam::PTZ_EVENT_SET_IDLE_MONITOR:
            break;  // the result is all these carry
        default:
            f["code"] = p.GetCode();
            f["seq"] = p.GetSeq();
            break;
    }
}

void RecordFields(CFaceFunctionParam& p, json::object& f) {
    const Kestrel::FaceInfoNotify info = p.GetFaceInfoNotify();
    json::object r;
    r["text1"] = info.text1;
    r["text2"] = info.text2;
    r["value1"] = info.value1;
    r["time1"] = info.time1;
    json::array items;
    for (const auto& item : info.items) {
        json::object entry;
        entry["text1"] = item.text1;
        // Shown with the float's own precision.
        entry["realValue"] = std::round(static_cast<double>(item.realValue) * 1e6) / 1e6;
        items.emplace_back(std::move(entry));
    }
    r["items"] = std::move(items);
    f["faceInfoNotify"] = std::move(r);
}

}  // namespace

EventRecord DecodeEvent(Facade facade, const std::shared_ptr<Datahub::BaseParam>& param, ThreadKind thread) {
    EventRecord record;
    record.facade = facade;
    record.thread = thread;
    record.arrived = std::chrono::steady_clock::now();
    if (!param) {
        record.name = "null parameter object";
        return record;
    }
    record.business = param->GetBusiness();
    record.type = param->GetEventType();
    record.result = param->GetEventResult();
    record.name = EventName(facade, record.type);
    switch (facade) {
        case Facade::Device:
            if (record.business == Datahub::BUSINESS_DEVICE_FUNCTION)
                RecordFields(*std::static_pointer_cast<CDeviceFunctionParam>(param), record.fields);
            break;
        case Facade::Ptz:
            if (record.business == Datahub::BUSINESS_PTZ)
                RecordFields(*std::static_pointer_cast<CPtzParam>(param), record.fields);
            break;
        case Facade::Face:
            if (record.business == Datahub::BUSINESS_FACE_FUNCTION)
                RecordFields(*std::static_pointer_cast<CFaceFunctionParam>(param), record.fields);
            break;
    }
    return record;
}

const char* ThreadName(ThreadKind kind) {
    switch (kind) {
        case ThreadKind::UI: return "UI";
        case ThreadKind::Pool: return "pool";
        case ThreadKind::Other: return "other";
    }
    return "other";
}

const char* FacadeName(Facade facade) {
    switch (facade) {
        case Facade::Device: return "device";
        case Facade::Ptz: return "ptz";
        case Facade::Face: return "face";
    }
    return "device";
}

long long EventRecord::Int(const char* key, long long fallback) const {
    const auto* value = fields.if_contains(key);
    if (value == nullptr) return fallback;
    if (value->is_int64()) return value->as_int64();
    if (value->is_uint64()) return static_cast<long long>(value->as_uint64());
    if (value->is_bool()) return value->as_bool() ? 1 : 0;
    return fallback;
}

std::string EventRecord::Text(const char* key) const {
    const auto* value = fields.if_contains(key);
    if (value == nullptr || !value->is_string()) return std::string();
    return std::string(value->as_string());
}

}  // namespace kestrel_host
