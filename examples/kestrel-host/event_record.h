#pragma once
// One observer delivery as the example host keeps it: plain values copied out
// of the parameter object on the thread that delivered it, so that nothing
// made inside the plug-in outlives the delivery.
#include <chrono>
#include <string>

#include <boost/json/object.hpp>

namespace kestrel_host {

enum class ThreadKind { UI, Pool, Other };

const char* ThreadName(ThreadKind kind);  // "UI", "pool", "other"

// The three façades whose observers the host registers.
enum class Facade { Device, Ptz, Face };

const char* FacadeName(Facade facade);  // "device", "ptz", "face"

struct EventRecord {
    Facade facade = Facade::Device;
    int business = 0;
    int type = 0;
    std::string name;  // the event type's enumerator, e.g. "PTZ_EVENT_LOCK_EXPIRED"
    int result = 0;
    // The fields that carry meaning for this event type, in a fixed order.
    boost::json::object fields;
    ThreadKind thread = ThreadKind::Other;
    std::chrono::steady_clock::time_point arrived;

    // A field as an integer or text; the fallback when it is absent.
    long long Int(const char* key, long long fallback = 0) const;
    std::string Text(const char* key) const;
};

}  // namespace kestrel_host
