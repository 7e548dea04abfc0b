#include "platform_events.h"

#include <ctime>
#include <stdexcept>

#include <boost/date_time/c_time.hpp>

#include "kestrel/device_function_param.h"
#include "kestrel/face_function_param.h"
#include "kestrel/ptz_param.h"
#include "value_parse.h"

namespace kestrel_host {

namespace {

namespace control = zrsdk::control;
using Kestrel::CDeviceFunctionParam;
using Kestrel::CFaceFunctionParam;
using Kestrel::CPtzParam;

const std::vector<PushKind> g_kinds = {
    {"lock-status", control::EVENT_PTZ_LOCK_STATUS, "PTZ_EVENT_LOCK_STATUS_CHANGED",
     {{"code", "ch-0001"}, {"status", "1"}, {"user", "console"}, {"info", ""}}},
    {"smart-track", control::EVENT_SMART_TRACK_OBJECT, "DEVICE_EVENT_SMART_TRACK_OBJECT",
     {{"code", "ch-0001"}, {"group", "1"}, {"subscribe", "7"}, {"object", "42"}}},
    {"face", control::EVENT_FACE_INFO, "FACE_EVENT_FACE_INFO",
     {{"camera", "ch-0001"}, {"name", "visitor"}, {"score", "0.93"}, {"items", "1"}, {"time", ""}}},
    {"traffic", control::EVENT_TRAFFIC_INFO, "DEVICE_EVENT_TRAFFIC_INFO",
     {{"code", "ch-0001"}, {"plate", "KX-4711"}, {"speed", "57"}, {"items", "0"}}},
    {"ims", control::EVENT_IMS_ALARM, "DEVICE_EVENT_IMS_ALARM",
     {{"code", "ch-0001"}, {"alarm", "intrusion"}, {"text", "area 3 entered"}}},
    {"real-alarm", control::EVENT_TRAFFIC_REAL_ALARM, "DEVICE_EVENT_TRAFFIC_REAL_ALARM",
     {{"text", "red light crossed at ch-0001"}}},
    {"score-alarm", control::EVENT_TRAFFIC_SCORE_ALARM, "DEVICE_EVENT_TRAFFIC_SCORE_ALARM",
     {{"text", "driver score 62 at ch-0001"}}},
};

// The kind's defaults overridden by the given values; unknown names refused.
std::map<std::string, std::string> Merge(const PushKind& kind, const std::map<std::string, std::string>& given) {
    std::map<std::string, std::string> merged(kind.values.begin(), kind.values.end());
    for (const auto& [name, value] : given) {
        if (merged.count(name) == 0) throw std::invalid_argument("push " + kind.name + " has no value \"" + name + "\"");
        merged[name] = value;
    }
    return merged;
}

AnswerMatch Expect(Facade facade, int type) {
    AnswerMatch match;
    match.facade = facade;
    match.eventTypes = {type};
    return match;
}

}  // namespace

const std::vector<PushKind>& PushKinds() { return g_kinds; }

const PushKind* FindPushKind(const std::string& name) {
    for (const PushKind& kind : g_kinds)
        if (kind.name == name) return &kind;
    return nullptr;
}

std::string NowTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm buffer{};
    char text[16];
    std::strftime(text, sizeof(text), "%Y%m%d%H%M%S", boost::date_time::c_time::localtime(&now, &buffer));
    return text;
}

