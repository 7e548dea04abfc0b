#pragma once
// Enumerator names of every event type of CDeviceFunctionParam, CPtzParam
// and CFaceFunctionParam, and the list of those Kestrel can be made to
// produce through its façades and the server's events.
#include <string>
#include <vector>

#include "event_record.h"

namespace kestrel_host {

// "DEVICE_EVENT_START_RECORD" and so on; for a value the enumeration does not
// have: "<FACADE>_EVENT_<value>" (e.g. "PTZ_EVENT_99").
std::string EventName(Facade facade, int type);

struct EventKind {
    Facade facade;
    int type;
    std::string name;
};

// Every enumerator of the three EventType enumerations.
const std::vector<EventKind>& AllEventKinds();

// Event types that no façade operation and no server event leads to
// (DEVICE_EVENT_STOP_APP_RECORD: the façade has no operation that stops an
// APP recording).
bool IsUnreachable(Facade facade, int type);

}  // namespace kestrel_host
