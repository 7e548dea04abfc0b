// Server events of the login connection, of every type Kestrel handles and a
// few it does not, with random results, sizes and contents, handed to the
// manager delegate's OnNotify exactly as the login manager hands them.
//
// Input: byte 0 picks the event type, byte 1 the result (mostly 0) or a null
// payload, the rest is the payload. The payload lives in a buffer of exactly
// its size that is freed as soon as OnNotify returns, so a read past its end
// or a late read is caught by AddressSanitizer.
//
// The one thing a payload cannot carry is the traffic record's item pointer:
// it points into the platform's own memory, which holds as many items as the
// record counts. The harness models that platform: it places the items after
// the 864-byte record, counts only those present, and points at them (or
// leaves the pointer null, which Kestrel reads as no items).
//
// Checked: an event that passes its intake check reaches the observers of
// its façade exactly once, with the right event type and result 0, and
// nothing reaches any other façade; an event that fails it reaches nobody.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "accountlogic/login_param.h"
#include "fuzz_host.h"
#include "kestrel/device_function_param.h"
#include "kestrel/face_function_param.h"
#include "kestrel/ptz_param.h"
#include "zrsdk/zrsdk_types.h"

namespace {

using kestrel_fuzz::FuzzHost;

// The handled types and three neighbours that must be ignored.
constexpr int kTypes[] = {40, 50, 52, 167, 206, 212, 213, 41, 0, 168};

enum class Facade { None, Device, Ptz, Face };

struct Expectation {
    Facade facade = Facade::None;
    int eventType = 0;
};

// An event for the façade's observers when its size fits, else for nobody.
Expectation If(bool fits, Facade facade, int eventType) {
    return fits ? Expectation{facade, eventType} : Expectation{};
}

// What the intake accepts, as the login connection's events are documented.
Expectation Expect(int type, int result, const void* payload, std::size_t size) {
    if (result != 0 || payload == nullptr) return {};
    using D = Kestrel::CDeviceFunctionParam;
    using F = Kestrel::CFaceFunctionParam;
    using P = Kestrel::CPtzParam;
    switch (type) {
        case 40:
            return If(size == sizeof(ZRSDK_LOCKSTATUS_CHANGED_NOTIFY), Facade::Ptz, P::PTZ_EVENT_LOCK_STATUS_CHANGED);
        case 50:
            return If(size == sizeof(ZRSDK_SMARTTRACKOBJECT_NOTIFY), Facade::Device,
                      D::DEVICE_EVENT_SMART_TRACK_OBJECT);
        case 52: return If(size >= 2948 && (size - 2948) % 1576 == 0, Facade::Face, F::FACE_EVENT_FACE_INFO);
        case 167: return If(size >= sizeof(ZRSDK_TRAFFIC_INFO), Facade::Device, D::DEVICE_EVENT_TRAFFIC_INFO);
        case 206: return If(size != 0, Facade::Device, D::DEVICE_EVENT_IMS_ALARM);
        case 212: return If(size != 0, Facade::Device, D::DEVICE_EVENT_TRAFFIC_REAL_ALARM);
        case 213: return If(size != 0, Facade::Device, D::DEVICE_EVENT_TRAFFIC_SCORE_ALARM);
        default: return {};
    }
}

void CheckDelivered(kestrel_fuzz::KeepingObserver& observer, Facade facade, const Expectation& expected) {
    const auto received = observer.Take();
    if (expected.facade != facade) {
        FUZZ_CHECK(received.empty());
        return;
    }
    FUZZ_CHECK(received.size() == 1);
    FUZZ_CHECK(received[0]->GetEventType() == expected.eventType);
    FUZZ_CHECK(received[0]->GetEventResult() == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    FuzzHost& host = FuzzHost::Get();
    const int type = kTypes[data[0] % (sizeof(kTypes) / sizeof(kTypes[0]))];
    // Results 1 to 15 stand for the refused events; 255 hands over a null
    // payload with the input's size.
    const int result = data[1] < 240 ? 0 : data[1] - 239;
    const bool nullPayload = data[1] == 255;

    const auto bytes = static_cast<unsigned int>(size - 2);
    std::unique_ptr<uint8_t[]> payload(new uint8_t[bytes]);
    std::memcpy(payload.get(), data + 2, bytes);
    if (type == 167) kestrel_fuzz::PlaceTrafficItems(payload.get(), bytes, (data[0] / 16) % 4 == 0);
    void* buffer = nullPayload ? nullptr : payload.get();
    const Expectation expected = Expect(type, nullPayload ? 0 : result, buffer, bytes);

    host.LoginIntake().OnNotify(std::make_shared<AccountLogic::CLoginParam>(type, nullPayload ? 0 : result,
                                                                           buffer, bytes));
    // The login manager's buffer is gone once OnNotify has returned.
    payload.reset();
    host.Settle();

    CheckDelivered(host.device, Facade::Device, expected);
    CheckDelivered(host.ptz, Facade::Ptz, expected);
    CheckDelivered(host.face, Facade::Face, expected);
    return 0;
}
