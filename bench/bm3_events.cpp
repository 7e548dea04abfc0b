// 3. Event intake: server events per second from the login manager's
// delivery (the plug-in's listener called on the delivering thread) to the
// observer, against a two-hop post of a copy of the same payload; and the
// face decode in ns per event and MB/s against a memcpy of the payload.
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "accountlogic/login_param.h"
#include "baseline_loops.h"
#include "bench_host.h"
#include "datahub/observer.h"
#include "event_payloads.h"
#include "face/face_function.h"
#include "round_trip.h"
#include "summary.h"

namespace bench {
namespace {

constexpr int kBaselineType = 201;
const int kLoginTypes[] = {40, 50, 52, 167, 206, 212, 213};

const EventPayload& Payload(int loginType) {
    static std::map<int, EventPayload> payloads;
    auto it = payloads.find(loginType);
    if (it == payloads.end()) it = payloads.emplace(loginType, MakeEventPayload(BenchHost::Get(), loginType)).first;
    return it->second;
}

void BM_EventIntake(benchmark::State& state) {
    BenchHost& host = BenchHost::Get();
    const EventPayload& payload = Payload(static_cast<int>(state.range(0)));
    Datahub::IObserver* listener = host.LoginListener();
    void* data = const_cast<uint8_t*>(payload.bytes.data());
    RunBursts(state, *payload.observer, payload.resultType, [&] {
        listener->OnNotify(std::make_shared<AccountLogic::CLoginParam>(payload.loginType, 0, data, payload.size));
    });
    state.counters["events_per_s"] = state.counters["requests_per_s"];
    state.counters.erase("requests_per_s");
    host.WaitIdle();
}

// A copy of the payload to the strand, a shared result to the UI thread.
void BM_BaselineEventTwoHop(benchmark::State& state) {
    BaselineLoops& loops = BaselineLoops::Get();
    const EventPayload& payload = Payload(static_cast<int>(state.range(0)));
    RunBursts(state, loops.Arrivals(), kBaselineType, [&] {
        std::vector<uint8_t> copy(payload.bytes.data(), payload.bytes.data() + payload.size);
        loops.PostToStrand([&loops, copy = std::move(copy)]() mutable {
            auto result = std::make_shared<std::vector<uint8_t>>(std::move(copy));
            loops.PostToUi([&loops, result] { loops.Arrivals().Arrive(kBaselineType); });
        });
    });
    state.counters["events_per_s"] = state.counters["requests_per_s"];
    state.counters.erase("requests_per_s");
}

void BM_FaceDecode(benchmark::State& state) {
    const std::vector<uint8_t> payload = MakeFacePayload(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Kestrel::FaceInfoNotify info = Kestrel::CFaceFunction::Decode(payload.data(), payload.size());
        benchmark::DoNotOptimize(info);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * payload.size()));
    state.counters["payload_bytes"] = static_cast<double>(payload.size());
}

void BM_BaselineFaceMemcpy(benchmark::State& state) {
    const std::vector<uint8_t> payload = MakeFacePayload(static_cast<int>(state.range(0)));
    std::vector<uint8_t> copy(payload.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), payload.data(), payload.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * payload.size()));
    state.counters["payload_bytes"] = static_cast<double>(payload.size());
}

void EachLoginType(benchmark::internal::Benchmark* b) {
    for (int type : kLoginTypes) b->Arg(type);
}

BENCHMARK(BM_BaselineEventTwoHop)->Apply(EachLoginType)->UseRealTime();
BENCHMARK(BM_EventIntake)->Apply(EachLoginType)->UseRealTime();
BENCHMARK(BM_BaselineFaceMemcpy)->Arg(1)->Arg(16);
BENCHMARK(BM_FaceDecode)->Arg(1)->Arg(16);

bool RegisterComparisons() {
    const char* const section = "3 Event intake (login manager's delivery to OnNotify; baseline: copy, strand, UI thread)";
    const std::map<int, std::string> names = {
        {40, "event 40 PTZ lock status"},    {50, "event 50 smart-track object"}, {52, "event 52 face (1 item)"},
        {167, "event 167 traffic info"},     {206, "event 206 IMS alarm"},        {212, "event 212 traffic alarm"},
        {213, "event 213 traffic score"}};
    for (const auto& [type, name] : names) {
        const std::string arg = "/" + std::to_string(type);
        AddComparison({section, name + ", events/s", {"BM_EventIntake" + arg, "events_per_s"},
                       {"BM_BaselineEventTwoHop" + arg, "events_per_s"}, "/s", Better::Higher, 0});
    }
    const char* const decode = "3 Event intake: face decode (baseline: memcpy of the payload)";
    for (const char* items : {"1", "16"}) {
        const std::string arg = std::string("/") + items;
        AddComparison({decode, std::string("face decode, ") + items + " item(s), ns/event", {"BM_FaceDecode" + arg, "cpu_ns"},
                       {"BM_BaselineFaceMemcpy" + arg, "cpu_ns"}, "ns", Better::Lower, 0});
        AddComparison({decode, std::string("face decode, ") + items + " item(s), MB/s", {"BM_FaceDecode" + arg, "bytes_per_second"},
                       {"BM_BaselineFaceMemcpy" + arg, "bytes_per_second"}, "MB/s", Better::Higher, 0, 1e-6});
    }
    return true;
}
const bool kRegistered = RegisterComparisons();

}  // namespace
}  // namespace bench
