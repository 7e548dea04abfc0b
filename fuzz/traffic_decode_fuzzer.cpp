// The decoders of the device worker's server events: traffic information,
// IMS alarms, and the traffic real-time and score alarm texts, through the
// login intake to the device observers, compared field by field with the
// harness's own reading of the payload.
//
// Input: byte 0 picks the event (traffic, IMS, real-time alarm, score
// alarm) and, for traffic, whether the item pointer is null; the rest is the
// payload, in a buffer of exactly its size that is freed once the intake has
// returned. As in the platform, a traffic record's item pointer leads to as
// many items as the record counts: the harness places the items that follow
// the 864-byte record and counts only those.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "accountlogic/login_param.h"
#include "fuzz_host.h"
#include "kestrel/device_function_param.h"
#include "zrsdk/zrsdk_types.h"

namespace {

using kestrel_fuzz::FieldText;
using kestrel_fuzz::FuzzHost;
using kestrel_fuzz::PlaceTrafficItems;
using Kestrel::CDeviceFunctionParam;

constexpr int kTypes[] = {167, 206, 212, 213};

// The documented truncation: toward zero; what no 64-bit integer holds is 0.
int64_t Truncated(double value) {
    if (std::isnan(value) || value <= -9.2233720368547758e18 || value >= 9.2233720368547758e18) return 0;
    return static_cast<int64_t>(std::trunc(value));
}

void CheckTraffic(const Kestrel::TrafficInfoNotify& info, const uint8_t* p, std::size_t n, uint32_t items) {
    using R = ZRSDK_TRAFFIC_INFO;
    FUZZ_CHECK(info.text1 == TEXT_OF(R, text1, p, n));
    FUZZ_CHECK(info.text2 == TEXT_OF(R, text2, p, n));
    FUZZ_CHECK(info.text3 == TEXT_OF(R, text3, p, n));
    FUZZ_CHECK(info.text4 == TEXT_OF(R, text4, p, n));
    FUZZ_CHECK(info.text5 == TEXT_OF(R, text5, p, n));
    FUZZ_CHECK(info.value1 == VALUE_OF(int32_t, R, value1, p, n));
    FUZZ_CHECK(info.value2 == VALUE_OF(int32_t, R, value2, p, n));
    FUZZ_CHECK(info.value3 == VALUE_OF(int32_t, R, value3, p, n));
    FUZZ_CHECK(info.value4 == VALUE_OF(int32_t, R, value4, p, n));
    FUZZ_CHECK(info.value5 == VALUE_OF(int32_t, R, value5, p, n));
    FUZZ_CHECK(info.value6 == VALUE_OF(int32_t, R, value6, p, n));
    FUZZ_CHECK(info.value64 == Truncated(VALUE_OF(double, R, value64, p, n)));
    FUZZ_CHECK(info.itemCount == VALUE_OF(uint32_t, R, itemCount, p, n));
    FUZZ_CHECK(info.items.size() == items);
    for (uint32_t i = 0; i < items; ++i) {
        using I = ZRSDK_TRAFFIC_ITEM;
        const uint8_t* item = p + sizeof(R) + std::size_t(i) * sizeof(I);
        FUZZ_CHECK(info.items[i].itemValue1 == VALUE_OF(uint32_t, I, itemValue1, item, sizeof(I)));
        FUZZ_CHECK(info.items[i].itemText == TEXT_OF(I, itemText, item, sizeof(I)));
        FUZZ_CHECK(info.items[i].itemValue2 == VALUE_OF(uint32_t, I, itemValue2, item, sizeof(I)));
    }
}

// IMS fields are read only as far as the payload goes.
void CheckIms(const Kestrel::IMSAlarmInfoNotify& info, const uint8_t* p, std::size_t n) {
    using R = ZRSDK_IMS_ALARM;
    FUZZ_CHECK(info.text1 == TEXT_OF(R, text1, p, n));
    FUZZ_CHECK(info.text2 == TEXT_OF(R, text2, p, n));
    FUZZ_CHECK(info.text3 == TEXT_OF(R, text3, p, n));
    FUZZ_CHECK(info.text4 == TEXT_OF(R, text4, p, n));
    FUZZ_CHECK(info.text5 == TEXT_OF(R, text5, p, n));
    FUZZ_CHECK(info.text6 == TEXT_OF(R, text6, p, n));
}

// An alarm keeps the payload as one text, up to its first zero byte, and
// fills no field of its own.
template <class Alarm>
void CheckAlarm(const Alarm& info, const uint8_t* p, std::size_t n) {
    FUZZ_CHECK(info.payloadText == FieldText(p, n, 0, n));
    FUZZ_CHECK(info.text01.empty() && info.number1 == 0 && !info.flag1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    FuzzHost& host = FuzzHost::Get();
    const int type = kTypes[data[0] % 4];
    const auto bytes = static_cast<unsigned int>(size - 1);
    std::unique_ptr<uint8_t[]> payload(new uint8_t[bytes]);
    std::memcpy(payload.get(), data + 1, bytes);
    const uint32_t items = type == 167 ? PlaceTrafficItems(payload.get(), bytes, (data[0] / 4) % 4 == 0) : 0;
    // The harness's own copy of what the platform handed over, for the comparison.
    std::unique_ptr<uint8_t[]> sent(new uint8_t[bytes]);
    std::memcpy(sent.get(), payload.get(), bytes);

    host.LoginIntake().OnNotify(std::make_shared<AccountLogic::CLoginParam>(type, 0, payload.get(), bytes));
    payload.reset();
    host.Settle();

    const auto received = host.device.Take();
    FUZZ_CHECK(host.ptz.Take().empty());
    FUZZ_CHECK(host.face.Take().empty());
    const bool accepted = type == 167 ? bytes >= sizeof(ZRSDK_TRAFFIC_INFO) : bytes != 0;
    if (!accepted) {
        FUZZ_CHECK(received.empty());
        return 0;
    }
    FUZZ_CHECK(received.size() == 1);
    FUZZ_CHECK(received[0]->GetEventResult() == 0);
    auto param = std::static_pointer_cast<CDeviceFunctionParam>(received[0]);
    const uint8_t* p = sent.get();
    switch (type) {
        case 167:
            FUZZ_CHECK(param->GetEventType() == CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_INFO);
            CheckTraffic(param->GetTrafficInfoNotify(), p, bytes, items);
            break;
        case 206:
            FUZZ_CHECK(param->GetEventType() == CDeviceFunctionParam::DEVICE_EVENT_IMS_ALARM);
            CheckIms(param->GetIMSAlarmInfoNotify(), p, bytes);
            break;
        case 212:
            FUZZ_CHECK(param->GetEventType() == CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_REAL_ALARM);
            CheckAlarm(param->GetTrafficRealAlarmInfo(), p, bytes);
            break;
        default:
            FUZZ_CHECK(param->GetEventType() == CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_SCORE_ALARM);
            CheckAlarm(param->GetTrafficScoreAlarmInfo(), p, bytes);
            break;
    }
    return 0;
}
