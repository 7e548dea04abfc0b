#pragma once
// The soak's parts (each implemented in soak_<part>.cpp): the events it
// pushes, its books, the world around the plug-in and the clients.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "datahub/base_param.h"
#include "datahub/observer.h"
#include "kestrel/device_function_external.h"
#include "kestrel/ptz_external.h"
#include "mgmt_server/server.h"
#include "zrsdk/zrsdk_control.h"

namespace soak {

// ---- events -------------------------------------------------------------------------------------
// The server events the soak pushes, each numbered, and how an observer
// tells from a parameter object which pushed event it is and whether its
// content came through intact.
//
// A pushed event carries its number as the text "ev-<n>" in the field that
// reaches the observer (code, text1 or payload text) and a content derived
// from n (values, item counts). Events that must fail the intake checks
// carry "bad-<n>" instead.

// The orders that hold for events: those of one queue key reach every
// observer in push order.
enum class EventQueue { Device, SmartTrack, Face, Lock, Count };
constexpr int kEventQueues = static_cast<int>(EventQueue::Count);

struct PushedEvent {
    zrsdk::control::LoginEventData data;
    EventQueue queue = EventQueue::Device;
    bool passes = true;  // false: fails its intake check
};

// A well-formed event of a kind picked by `pick`, numbered n.
PushedEvent MakeGoodEvent(int64_t n, std::mt19937& pick);
// An event that must be dropped: wrong size, non-zero result, null payload
// or a type Kestrel does not handle, numbered n.
PushedEvent MakeBadEvent(int64_t n, std::mt19937& pick);

// What an observer learns from one parameter object about pushed events.
struct EventIdentity {
    enum Kind { NotAnEvent, Pushed, Bad, PlatformLock };
    Kind kind = NotAnEvent;
    EventQueue queue = EventQueue::Device;
    int64_t number = -1;
    bool intact = false;  // content matches the number
};
EventIdentity IdentifyEvent(const std::shared_ptr<Datahub::BaseParam>& param);

// ---- ledger -------------------------------------------------------------------------------------
// The soak's books: what the clients asked for (each client keeps its own
// ledger, merged at the end), what the pusher pushed, what each observer
// received, and the comparison of the three.

struct Ledger {
    // A façade call, whether or not it reports a result.
    void Called() { ++calls; }
    // A request answered with its sequence number and this event type.
    void ExpectSeq(int seq, int eventType) { seqs.emplace(seq, eventType); }
    // A request answered without a sequence number.
    void ExpectUnnumbered(int business, int eventType) { ++unnumbered[{business, eventType}]; }
    // A binding query, answered with its tag.
    void ExpectTag(int64_t tag) { tags.insert(tag); }

    void Merge(const Ledger& other);
    // How many calls report a result.
    uint64_t Reporting() const;

    uint64_t calls = 0;
    std::map<int, int> seqs;  // seq -> event type
    std::map<std::pair<int, int>, uint64_t> unnumbered;  // (business, type) -> count
    std::set<int64_t> tags;
};

// What the pusher pushed: the numbers of the events that pass their checks,
// per queue, in push order; and how many events it pushed in all.
struct PushLog {
    std::vector<int64_t> passing[kEventQueues];
    uint64_t pushed = 0;
    uint64_t refused = 0;  // pushed to be dropped
};

// One parameter object as an observer received it.
struct Arrival {
    int business = 0;
    int type = 0;
    int result = 0;
    int seq = 0;
    uint64_t tag = 0;  // Ui64Now of a binding result
    EventIdentity event;
};

// An observer that keeps a compact record of everything it receives.
class SoakObserver : public Datahub::IObserver {
public:
    void OnNotify(std::shared_ptr<Datahub::BaseParam> param) override;
    std::vector<Arrival> Arrivals();
    std::size_t Count();

private:
    std::mutex m_mutex;
    std::vector<Arrival> m_arrivals;
};

// The figures of one observer's check.
struct Tally {
    uint64_t results = 0;          // answers to client requests
    uint64_t expiries = 0;         // lock-timer expiry notices
    uint64_t releases = 0;         // answers to the timer's releases
    uint64_t events = 0;           // pushed events received
    uint64_t platformLocks = 0;    // lock-status events of the platform's own
    uint64_t autoStops = 0;        // the motion policy's dead-man stops
    uint64_t superseded = 0;       // answers saying a newer move made the request obsolete
    uint64_t lost = 0;             // requests unanswered, events not received
    uint64_t duplicated = 0;       // answers or events received more than once
    std::vector<std::string> problems;  // the first 20

