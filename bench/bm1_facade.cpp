// 1. Façade call cost: the time a façade call takes on the client's thread,
// against posting a closure that carries the same strings straight to a
// strand of a thread pool.
#include <benchmark/benchmark.h>

#include "baseline_loops.h"
#include "batching.h"
#include "bench_config.h"
#include "bench_host.h"
#include "kestrel/device_function_external.h"
#include "kestrel/ptz_external.h"
#include "summary.h"
#include "taskhub/message_loop.h"
#include "taskhub/task.h"

namespace bench {
namespace {

// Holds the SDK pool's queue of the key while the calls are timed.
auto HoldHostQueue(BenchHost& host, const std::string& key) {
    return [&host, key] { return host.HoldQueue(key); };
}
auto ReleaseHost(BenchHost& host) {
    return [&host](const std::shared_ptr<Gate>& gate) {
        gate->Open();
        host.WaitIdle();
    };
}

void BM_FacadePtzDirection(benchmark::State& state) {
    BenchHost& host = BenchHost::Get();
    Kestrel::CPtzExternal* ptz = host.Ptz();
    RunHeld(
        state, HoldHostQueue(host, "PTZ"),
        [&] { benchmark::DoNotOptimize(ptz->PtzDirection(kPtzChannel, Kestrel::DIRECTION_UP, false, 5, kPtzMenu)); },
        ReleaseHost(host));
}

void BM_FacadeStartRecord(benchmark::State& state) {
    BenchHost& host = BenchHost::Get();
    Kestrel::CDeviceFunctionExternal* device = host.Device();
    RunHeld(
        state, HoldHostQueue(host, "CDeviceCommunicate"),
        [&] { benchmark::DoNotOptimize(device->StartRecord(kPtzChannel, 0, 0, kRecordText, kRecordMenu)); },
        ReleaseHost(host));
}

void BM_FacadeQueryPrePoint(benchmark::State& state) {
    BenchHost& host = BenchHost::Get();
    Kestrel::CPtzExternal* ptz = host.Ptz();
    RunHeld(
        state, HoldHostQueue(host, "PTZPreset"), [&] { benchmark::DoNotOptimize(ptz->QueryPrePoint(kPtzChannel, false)); },
        ReleaseHost(host));
}

// A task that carries the request's two strings in its own block, as a
// plug-in's task does: the least a PostTask can be handed.
class TwoStringTask final : public Taskhub::CFunctionTask {
public:
    TwoStringTask(const std::string& code, const std::string& menu)
        : Taskhub::CFunctionTask(Call{this}, false), m_code(code), m_menu(menu) {}

private:
    struct Call {
        TwoStringTask* task;
        void operator()() const {
            benchmark::DoNotOptimize(task->m_code.data());
            benchmark::DoNotOptimize(task->m_menu.data());
        }
    };
    std::string m_code;
    std::string m_menu;
};

// The host's own share: Taskhub's PostTask of such a task under "PTZ", and
// nothing of Kestrel. What a façade call costs above it is Kestrel's.
void BM_HostPostTask(benchmark::State& state) {
    BenchHost& host = BenchHost::Get();
    Taskhub::CMessageLoopPoolForSDK* pool = Taskhub::CSingleton<Taskhub::CMessageLoopPoolForSDK>::GetInstance();
    const std::string key = "PTZ";
    RunHeld(
        state, HoldHostQueue(host, key), [&] { pool->PostTask(key, new TwoStringTask(kPtzChannel, kPtzMenu)); },
        ReleaseHost(host));
}

// The closure copies as many of the request's strings as the façade call
// it stands beside: 1 (QueryPrePoint), 2 (PtzDirection), 3 (StartRecord).
template <class Closure>
void RunStrandPosts(benchmark::State& state, BaselineLoops& loops, const Closure& closure) {
    RunHeld(
        state, [&] { return loops.HoldStrand(); }, [&] { loops.PostToStrand(Closure(closure)); },
        [&](const std::shared_ptr<Gate>& gate) {
            gate->Open();
            loops.Drain();
        });
}

void BM_BaselineStrandPost(benchmark::State& state) {
    BaselineLoops& loops = BaselineLoops::Get();
    switch (state.range(0)) {
        case 1:
            RunStrandPosts(state, loops, [code = kPtzChannel] { benchmark::DoNotOptimize(code.data()); });
            break;
        case 2:
            RunStrandPosts(state, loops, [code = kPtzChannel, menu = kPtzMenu] {
                benchmark::DoNotOptimize(code.data());
                benchmark::DoNotOptimize(menu.data());
            });
            break;
        default:
            RunStrandPosts(state, loops, [code = kPtzChannel, text = kRecordText, menu = kRecordMenu] {
                benchmark::DoNotOptimize(code.data());
                benchmark::DoNotOptimize(text.data());
                benchmark::DoNotOptimize(menu.data());
            });
            break;
    }
}

BENCHMARK(BM_BaselineStrandPost)->Arg(1)->Arg(2)->Arg(3);
BENCHMARK(BM_HostPostTask);
BENCHMARK(BM_FacadePtzDirection);
BENCHMARK(BM_FacadeStartRecord);
BENCHMARK(BM_FacadeQueryPrePoint);

const char* const kSection = "1 Façade call cost (CPU time on the calling thread)";
const bool kRegistered =
    AddComparison({kSection, "PtzDirection", {"BM_FacadePtzDirection", "cpu_ns"}, {"BM_BaselineStrandPost/2", "cpu_ns"}, "ns", Better::Lower, 1.5}) &&
    AddComparison({kSection, "StartRecord", {"BM_FacadeStartRecord", "cpu_ns"}, {"BM_BaselineStrandPost/3", "cpu_ns"}, "ns", Better::Lower, 1.5}) &&
    AddComparison({kSection, "QueryPrePoint", {"BM_FacadeQueryPrePoint", "cpu_ns"}, {"BM_BaselineStrandPost/1", "cpu_ns"}, "ns", Better::Lower, 1.5}) &&
    AddComparison({kSection, "(host) Taskhub PostTask, 2 strings", {"BM_HostPostTask", "cpu_ns"}, {"BM_BaselineStrandPost/2", "cpu_ns"}, "ns", Better::Lower, 0}) &&
    AddComparison({kSection, "PtzDirection beside the host's PostTask", {"BM_FacadePtzDirection", "cpu_ns"}, {"BM_HostPostTask", "cpu_ns"}, "ns", Better::Lower, 0});

}  // namespace
}  // namespace bench
