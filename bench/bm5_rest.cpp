// 5. REST: guard-preset queries per second over loopback through the whole
// pass-through (façade, PTZ worker, REST messages, Datahub's pass-through,
// the management server stand-in and back to the observer), against a bare
// HTTP client that makes the same exchange with the same server over one
// kept-alive connection.
#include <string>
#include <vector>

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/http/write.hpp>

#include <benchmark/benchmark.h>

#include "bench_config.h"
#include "bench_host.h"
#include "kestrel/ptz_external.h"
#include "kestrel/ptz_param.h"
#include "mgmt_server/server.h"
#include "round_trip.h"
#include "summary.h"

namespace bench {
namespace {

namespace asio = boost::asio;
namespace http = boost::beast::http;
using tcp = asio::ip::tcp;

constexpr int kGuardQuery = Kestrel::CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET;
constexpr int kQueriesPerBurst = 32;

// The channel's guard-preset task on the server, so that every answer
// carries a list.
void StoreGuardTask(mgmt::Server& server) {
    mgmt::GuardPresetTask task;
    task.channelCode = kPtzChannel;
    task.status = 1;
    for (int i = 1; i <= 4; ++i) {
        mgmt::GuardPresetConfig config;
        config.presetIndex = i;
        config.beginTime = "08:00:00";
        config.endTime = "18:00:00";
        config.idleTime = 30 * i;
        config.type = 1;
        task.configList.push_back(config);
    }
    server.GetStore().SaveGuardPresetTask(task);
}

// One guard query through Kestrel, and the request as the server saw it.
mgmt::RequestRecord KestrelsRequest(BenchHost& host) {
    host.Server().ClearRequests();
    const uint64_t before = host.PtzObserver().Count(kGuardQuery);
    host.Ptz()->QueryGuardPreset(kPtzChannel, 0, kPtzMenu);
    host.PtzObserver().WaitFor(kGuardQuery, before + 1);
    host.WaitIdle();
    const std::vector<mgmt::RequestRecord> requests = host.Server().Requests();
    return requests.empty() ? mgmt::RequestRecord() : requests.back();
}

void BM_RestGuardPresetQuery(benchmark::State& state) {
    BenchHost& host = BenchHost::Get();
    StoreGuardTask(host.Server());
    Kestrel::CPtzExternal* ptz = host.Ptz();
    ArrivalObserver& observer = host.PtzObserver();
    uint64_t expected = observer.Count(kGuardQuery);
    for (auto _ : state) {
        for (int i = 0; i < kQueriesPerBurst; ++i) ptz->QueryGuardPreset(kPtzChannel, 0, kPtzMenu);
        expected += kQueriesPerBurst;
        if (!observer.WaitFor(kGuardQuery, expected)) {
            state.SkipWithError("answers did not arrive");
            break;
        }
    }
    state.counters["queries_per_s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kQueriesPerBurst, benchmark::Counter::kIsRate);
    host.WaitIdle();
}

// The same request line and headers as Kestrel's, read back from the
// server; the answer is read whole, its body not parsed.
void BM_BaselineBareHttpClient(benchmark::State& state) {
    BenchHost& host = BenchHost::Get();
    StoreGuardTask(host.Server());
    const mgmt::RequestRecord seen = KestrelsRequest(host);
    if (seen.method.empty()) {
        state.SkipWithError("Kestrel's request did not reach the server");
        return;
    }
    http::request<http::empty_body> request(http::string_to_verb(seen.method), seen.target, 11);
    for (const auto& [name, value] : seen.headers) request.set(name, value);
    request.keep_alive(true);

    asio::io_context io;
    tcp::socket socket(io);
    tcp::resolver resolver(io);
    asio::connect(socket, resolver.resolve(host.Server().Address(), std::to_string(host.Server().Port())));
    boost::beast::flat_buffer buffer;
    for (auto _ : state) {
        for (int i = 0; i < kQueriesPerBurst; ++i) {
            http::write(socket, request);
            http::response<http::string_body> answer;
            http::read(socket, buffer, answer);
            if (answer.result() != http::status::ok) {
                state.SkipWithError("the server did not answer 200");
                return;
            }
        }
    }
    state.counters["queries_per_s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kQueriesPerBurst, benchmark::Counter::kIsRate);
    boost::system::error_code ignored;
    socket.shutdown(tcp::socket::shutdown_both, ignored);
}

BENCHMARK(BM_BaselineBareHttpClient)->UseRealTime();
BENCHMARK(BM_RestGuardPresetQuery)->UseRealTime();

const bool kRegistered = AddComparison(
    {"5 REST (guard-preset query over loopback; baseline: bare HTTP client, same exchange, same server)",
     "guard-preset queries per second", {"BM_RestGuardPresetQuery", "queries_per_s"},
     {"BM_BaselineBareHttpClient", "queries_per_s"}, "/s", Better::Higher, 0.7});

}  // namespace
}  // namespace bench
