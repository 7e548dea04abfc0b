// Well-formed payloads of the server events, as the platform sends them.
#include <cstring>

#include "zrsdk/zrsdk_control.h"

namespace zrsdk {
namespace control {

namespace {

template <class Record>
void Append(std::vector<uint8_t>& bytes, const Record& record) {
    // resize and memcpy rather than insert: GCC 12 at -O3 takes the insert
    // into an empty vector for an overflow (-Wstringop-overflow).
    const std::size_t at = bytes.size();
    bytes.resize(at + sizeof(Record));
    std::memcpy(bytes.data() + at, &record, sizeof(Record));
}

template <class Record>
LoginEventData RecordEvent(int type, const Record& record) {
    LoginEventData event;
    event.type = type;
    Append(event.bytes, record);
    event.size = static_cast<unsigned int>(event.bytes.size());
    return event;
}

LoginEventData TextEvent(int type, const std::string& text) {
    LoginEventData event;
    event.type = type;
    event.bytes.assign(text.begin(), text.end());
    event.bytes.push_back(0);
    event.size = static_cast<unsigned int>(event.bytes.size());
    return event;
}

}  // namespace

LoginEventData MakeRawEvent(int type, int result, const void* data, std::size_t size) {
    LoginEventData event;
    event.type = type;
    event.result = result;
    event.size = static_cast<unsigned int>(size);
    if (data == nullptr) {
        event.nullData = size > 0;
    } else {
        const auto* bytes = static_cast<const uint8_t*>(data);
        event.bytes.assign(bytes, bytes + size);
    }
    return event;
}

LoginEventData MakeLockStatus(const ZRSDK_LOCKSTATUS_CHANGED_NOTIFY& notify) {
    return RecordEvent(EVENT_PTZ_LOCK_STATUS, notify);
}

LoginEventData MakeSmartTrackObject(const ZRSDK_SMARTTRACKOBJECT_NOTIFY& notify) {
    return RecordEvent(EVENT_SMART_TRACK_OBJECT, notify);
}

LoginEventData MakeFaceInfo(const ZRSDK_FACE_INFO_NOTIFY& header,
                            const std::vector<ZRSDK_FACE_INFO_ITEM>& items) {
    ZRSDK_FACE_INFO_NOTIFY counted = header;
    counted.count = static_cast<uint32_t>(items.size());
    LoginEventData event = RecordEvent(EVENT_FACE_INFO, counted);
    for (const auto& item : items) {
        Append(event.bytes, item);
    }
    if (items.empty()) {
        // The record always has room for one item.
        Append(event.bytes, ZRSDK_FACE_INFO_ITEM{});
    }
    event.size = static_cast<unsigned int>(event.bytes.size());
    return event;
}

LoginEventData MakeTrafficInfo(const ZRSDK_TRAFFIC_INFO& info,
                               const std::vector<ZRSDK_TRAFFIC_ITEM>& items) {
    ZRSDK_TRAFFIC_INFO counted = info;
    counted.itemCount = static_cast<uint32_t>(items.size());
    counted.items = nullptr;
    LoginEventData event = RecordEvent(EVENT_TRAFFIC_INFO, counted);
    for (const auto& item : items) {
        Append(event.bytes, item);
    }
    if (!items.empty()) {
        event.pointers.push_back({offsetof(ZRSDK_TRAFFIC_INFO, items), sizeof(ZRSDK_TRAFFIC_INFO)});
    }
    event.size = sizeof(ZRSDK_TRAFFIC_INFO);
    return event;
}

LoginEventData MakeTrafficRealAlarm(const std::string& text) {
    return TextEvent(EVENT_TRAFFIC_REAL_ALARM, text);
}

LoginEventData MakeTrafficScoreAlarm(const std::string& text) {
    return TextEvent(EVENT_TRAFFIC_SCORE_ALARM, text);
}

LoginEventData MakeImsAlarm(const ZRSDK_IMS_ALARM& alarm) {
    return RecordEvent(EVENT_IMS_ALARM, alarm);
}

}  // namespace control
}  // namespace zrsdk
