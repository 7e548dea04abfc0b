#pragma once
// The world around the plug-in during the soak, each part on a thread of its
// own with a bounded loop: the platform pushing events, the platform and the
// management server failing and delaying calls, and the clocks moving (so
// that locks expire on both sides).
#include <atomic>
#include <chrono>
#include <cstdint>
#include <random>
#include <thread>

#include "mgmt_server/server.h"
#include "soak_ledger.h"

namespace soak {

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

}  // namespace soak