    void Problem(const std::string& text) {
        if (problems.size() < 20) problems.push_back(text);
    }
};

// Compares one observer's arrivals with the ledger (requests of its façade,
// `business`) and the push log (events of its queues). `platformLocks` is
// the number of lock-status events the platform pushed by itself (-1: the
// observer is not a PTZ observer).
Tally Check(int business, const Ledger& ledger, const PushLog& log, int64_t platformLocks,
            const std::vector<Arrival>& arrivals);

// ---- world --------------------------------------------------------------------------------------
// The world around the plug-in during the soak, each part on a thread of its
// own with a bounded loop: the platform pushing events, the platform and the
// management server failing and delaying calls, and the clocks moving (so
// that locks expire on both sides).

using Clock = std::chrono::steady_clock;

// Runs Step on a thread of its own until Stop, the deadline or `steps` steps.
class Actor {
public:
    virtual ~Actor();
    void Start(Clock::time_point deadline, uint64_t steps);
    // Ends the loop at the next step and joins the thread.
    void Stop();
    // Joins the thread once the loop has run its course.
    void Finish();

protected:
    // One step; false ends the loop.
    virtual bool Step(uint64_t step) = 0;

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Pushes batches of numbered events, a tenth of them to be dropped, and
// waits for each batch to be handed over before the next (and for the pool
// to have room), so the queues stay bounded.
class EventPusher : public Actor {
public:
    EventPusher(int sessionId, uint32_t seed, int64_t firstNumber);
    const PushLog& Log() const { return m_log; }

private:
    bool Step(uint64_t step) override;

    int m_sessionId;
    std::mt19937 m_random;
    int64_t m_next;
    PushLog m_log;
};

// Every few milliseconds: the next calls of a platform function fail with a
// random code, a platform function slows down (or speeds up again), the
// server answers a request badly or late, or refuses connections for a
// moment.
class FaultInjector : public Actor {
public:
    FaultInjector(mgmt::Server& server, uint32_t seed);
    // Undoes what is still in force.
    void Clear();

    uint64_t failingCalls = 0;
    uint64_t slowedFunctions = 0;
    uint64_t serverFaults = 0;
    uint64_t refusals = 0;
    uint64_t Total() const { return failingCalls + slowedFunctions + serverFaults + refusals; }

private:
    bool Step(uint64_t step) override;

    mgmt::Server& m_server;
    std::mt19937 m_random;
};

// Moves the host's timer clock a second at a time (the lock timer ticks and
// releases what ran out) and the platform's clock by a few seconds now and
// then (the platform expires locks and says so).
class ClockDriver : public Actor {
public:
    explicit ClockDriver(uint32_t seed) : m_random(seed) {}

private:
    bool Step(uint64_t step) override;

    std::mt19937 m_random;
};

// Waits until the SDK pool and the UI loop hold fewer than `limit` tasks.
void WaitForRoom(std::size_t limit, Clock::time_point deadline);
// The limit the pusher, the clock driver and the clients wait for.
constexpr std::size_t kRoom = 400;

// ---- client -------------------------------------------------------------------------------------
// One client thread of the soak: random façade operations with random (and
// now and then bad) arguments, each entered in the client's own ledger with
// the answer it must get.

class SoakClient {
public:
    SoakClient(int index, uint32_t seed, Kestrel::CDeviceFunctionExternal* device, Kestrel::CPtzExternal* ptz);

    // Makes one random façade call.
    void CallOne();
    const Ledger& GetLedger() const { return m_ledger; }

private:
    std::string Channel();
    std::string Text();
    int Pick(int n) { return static_cast<int>(m_random() % static_cast<uint32_t>(n)); }

    void CallDevice(int what);
    void CallPtz(int what);
    void CallPtzQueries(int what);

    int m_index;
    std::mt19937 m_random;
    Kestrel::CDeviceFunctionExternal* m_device;
    Kestrel::CPtzExternal* m_ptz;
    Ledger m_ledger;
    int64_t m_tags = 0;
};

}  // namespace soak
