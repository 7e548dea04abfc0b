#include "event_names.h"

#include "kestrel/device_function_param.h"
#include "kestrel/face_function_param.h"
#include "kestrel/ptz_param.h"

namespace kestrel_host {

namespace {

using Device = Kestrel::CDeviceFunctionParam;
using Ptz = Kestrel::CPtzParam;
using Face = Kestrel::CFaceFunctionParam;

#define KESTREL_HOST_KIND(facade, cls, enumerator) {Facade::facade, cls::enumerator, #enumerator}

const std::vector<EventKind> g_kinds = {
    KESTREL_HOST_KIND(Device, Device, DEVICE_EVENT_START_RECORD),
    KESTREL_HOST_KIND(Device, Device, DEVICE_EVENT_STOP_RECORD),
    KESTREL_HOST_KIND(Device, Device, DEVICE_EVENT_SMART_TRACK_OBJECT),
    KESTREL_HOST_KIND(Device, Device, DEVICE_EVENT_TRAFFIC_INFO),
    KESTREL_HOST_KIND(Device, Device, DEVICE_EVENT_BINDING_RESOURCE),
    KESTREL_HOST_KIND(Device, Device, DEVICE_EVENT_START_APP_RECORD),
    KESTREL_HOST_KIND(Device, Device, DEVICE_EVENT_STOP_APP_RECORD),
    KESTREL_HOST_KIND(Device, Device, DEVICE_EVENT_IMS_ALARM),
    KESTREL_HOST_KIND(Device, Device, DEVICE_EVENT_TRAFFIC_REAL_ALARM),
    KESTREL_HOST_KIND(Device, Device, DEVICE_EVENT_TRAFFIC_SCORE_ALARM),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_NONE),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_QUERY_PRESET_POINTS),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_PRESET_SET),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_PRESET_DELETE),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_PRESET_GOTO),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_LOCK),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_LOCK_EXPIRED),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_DIRECTION),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_CAMERA),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_SITE),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_LOCK_STATUS_CHANGED),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_QUERY_CRUISE),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_ADD_CRUISE),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_RAIN_WIPER),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_AUTO_SCAN),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_SCAN_MARGIN),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_QUERY_GUARD_PRESET),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_ADD_GUARD_PRESET),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_DEL_GUARD_PRESET),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_SET_IDLE_MONITOR),
    KESTREL_HOST_KIND(Ptz, Ptz, PTZ_EVENT_AUTO_STOP),
    KESTREL_HOST_KIND(Face, Face, FACE_EVENT_FACE_INFO),
};

#undef KESTREL_HOST_KIND

const char* Prefix(Facade facade) {
    switch (facade) {
        case Facade::Device: return "DEVICE_EVENT_";
        case Facade::Ptz: return "PTZ_EVENT_";
        case Facade::Face: return "FACE_EVENT_";
    }
    return "EVENT_";
}

}  // namespace

std::string EventName(Facade facade, int type) {
    for (const EventKind& kind : g_kinds)
        if (kind.facade == facade && kind.type == type) return kind.name;
    return Prefix(facade) + std::to_string(type);
}

const std::vector<EventKind>& AllEventKinds() { return g_kinds; }

bool IsUnreachable(Facade facade, int type) {
    return facade == Facade::Device && type == Device::DEVICE_EVENT_STOP_APP_RECORD;
}

}  // namespace kestrel_host
