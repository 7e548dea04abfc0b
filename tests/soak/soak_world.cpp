#include "soak.h"

#include <string>
#include <vector>

#include "hostfw/taskhub_host.h"
#include "hostfw/vkl_host.h"
#include "zrsdk/zrsdk_control.h"
#include "zrsdk/zrsdk_errors.h"

namespace soak {

namespace control = zrsdk::control;

namespace {

// The platform functions Kestrel calls.
const char* const kFunctions[] = {
    "ZRSDK_StartRemoteRecord", "ZRSDK_StopRemoteRecord",  "ZRSDK_StartAPPRemoteRecord", "ZRSDK_StopAPPRemoteRecord",
    "ZRSDK_SmartTrackOperate", "ZRSDK_VehiclePreviewConfig", "ZRSDK_GetResourceBinding", "ZRSDK_GetFlowSetIFrame",
    "ZRSDK_PtzOperateDirect",  "ZRSDK_PtzOperateCamera",  "ZRSDK_PtzSitPosition",      "ZRSDK_PtzSitPositionEx",
    "ZRSDK_PtzRainWiper",      "ZRSDK_PtzSetScanMargin",  "ZRSDK_PtzAutoScan",         "ZRSDK_PtzArrangePtz",
    "ZRSDK_GetUserLoginData",  "ZRSDK_PtzGetPresetPoints", "ZRSDK_PtzOperatePresetPoint",
    "ZRSDK_GetChannelCruisePreset", "ZRSDK_SetChannelCruisePreset",
};
constexpr int kFunctionCount = sizeof(kFunctions) / sizeof(kFunctions[0]);

const int kErrorCodes[] = {ZRSDK_ERR_INVALID_PARAM,   ZRSDK_ERR_INVALID_SESSION, ZRSDK_ERR_UNKNOWN_CHANNEL,
                           ZRSDK_ERR_NOT_PTZ,         ZRSDK_ERR_ALREADY_RECORDING, ZRSDK_ERR_NOT_RECORDING,
                           ZRSDK_ERR_UNKNOWN_PRESET,  ZRSDK_ERR_PTZ_LOCKED,      ZRSDK_ERR_UNSUPPORTED, -1};

constexpr std::size_t kBatch = 32;

}  // namespace

Actor::~Actor() { Stop(); }

void Actor::Start(Clock::time_point deadline, uint64_t steps) {
    m_stop = false;
    m_thread = std::thread([this, deadline, steps] {
        for (uint64_t step = 0; step < steps && !m_stop.load() && Clock::now() < deadline; ++step)
            if (!Step(step)) break;
    });
}

void Actor::Stop() {
    m_stop = true;
    Finish();
}

void Actor::Finish() {
    if (m_thread.joinable()) m_thread.join();
}

void WaitForRoom(std::size_t limit, Clock::time_point deadline) {
    // Throttling only: the pool drains by itself, there is nothing to wait for.
    while (Taskhub::Host::PendingTasks() >= limit && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
}

// ---- events ---------------------------------------------------------------------------------

EventPusher::EventPusher(int sessionId, uint32_t seed, int64_t firstNumber)
    : m_sessionId(sessionId), m_random(seed), m_next(firstNumber) {}

bool EventPusher::Step(uint64_t) {
    std::vector<control::LoginEventData> batch;
    batch.reserve(kBatch);
    std::vector<PushedEvent> events;
    for (std::size_t i = 0; i < kBatch; ++i) {
        const int64_t n = m_next++;
        PushedEvent event = m_random() % 10 == 0 ? MakeBadEvent(n, m_random) : MakeGoodEvent(n, m_random);
        batch.push_back(event.data);
        if (event.passes) {
            m_log.passing[static_cast<int>(event.queue)].push_back(n);
        } else {
            ++m_log.refused;
        }
    }
    if (!control::PushStream(m_sessionId, batch)) return false;
    m_log.pushed += batch.size();
    // Handed over before the next batch, so the platform's queue stays short.
    if (!control::WaitEventsDelivered(std::chrono::seconds(60))) return false;
    WaitForRoom(kRoom, Clock::now() + std::chrono::seconds(60));
    return true;
}

// ---- faults -------------------------------------------------------------------------------

FaultInjector::FaultInjector(mgmt::Server& server, uint32_t seed) : m_server(server), m_random(seed) {}

bool FaultInjector::Step(uint64_t) {
    const int roll = static_cast<int>(m_random() % 100);
    const char* function = kFunctions[m_random() % kFunctionCount];
    if (roll < 50) {
        const int count = 1 + static_cast<int>(m_random() % 3);
        control::FailNextCalls(function, count, kErrorCodes[m_random() % (sizeof(kErrorCodes) / sizeof(int))]);
        failingCalls += static_cast<uint64_t>(count);
    } else if (roll < 60) {
        control::SetLatency(function, std::chrono::milliseconds(1 + m_random() % 2));
        ++slowedFunctions;
    } else if (roll < 70) {
        control::SetLatency(function, std::chrono::milliseconds(0));
    } else if (roll < 97) {
        mgmt::Fault fault;
        switch (m_random() % 10) {
            case 0: fault.httpStatus = 500; break;
            case 1: fault.serverCode = 1005; break;
            case 2: fault.httpStatus = 503; fault.serverCode = 1500; break;
            case 3: fault.kind = mgmt::Fault::Kind::BrokenBody; break;
            case 4: fault.kind = mgmt::Fault::Kind::CloseMidAnswer; break;
            case 5: fault.kind = mgmt::Fault::Kind::CloseWithoutAnswer; break;
            case 6: fault.dataJson = "[\"not\", \"an\", \"object\"]"; break;
            case 7:
                if (m_random() % 5 == 0) {
                    fault.kind = mgmt::Fault::Kind::HugeBody;
                } else {
                    fault.serverCode = 1002;
                    fault.httpStatus = 400;
                }
                break;
            default: fault.delay = std::chrono::milliseconds(5 + m_random() % 45); break;
        }
        m_server.InjectFault(fault);
        ++serverFaults;
    } else {
        // Refuses connections for a moment.
        m_server.StopListening();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!m_server.ResumeListening()) return false;
        ++refusals;
    }
    // The injector's pace.
    std::this_thread::sleep_for(std::chrono::milliseconds(4));
    return true;
}

void FaultInjector::Clear() {
    control::ClearFaults();
    m_server.ClearFaults();
    m_server.ResumeListening();
}

// ---- clocks -------------------------------------------------------------------------------

// A release still waiting in the queue is sent again at every tick, so the
// clock moves only while the pool has room.
bool ClockDriver::Step(uint64_t step) {
    WaitForRoom(kRoom, Clock::now() + std::chrono::seconds(60));
    vkl::Host::AdvanceClock(1000);
    if (step % 5 == 0) control::AdvancePlatformClock(1 + static_cast<int64_t>(m_random() % 10));
    // The clocks' pace: a second of the host's timers every 20 ms.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return true;
}

}  // namespace soak
