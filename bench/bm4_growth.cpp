// 4. Growth: IsLock, DelLockCamera and one lock-timer tick with 10, 1,000
// and 100,000 locked channels, and preset-cache reads with 256 presets on
// 10,000 channels; each size beside the smallest. The PTZ worker here is one
// of the bench's own (no managers, so its posts never reach the platform),
// filled directly, with the host's clock stopped so that the timer ticks
// only when a benchmark ticks it. Whether a tick can stall the façade: the
// latency of IsLock, which needs the worker's mutex, with ticks running.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "batching.h"
#include "bench_host.h"
#include "datahub/interface_set_manager.h"
#include "hostfw/vkl_host.h"
#include "kestrel/ptz_external.h"
#include "ptz/ptz_delegate.h"
#include "ptz_bench_access.h"
#include "round_trip.h"
#include "summary.h"

namespace bench {
namespace {

using Kestrel::CPtzBenchAccess;

// Locks that do not run out while a benchmark runs.
constexpr int kLockSeconds = 3600;
constexpr int kPresets = 256;

std::vector<std::string> Codes(int n) {
    std::vector<std::string> codes;
    codes.reserve(n);
    char text[32];
    for (int i = 0; i < n; ++i) {
        std::snprintf(text, sizeof text, "dev-%04d$ch-%06d", i / 64, i);
        codes.emplace_back(text);
    }
    return codes;
}

// The codes in an order that does not follow the table's.
std::vector<std::string> Shuffled(std::vector<std::string> codes) {
    std::mt19937 random(7);
    std::shuffle(codes.begin(), codes.end(), random);
    return codes;
}

// A PTZ worker with its façade, on a stopped clock, for one benchmark run.
class GrowthPtz {
public:
    GrowthPtz() {
        BenchHost::Get().WaitIdle();
        vkl::Host::UseManualClock(1700000000000);
        m_delegate = std::make_shared<Kestrel::CPtzDelegate>(&m_set);
        m_facade = std::make_unique<Kestrel::CPtzExternal>(m_delegate);
    }
    ~GrowthPtz() {
        m_delegate->UnInit();
        BenchHost::Get().WaitIdle();
        m_facade.reset();
        m_delegate.reset();
        vkl::Host::UseRealClock();
    }
    Kestrel::CPtzExternal& Facade() { return *m_facade; }
    Kestrel::CPtz& Worker() { return *m_delegate->GetWorker(); }
    void Lock(const std::vector<std::string>& codes) {
        for (const std::string& code : codes) CPtzBenchAccess::AddLock(Worker(), code, kLockSeconds);
    }

private:
    Datahub::CInterfaceSetManager m_set;
    std::shared_ptr<Kestrel::CPtzDelegate> m_delegate;
    std::unique_ptr<Kestrel::CPtzExternal> m_facade;
};

void BM_IsLock(benchmark::State& state) {
    GrowthPtz ptz;
    const std::vector<std::string> codes = Codes(static_cast<int>(state.range(0)));
    ptz.Lock(codes);
    const std::vector<std::string> order = Shuffled(codes);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ptz.Facade().IsLock(order[i]));
        if (++i == order.size()) i = 0;
    }
}

// Each delete is timed alone; the code is locked again untimed, so that the
// table keeps its size.
void BM_DelLockCamera(benchmark::State& state) {
    GrowthPtz ptz;
    const std::vector<std::string> codes = Codes(static_cast<int>(state.range(0)));
    ptz.Lock(codes);
    const std::vector<std::string> order = Shuffled(codes);
    std::size_t i = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(ptz.Facade().DelLockCamera(order[i]));
        const Clock::time_point end = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        CPtzBenchAccess::AddLock(ptz.Worker(), order[i], kLockSeconds);
        if (++i == order.size()) i = 0;
    }
}

// A tick that finds no lock run out: what every second costs while locks
// are held, all of it under the worker's mutex.
void BM_LockTimerTick(benchmark::State& state) {
    GrowthPtz ptz;
    ptz.Lock(Codes(static_cast<int>(state.range(0))));
    for (auto _ : state) CPtzBenchAccess::Tick(ptz.Worker());
}

