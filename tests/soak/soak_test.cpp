// The soak: for a bounded time several client threads call random façade
// operations while the platform pushes events of every kind, PTZ locks are
// taken, expire (on the host's timer and on the platform's clock) and are
// released, and the platform and the management server fail some calls and
// delay others. Then UnInit with the world still going, and the plug-in is
// destroyed.
//
// Checked at each of two observers per façade:
// - every request that reports a result got exactly one answer, of its type;
// - every expiry notice of the lock timer got exactly one answer to its
//   release;
// - every pushed event that passes its checks arrived exactly once, intact,
//   in push order per queue key; none of those that fail them arrived; every
//   lock-status event of the platform's own arrived;
// - once UnInit has returned and the queues have drained, nothing arrives,
//   whatever is pushed and however much time passes.
// The sanitizer builds add: no crash, no leak, no data race.
//
// Half the clients drive PTZ through a second PTZ worker of their own with
// the whole motion policy on (superseding, the dead-man on the host's clock,
// stops on leaving): a superseded answer counts as the request's one answer,
// and each dead-man stop is answered once.
//
// KESTREL_SOAK_SECONDS sets the load phase (5 s when unset; CI runs 60 s
// under each sanitizer), KESTREL_SOAK_SEED the seed. The figures are printed.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "datahub/interface_set_manager.h"
#include "hostfw/taskhub_host.h"
#include "hostfw/vkl_host.h"
#include "kestrel_fixture.h"
#include "ptz/ptz_delegate.h"
#include "soak.h"
#include "time_zone.h"
#include "zrsdk/zrsdk_control.h"

namespace soak {
namespace {

namespace control = zrsdk::control;

constexpr int kClients = 4;
// Bounds besides the time: calls per client, event batches, fault and clock steps.
constexpr uint64_t kMaxCallsPerClient = 400000;
constexpr uint64_t kMaxBatches = 20000;
constexpr uint64_t kMaxSteps = 100000;
constexpr std::chrono::minutes kDrainPatience(5);

long EnvNumber(const char* name, long fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == 0) return fallback;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return end != nullptr && *end == 0 && value > 0 ? value : fallback;
}

class SoakTest : public kestrel_test::KestrelFixture {
protected:
    SoakTest() { m_options.poolThreads = 6; }

    void SetUp() override {
        // Without TZ the C library reloads the zone at every local-time
        // conversion, under a lock ThreadSanitizer cannot see; ctest sets it,
        // a direct run gets the same.
        if (std::getenv("TZ") == nullptr) kestrel_test::UseTimeZone("CET-1CEST,M3.5.0,M10.5.0/3");
        // Failures are logged by the thousand: count them instead.
        vkl::Host::SetLogSink([this](const vkl::Host::LogRecord&) { ++m_logLines; });
        KestrelFixture::SetUp();
        // The fixture's observers keep every object; the soak's keep a summary.
        Device()->UnRegisterObserver(&m_deviceObserver);
        Ptz()->UnRegisterObserver(&m_ptzObserver);
        Face()->UnRegisterObserver(&m_faceObserver);
        UseManualClock();
        // The policy clients' PTZ worker, on the same account and resource tree.
        ASSERT_TRUE(m_policySet.AddLogicalPlugin(m_env->AccountPlugin()));
        ASSERT_TRUE(m_policySet.AddLogicalPlugin(m_env->ResourceTreePlugin()));
        m_policyDelegate = std::make_shared<Kestrel::CPtzDelegate>(&m_policySet);
        m_policyPtz = std::make_unique<Kestrel::CPtzExternal>(m_policyDelegate);
        Kestrel::PtzMotionPolicy policy;
        policy.supersede = true;
        policy.deadManMs = 1500;
        policy.stopOnLeaving = true;
        policy.leavingWaitMs = 500;
        m_policyPtz->SetMotionPolicy(policy);
    }

    void TearDown() override {
        if (m_policyDelegate) m_policyDelegate->UnInit();
        if (m_env) m_env->WaitIdle(std::chrono::seconds(60));
        m_policyPtz.reset();
        m_policyDelegate.reset();
        KestrelFixture::TearDown();
        vkl::Host::SetLogSink({});
    }

    struct Watched {
        int business;
        SoakObserver observer;
    };

    void RegisterObservers() {
        for (int i = 0; i < 2; ++i) {
            Device()->RegisterObserver(&m_observers[3 * i + 0].observer);
            Ptz()->RegisterObserver(&m_observers[3 * i + 1].observer);
            Face()->RegisterObserver(&m_observers[3 * i + 2].observer);
            m_policyPtz->RegisterObserver(&m_policyObservers[i].observer);
        }
    }

