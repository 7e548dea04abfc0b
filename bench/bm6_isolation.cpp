// 6. Isolation: the round-trip latency of device requests while every PTZ
// call of the stand-in SDK takes 200 ms and PTZ requests keep all three PTZ
// queues busy, against the same figure while those calls take no time.
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench_config.h"
#include "bench_host.h"
#include "kestrel/device_function_external.h"
#include "kestrel/device_function_param.h"
#include "kestrel/ptz_external.h"
#include "kestrel/ptz_param.h"
#include "round_trip.h"
#include "summary.h"
#include "zrsdk/zrsdk_control.h"

namespace bench {
namespace {

constexpr int kStartRecord = Kestrel::CDeviceFunctionParam::DEVICE_EVENT_START_RECORD;
constexpr int kDirection = Kestrel::CPtzParam::PTZ_EVENT_DIRECTION;
constexpr int kPresets = Kestrel::CPtzParam::PTZ_EVENT_QUERY_PRESET_POINTS;

const char* const kPtzFunctions[] = {
    "ZRSDK_PtzOperateDirect", "ZRSDK_PtzOperateCamera",      "ZRSDK_PtzSitPositionEx",       "ZRSDK_PtzSitPosition",
    "ZRSDK_PtzRainWiper",     "ZRSDK_PtzSetScanMargin",      "ZRSDK_PtzAutoScan",            "ZRSDK_PtzArrangePtz",
    "ZRSDK_PtzGetPresetPoints", "ZRSDK_PtzOperatePresetPoint", "ZRSDK_GetChannelCruisePreset", "ZRSDK_SetChannelCruisePreset"};

void SetPtzLatency(std::chrono::milliseconds latency) {
    for (const char* function : kPtzFunctions) zrsdk::control::SetLatency(function, latency);
}

// While it lives, a thread sends PTZ requests at a steady rate: every
// 200 ms one to each PTZ queue ("PTZ", "PTZPreset", "ARPTZPreset"), as long
// as no more than two wait on a queue. When the SDK's PTZ calls take 200 ms
// that keeps all three queues busy all the time; when they take nothing the
// same requests come and go.
class PtzTraffic {
public:
    explicit PtzTraffic(BenchHost& host) : m_host(host), m_thread([this] { Run(); }) {}
    ~PtzTraffic() {
        m_running = false;
        m_thread.join();
    }

private:
    void Run() {
        Kestrel::CPtzExternal* ptz = m_host.Ptz();
        ArrivalObserver& observer = m_host.PtzObserver();
        const uint64_t directions = observer.Count(kDirection), presets = observer.Count(kPresets);
        uint64_t sentDirections = 0, sentPresets = 0;
        while (m_running) {
            if (sentDirections - (observer.Count(kDirection) - directions) < 2) {
                ptz->PtzDirection(kPtzChannel, Kestrel::DIRECTION_LEFT, false, 3, kPtzMenu);
                ++sentDirections;
            }
            if (sentPresets - (observer.Count(kPresets) - presets) < 4) {
                ptz->QueryPrePoint(kPtzChannel, false);
                ptz->QueryPrePoint(kManyPresetChannel, true);
                sentPresets += 2;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }

    BenchHost& m_host;
    std::atomic<bool> m_running{true};
    std::thread m_thread;
};

// Blocks of StartRecord round trips (one at a time), alternately with the
// SDK's PTZ calls taking no time and taking 200 ms, the PTZ traffic running
// throughout; so both conditions meet the same machine. Counters: median
// and 99th percentile of each condition.
void BM_IsolationDeviceRoundTrip(benchmark::State& state) {
    constexpr int kBlocks = 6;
    constexpr int kSamplesPerBlock = 1000;
    BenchHost& host = BenchHost::Get();
    Kestrel::CDeviceFunctionExternal* device = host.Device();
    ArrivalObserver& observer = host.DeviceObserver();
    std::vector<double> quiet, slow;
    for (auto _ : state) {
        PtzTraffic traffic(host);
        double measured = 0;
        for (int block = 0; block < kBlocks && !state.error_occurred(); ++block) {
            const bool delayed = block % 2 == 1;
            SetPtzLatency(std::chrono::milliseconds(delayed ? 200 : 0));
            // Long enough for the calls of the other condition to end and
            // this condition's calls to fill the queues.
            std::this_thread::sleep_for(std::chrono::milliseconds(600));
            std::vector<double>& samples = delayed ? slow : quiet;
            uint64_t expected = observer.Count(kStartRecord);
            for (int i = 0; i < kSamplesPerBlock; ++i) {
                const Clock::time_point start = Clock::now();
                device->StartRecord(kPtzChannel, 0, 0, kRecordText, kRecordMenu);
                if (!observer.WaitFor(kStartRecord, ++expected)) {
                    state.SkipWithError("a result did not arrive");
                    break;
                }
                const std::chrono::duration<double> took = observer.LastArrival(kStartRecord) - start;
                samples.push_back(took.count() * 1e6);
                measured += took.count();
            }
        }
        SetPtzLatency(std::chrono::milliseconds(0));
        state.SetIterationTime(measured);
    }
    host.WaitIdle();
    state.counters["quiet_p50_us"] = Quantile(quiet, 0.50);
    state.counters["quiet_p99_us"] = Quantile(quiet, 0.99);
    state.counters["slow_p50_us"] = Quantile(slow, 0.50);
    state.counters["slow_p99_us"] = Quantile(slow, 0.99);
}

BENCHMARK(BM_IsolationDeviceRoundTrip)->Iterations(1)->UseManualTime();

const char* const kSection =
    "6 Isolation (StartRecord round trip with PTZ traffic; PTZ calls taking 200 ms beside taking none)";
const bool kRegistered =
    AddComparison({kSection, "median latency", {"BM_IsolationDeviceRoundTrip", "slow_p50_us"},
                   {"BM_IsolationDeviceRoundTrip", "quiet_p50_us"}, "us", Better::Lower, 1.1}) &&
    AddComparison({kSection, "99th percentile", {"BM_IsolationDeviceRoundTrip", "slow_p99_us"},
                   {"BM_IsolationDeviceRoundTrip", "quiet_p99_us"}, "us", Better::Lower, 1.1});

}  // namespace
}  // namespace bench