// IsLock one call at a time, its latency sampled; with the second argument
// 1 a thread ticks the timer every millisecond meanwhile (a thousand times
// the real rate, so that ticks and calls meet often). max_us is the longest
// a call waited.
void BM_IsLockWhileTicking(benchmark::State& state) {
    GrowthPtz ptz;
    const std::vector<std::string> codes = Codes(static_cast<int>(state.range(0)));
    ptz.Lock(codes);
    const std::vector<std::string> order = Shuffled(codes);
    std::atomic<bool> running{true};
    std::thread ticker;
    if (state.range(1) != 0) {
        ticker = std::thread([&] {
            while (running.load()) {
                CPtzBenchAccess::Tick(ptz.Worker());
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    std::vector<double> samples;
    std::size_t i = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(ptz.Facade().IsLock(order[i]));
        const std::chrono::duration<double> took = Clock::now() - start;
        state.SetIterationTime(took.count());
        samples.push_back(took.count() * 1e6);
        if (++i == order.size()) i = 0;
        // Spread the calls over time, so that they meet the ticks.
        std::this_thread::sleep_for(std::chrono::microseconds(20));
    }
    running = false;
    if (ticker.joinable()) ticker.join();
    state.counters["max_us"] = samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end());
    ReportLatency(state, samples);
}

std::vector<Kestrel::PrePointInfo> PresetList() {
    std::vector<Kestrel::PrePointInfo> list(kPresets);
    for (int i = 0; i < kPresets; ++i) {
        list[i].index = i + 1;
        list[i].name = "Preset " + std::to_string(i + 1);
    }
    return list;
}

void BM_PresetCacheRead(benchmark::State& state) {
    GrowthPtz ptz;
    const std::vector<std::string> codes = Codes(static_cast<int>(state.range(0)));
    const std::vector<Kestrel::PrePointInfo> list = PresetList();
    for (const std::string& code : codes) CPtzBenchAccess::SetPresets(ptz.Worker(), code, list);
    const std::vector<std::string> order = Shuffled(codes);
    std::size_t i = 0;
    for (auto _ : state) {
        std::vector<Kestrel::PrePointInfo> read = ptz.Facade().GetPrePointInfo(order[i]);
        benchmark::DoNotOptimize(read.data());
        if (++i == order.size()) i = 0;
    }
}

// What a read cannot do without: a copy of the channel's 256 presets.
void BM_BaselinePresetListCopy(benchmark::State& state) {
    const std::vector<Kestrel::PrePointInfo> list = PresetList();
    for (auto _ : state) {
        std::vector<Kestrel::PrePointInfo> copy = list;
        benchmark::DoNotOptimize(copy.data());
    }
}

BENCHMARK(BM_IsLock)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(BM_DelLockCamera)->Arg(10)->Arg(1000)->Arg(100000)->UseManualTime();
BENCHMARK(BM_LockTimerTick)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(BM_IsLockWhileTicking)->Args({100000, 0})->Args({100000, 1})->Iterations(20000)->UseManualTime();
BENCHMARK(BM_BaselinePresetListCopy);
BENCHMARK(BM_PresetCacheRead)->Arg(10)->Arg(10000);

bool RegisterComparisons() {
    const char* const section = "4 Growth (each size beside 10 locked channels)";
    for (const char* name : {"BM_IsLock", "BM_DelLockCamera", "BM_LockTimerTick"}) {
        const std::string what = std::string(name).substr(3);
        const std::string metric = std::string(name) == "BM_DelLockCamera" ? "real_ns" : "cpu_ns";
        for (const char* n : {"1000", "100000"}) {
            AddComparison({section, what + ", " + n + " channels", {std::string(name) + "/" + n, metric},
                           {std::string(name) + "/10", metric}, "ns", Better::Lower, 0});
        }
    }
    AddComparison({section, "preset read, 256 presets, 10,000 channels", {"BM_PresetCacheRead/10000", "cpu_ns"},
                   {"BM_BaselinePresetListCopy", "cpu_ns"}, "ns", Better::Lower, 0});
    AddComparison({section, "preset read, 10,000 beside 10 channels", {"BM_PresetCacheRead/10000", "cpu_ns"},
                   {"BM_PresetCacheRead/10", "cpu_ns"}, "ns", Better::Lower, 0});
    const char* const stall = "4 Growth: ticks and the façade (IsLock at 100,000 locks, ticking beside not ticking)";
    AddComparison({stall, "IsLock 99th percentile", {"BM_IsLockWhileTicking/100000/1", "p99_us"},
                   {"BM_IsLockWhileTicking/100000/0", "p99_us"}, "us", Better::Lower, 0});
    AddComparison({stall, "IsLock longest wait", {"BM_IsLockWhileTicking/100000/1", "max_us"},
                   {"BM_IsLockWhileTicking/100000/0", "max_us"}, "us", Better::Lower, 0});
    return true;
}
const bool kRegistered = RegisterComparisons();

}  // namespace
}  // namespace bench