    std::size_t Arrived() {
        std::size_t n = 0;
        for (Watched& w : m_observers) n += w.observer.Count();
        for (Watched& w : m_policyObservers) n += w.observer.Count();
        return n;
    }

    bool Drain() { return m_env->WaitIdle(std::chrono::duration_cast<std::chrono::milliseconds>(kDrainPatience)); }

    Watched m_observers[6] = {{Datahub::BUSINESS_DEVICE_FUNCTION, {}}, {Datahub::BUSINESS_PTZ, {}},
                              {Datahub::BUSINESS_FACE_FUNCTION, {}},   {Datahub::BUSINESS_DEVICE_FUNCTION, {}},
                              {Datahub::BUSINESS_PTZ, {}},             {Datahub::BUSINESS_FACE_FUNCTION, {}}};
    Datahub::CInterfaceSetManager m_policySet;
    std::shared_ptr<Kestrel::CPtzDelegate> m_policyDelegate;
    std::unique_ptr<Kestrel::CPtzExternal> m_policyPtz;
    Watched m_policyObservers[2] = {{Datahub::BUSINESS_PTZ, {}}, {Datahub::BUSINESS_PTZ, {}}};
    std::atomic<uint64_t> m_logLines{0};
};

TEST_F(SoakTest, ClientsEventsLocksAndFaultsLoseNothing) {
    const long seconds = EnvNumber("KESTREL_SOAK_SECONDS", 5);
    const auto seed = static_cast<uint32_t>(EnvNumber("KESTREL_SOAK_SEED", 20240611));
    RegisterObservers();
    const control::EventCounters before = control::GetEventCounters();

    // ---- load --------------------------------------------------------------------------------
    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline = start + std::chrono::seconds(seconds);
    EventPusher pusher(m_env->SessionId(), seed, 1);
    FaultInjector faults(m_server, seed + 1);
    ClockDriver clocks(seed + 2);
    pusher.Start(deadline, kMaxBatches);
    faults.Start(deadline, kMaxSteps);
    clocks.Start(deadline, kMaxSteps);

    std::vector<std::unique_ptr<SoakClient>> clients;
    std::vector<std::thread> threads;
    for (int i = 0; i < kClients; ++i) {
        Kestrel::CPtzExternal* ptz = i % 2 == 1 ? m_policyPtz.get() : Ptz();
        clients.push_back(std::make_unique<SoakClient>(i, seed + 10 + static_cast<uint32_t>(i), Device(), ptz));
        threads.emplace_back([&deadline, client = clients.back().get()] {
            for (uint64_t n = 0; n < kMaxCallsPerClient && Clock::now() < deadline; ++n) {
                WaitForRoom(kRoom, deadline);
                client->CallOne();
            }
        });
    }
    // Observers coming and going on every façade while deliveries run.
    SoakObserver churn;
    uint64_t churned = 0;
    threads.emplace_back([&] {
        for (; churned < kMaxSteps && Clock::now() < deadline; ++churned) {
            Device()->RegisterObserver(&churn);
            Ptz()->RegisterObserver(&churn);
            Face()->RegisterObserver(&churn);
            std::this_thread::yield();
            Face()->UnRegisterObserver(&churn);
            Ptz()->UnRegisterObserver(&churn);
            Device()->UnRegisterObserver(&churn);
            // The churn's pace: it goes on for the whole load.
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    });
    for (std::thread& t : threads) t.join();
    pusher.Stop();
    faults.Stop();
    faults.Clear();
    clocks.Stop();
    const double loadSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    ASSERT_TRUE(Drain()) << "the queues did not drain";
    const double drainSeconds = std::chrono::duration<double>(Clock::now() - start).count() - loadSeconds;

    // ---- the books -----------------------------------------------------------------------------
    Ledger ledger, policyLedger;
    for (const auto& client : clients) ledger.Merge(client->GetLedger());
    // The PTZ requests of the policy clients are answered by their own worker.
    for (int i = 1; i < kClients; i += 2) {
        for (const auto& [seq, type] : clients[i]->GetLedger().seqs) {
            ledger.seqs.erase(seq);
            policyLedger.seqs.emplace(seq, type);
        }
        for (const auto& [key, count] : clients[i]->GetLedger().unnumbered) {
            if (key.first != Datahub::BUSINESS_PTZ) continue;
            ledger.unnumbered[key] -= count;
            policyLedger.unnumbered[key] += count;
        }
    }
    const PushLog& log = pusher.Log();
    const control::EventCounters after = control::GetEventCounters();
    EXPECT_EQ(after.dropped, before.dropped) << "the platform dropped events of the session";
    const int64_t platformLocks = static_cast<int64_t>(after.delivered - before.delivered - log.pushed);

    Tally total;
    const auto check = [&](Watched& w, const Ledger& books, const PushLog& pushed, int64_t locks) {
        const Tally t = Check(w.business, books, pushed, locks, w.observer.Arrivals());
        for (const std::string& problem : t.problems) ADD_FAILURE() << "business " << w.business << ": " << problem;
        EXPECT_EQ(t.lost, 0u);
        EXPECT_EQ(t.duplicated, 0u);
        total.results += t.results;
        total.events += t.events;
        total.expiries += t.expiries;
        total.releases += t.releases;
        total.platformLocks += t.platformLocks;
        total.autoStops += t.autoStops;
        total.superseded += t.superseded;
        total.lost += t.lost;
        total.duplicated += t.duplicated;
    };
    for (Watched& w : m_observers)
        check(w, ledger, log, w.business == Datahub::BUSINESS_PTZ ? platformLocks : -1);
    // The policy worker hears no server events: they go to the plug-in's own.
    for (Watched& w : m_policyObservers) check(w, policyLedger, PushLog(), -1);
    EXPECT_EQ(total.results, 2 * (ledger.Reporting() + policyLedger.Reporting()));
    uint64_t passing = 0;
    for (const auto& queue : log.passing) passing += queue.size();
    EXPECT_EQ(total.events, 2 * passing);
    EXPECT_EQ(total.expiries, total.releases);

    // ---- UnInit while the world goes on, then nothing more --------------------------------------------
    EventPusher late(m_env->SessionId(), seed + 3, 1000000000);
    ClockDriver lateClocks(seed + 4);
    const Clock::time_point lateDeadline = Clock::now() + std::chrono::seconds(30);
    late.Start(lateDeadline, 20);
    lateClocks.Start(lateDeadline, 200);
    std::this_thread::yield();
    m_kestrel->UnInit();
    m_policyDelegate->UnInit();
    late.Stop();
    lateClocks.Stop();
    ASSERT_TRUE(Drain());
    const std::size_t settled = Arrived();

    EventPusher afterUnInit(m_env->SessionId(), seed + 5, 2000000000);
    afterUnInit.Start(Clock::now() + std::chrono::seconds(30), 10);
    afterUnInit.Finish();
    EXPECT_GT(afterUnInit.Log().pushed, 0u);
    vkl::Host::AdvanceClock(600000);
    control::AdvancePlatformClock(3600);
    ASSERT_TRUE(Drain());
    const std::size_t arrivedAfterUnInit = Arrived() - settled;
    EXPECT_EQ(arrivedAfterUnInit, 0u);

    // The plug-in goes; events still come.
    m_kestrel.reset();
    EventPusher afterUnload(m_env->SessionId(), seed + 6, 3000000000);
    afterUnload.Start(Clock::now() + std::chrono::seconds(30), 5);
    afterUnload.Finish();
    ASSERT_TRUE(Drain());
    EXPECT_EQ(Arrived() - settled, 0u);

    using U = unsigned long long;
    std::printf("[soak] %.1f s of load (asked %ld s) and %.1f s to drain, seed %u, %d clients, 2 observers per"
                " facade, %llu log lines\n", loadSeconds, seconds, drainSeconds, seed, kClients, U(m_logLines.load()));
    std::printf("[soak] requests: %llu facade calls, %llu of them report a result\n", U(ledger.calls),
                U(ledger.Reporting() + policyLedger.Reporting()));
    std::printf("[soak] events pushed: %llu (%llu pass their checks, %llu must be dropped); platform lock events: %lld;"
                " lock timer: %llu expiries, %llu releases answered\n",
                U(log.pushed), U(passing), U(log.refused), static_cast<long long>(platformLocks), U(total.expiries / 2),
                U(total.releases / 2));
    std::printf("[soak] faults injected: %llu (platform calls failed %llu, platform functions slowed %llu,"
                " server faults %llu, connection refusals %llu); observer registrations churned %llu\n",
                U(faults.Total()), U(faults.failingCalls), U(faults.slowedFunctions), U(faults.serverFaults),
                U(faults.refusals), U(churned));
    std::printf("[soak] motion policy (clients 1 and 3): %llu answers superseded, %llu dead-man stops\n",
                U(total.superseded / 2), U(total.autoStops / 2));
    std::printf("[soak] lost %llu, duplicated %llu, arrived after UnInit %zu\n", U(total.lost), U(total.duplicated),
                arrivedAfterUnInit);
    std::fflush(stdout);
}

}  // namespace
}  // namespace soak