PushPlan BuildPush(const PushKind& kind, const std::map<std::string, std::string>& given, bool broken) {
    std::map<std::string, std::string> v = Merge(kind, given);
    PushPlan plan;
    switch (kind.loginEvent) {
        case control::EVENT_PTZ_LOCK_STATUS: {
            ZRSDK_LOCKSTATUS_CHANGED_NOTIFY notify{};
            notify.status = ParseInt(v["status"], "status");
            control::SetText(notify.code, v["code"]);
            control::SetText(notify.message, v["user"]);
            control::SetText(notify.info, v["info"].empty() ? NowTimeText() : v["info"]);
            plan.event = control::MakeLockStatus(notify);
            plan.match = Expect(Facade::Ptz, CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED);
            // The platform pushes this kind by itself too: recognise ours by content.
            const std::string code = v["code"], user = v["user"];
            const int status = notify.status;
            plan.match.accept = [code, user, status](const EventRecord& e) {
                return e.Text("code") == code && e.Text("msg") == user && e.Int("param") == status;
            };
            plan.subject = code;
            break;
        }
        case control::EVENT_SMART_TRACK_OBJECT: {
            ZRSDK_SMARTTRACKOBJECT_NOTIFY notify{};
            control::SetText(notify.code, v["code"]);
            notify.group = ParseInt(v["group"], "group");
            notify.subscribeId = ParseInt(v["subscribe"], "subscribe");
            notify.objectId = ParseInt(v["object"], "object");
            notify.objectType = 1;
            plan.event = control::MakeSmartTrackObject(notify);
            plan.match = Expect(Facade::Device, CDeviceFunctionParam::DEVICE_EVENT_SMART_TRACK_OBJECT);
            plan.subject = v["code"];
            break;
        }
        case control::EVENT_FACE_INFO: {
            ZRSDK_FACE_INFO_NOTIFY header{};
            control::SetText(header.text1, v["camera"]);
            control::SetText(header.text2, v["name"]);
            header.value1 = 1;
            const std::string time = v["time"].empty() ? NowTimeText() : v["time"];
            control::SetText(header.time1, time);
            control::SetText(header.time2, time);
            const int count = ParseInt(v["items"], "items", 0, 16);
            std::vector<ZRSDK_FACE_INFO_ITEM> items(static_cast<std::size_t>(count));
            for (int i = 0; i < count; ++i) {
                control::SetText(items[i].text1, v["name"] + " " + std::to_string(i + 1));
                items[i].realValue = static_cast<float>(ParseDouble(v["score"], "score"));
                items[i].value4 = 1;
            }
            plan.event = control::MakeFaceInfo(header, items);
            plan.match = Expect(Facade::Face, CFaceFunctionParam::FACE_EVENT_FACE_INFO);
            plan.subject = v["camera"];
            break;
        }
        case control::EVENT_TRAFFIC_INFO: {
            ZRSDK_TRAFFIC_INFO info{};
            control::SetText(info.text1, v["plate"]);
            control::SetText(info.text2, v["code"]);
            control::SetText(info.text3, "passing vehicle");
            info.value1 = ParseInt(v["speed"], "speed");
            info.value64 = static_cast<double>(std::time(nullptr));
            const int count = ParseInt(v["items"], "items", 0, 16);
            std::vector<ZRSDK_TRAFFIC_ITEM> items(static_cast<std::size_t>(count));
            for (int i = 0; i < count; ++i) {
                items[i].itemValue1 = i + 1;
                control::SetText(items[i].itemText, "lane " + std::to_string(i + 1));
                items[i].itemValue2 = info.value1;
            }
            plan.event = control::MakeTrafficInfo(info, items);
            plan.match = Expect(Facade::Device, CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_INFO);
            plan.subject = v["plate"];
            break;
        }
        case control::EVENT_IMS_ALARM: {
            ZRSDK_IMS_ALARM alarm{};
            control::SetText(alarm.text1, v["code"]);
            control::SetText(alarm.text2, v["alarm"]);
            control::SetText(alarm.text3, "high");
            control::SetText(alarm.text4, v["text"]);
            control::SetText(alarm.text5, NowTimeText());
            control::SetText(alarm.text6, "kestrel-host");
            plan.event = control::MakeImsAlarm(alarm);
            plan.match = Expect(Facade::Device, CDeviceFunctionParam::DEVICE_EVENT_IMS_ALARM);
            plan.subject = v["code"];
            break;
        }
        case control::EVENT_TRAFFIC_REAL_ALARM:
            plan.event = control::MakeTrafficRealAlarm(v["text"]);
            plan.match = Expect(Facade::Device, CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_REAL_ALARM);
            plan.subject = v["text"];
            break;
        default:
            plan.event = control::MakeTrafficScoreAlarm(v["text"]);
            plan.match = Expect(Facade::Device, CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_SCORE_ALARM);
            plan.subject = v["text"];
            break;
    }
    if (broken) {
        plan.event.size /= 2;
        plan.event.bytes.resize(plan.event.size);
        plan.event.pointers.clear();
    }
    return plan;
}

}  // namespace kestrel_host
