#include "ptz/ptz_motion.h"

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

#include "taskhub/task.h"
#include "vkl/time.h"

namespace Kestrel {

namespace {
constexpr int kLongestTickMs = 100;
constexpr int kShortestTickMs = 10;

int TickFor(int deadManMs) { return deadManMs <= 0 ? 0 : std::clamp(deadManMs, kShortestTickMs, kLongestTickMs); }

// The numbers of a move; its texts (code, menu key) apart.
void CopyNumbers(PtzOperateDirectReq& to, const PtzOperateDirectReq& from) {
    to.speed1 = from.speed1;
    to.speed2 = from.speed2;
    to.direction = from.direction;
    to.seq = from.seq;
}
void CopyNumbers(PtzOperateCameraReq& to, const PtzOperateCameraReq& from) {
    to.operType = from.operType;
    to.operCode = from.operCode;
    to.speed = from.speed;
    to.seq = from.seq;
}

// Keeps the stop of a move in the slot. A held joystick repeats the same
// channel and menu key: their texts are then kept, not copied again.
template <class Request>
void KeepStop(PtzMove& slot, const Request& req, MoveOrigin origin) {
    auto* held = std::get_if<Request>(&slot);
    if (held != nullptr && held->code == req.code && held->menuKey == req.menuKey) {
        CopyNumbers(*held, req);
    } else {
        slot = req;
        held = std::get_if<Request>(&slot);
    }
    held->start = 0;
    held->origin = origin;
}
}  // namespace

CPtzMotion::CPtzMotion(Poster post) : m_post(std::move(post)) {}

CPtzMotion::~CPtzMotion() { StopTimer(); }

void CPtzMotion::SetPolicy(const PtzMotionPolicy& given) {
    PtzMotionPolicy policy = given;
    if (policy.deadManMs < 0) policy.deadManMs = 0;
    if (policy.leavingWaitMs < 0) policy.leavingWaitMs = 0;
    std::lock_guard<std::mutex> control(m_control);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // Moves made while superseding was off were not recorded: the newest
        // recorded then may be older than they are.
        if (policy.supersede && !m_policy.supersede) {
            for (auto& entry : m_channels) entry.second.tracked = false;
        }
        if (policy.deadManMs == 0) {
            for (auto& entry : m_channels) Disarm(entry.second);
        }
        m_policy = policy;
        m_active.store(policy.supersede || policy.deadManMs > 0, std::memory_order_release);
    }
    const int tick = TickFor(policy.deadManMs);
    if (tick == m_tickMs) return;
    KillTimer();
    m_tickMs = tick;
    if (tick == 0) return;
    m_timer = vkl::DRefPtr<CDeviceTimer>(new CDeviceTimer(this));
    unsigned int id = kNoTimer;
    m_timer->Start(id, tick);
    m_timerId.store(id);
}

PtzMotionPolicy CPtzMotion::Policy() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_policy;
}

void CPtzMotion::StopTimer() {
    std::lock_guard<std::mutex> control(m_control);
    KillTimer();
    m_tickMs = 0;
}

void CPtzMotion::KillTimer() {
    if (!m_timer) return;
    const unsigned int id = m_timerId.exchange(kNoTimer);
    if (id != kNoTimer) m_timer->Kill(id);
    m_timer->Release();
    m_timer.reset();
}

CPtzMotion::Channel& CPtzMotion::ChannelOf(const std::string& code) {
    if (m_lastCode != nullptr && *m_lastCode == code) return *m_lastChannel;
    auto it = m_channels.try_emplace(code).first;
    m_lastCode = &it->first;
    m_lastChannel = &it->second;
    return it->second;
}

void CPtzMotion::Disarm(Channel& channel) {
    if (!channel.armed) return;
    channel.armed = false;
    channel.renewed = false;
    --m_armed;
}

// A start arms (or re-arms) the dead-man; a stop disarms it.
template <class Request>
void CPtzMotion::Record(const Request& req) {
    Channel& channel = ChannelOf(req.code);
    if (m_policy.supersede) {
        channel.newest = req.seq;
        channel.tracked = true;
    }
    if (req.start != 1 || m_policy.deadManMs == 0) return Disarm(channel);
    if (channel.armed) {
        // A held move renews its channel many times a second: the next tick
        // reads the clock once for all of them (see CheckDeadMan).
        channel.renewed = true;
    } else {
        ++m_armed;
        channel.armed = true;
        channel.deadline = vkl::DTime::GetTime() + m_policy.deadManMs;
    }
    KeepStop(channel.deadManStop, req, MoveOrigin::DeadMan);
}

void CPtzMotion::RecordMade(const PtzOperateDirectReq& req) { Record(req); }
void CPtzMotion::RecordMade(const PtzOperateCameraReq& req) { Record(req); }

void CPtzMotion::Settled(const std::string& code) {
    if (!m_active.load(std::memory_order_acquire)) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_channels.find(code);
    if (it != m_channels.end()) Disarm(it->second);
}

template <class Request>
bool CPtzMotion::AdmitMove(const Request& req) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (req.origin != MoveOrigin::Leaving) {
        if (m_leaving) return false;
        if (m_policy.supersede) {
            auto it = m_channels.find(req.code);
            if (it != m_channels.end() && it->second.tracked && it->second.newest != req.seq) return false;
        }
    }
    Channel& channel = ChannelOf(req.code);
    channel.moving = req.start == 1;
    if (channel.moving) KeepStop(channel.leavingStop, req, MoveOrigin::Leaving);
    return true;
}

bool CPtzMotion::Admit(const PtzOperateDirectReq& req) { return AdmitMove(req); }
bool CPtzMotion::Admit(const PtzOperateCameraReq& req) { return AdmitMove(req); }

void CPtzMotion::Positioned(const std::string& code) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_channels.find(code);
    if (it != m_channels.end()) it->second.moving = false;
}

void CPtzMotion::OnTimer(unsigned int timerId) {
    if (timerId != m_timerId.load()) return;
    CheckDeadMan();
}

// A channel renewed since the last tick was renewed at the latest now, so
// its time runs from now: never early, at most one tick late. Each due
// channel's stop is recorded as the channel's newest move and queued in the
// same step, as a client's move would be.
void CPtzMotion::CheckDeadMan() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_armed == 0) return;
    const int64_t now = vkl::DTime::GetTime();
    for (auto& entry : m_channels) {
        Channel& channel = entry.second;
        if (!channel.armed) continue;
        if (channel.renewed) {
            channel.renewed = false;
            channel.deadline = now + m_policy.deadManMs;
            continue;
        }
        if (now < channel.deadline) continue;
        Disarm(channel);
        PtzMove stop = channel.deadManStop;
        const int seq = Taskhub::GetUniqueNum();
        std::visit([&](auto& req) { req.seq = seq; }, stop);
        if (m_policy.supersede) {
            channel.newest = seq;
            channel.tracked = true;
        }
        m_post(stop);
    }
}

void CPtzMotion::Leave() {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_policy.stopOnLeaving) return;
    m_leaving = true;
    for (auto& entry : m_channels) {
        Channel& channel = entry.second;
        if (!channel.moving) continue;
        ++m_leavingStops;
        m_post(channel.leavingStop);
    }
    m_leavingDone.wait_for(lock, std::chrono::milliseconds(m_policy.leavingWaitMs),
                           [this] { return m_leavingStops == 0; });
}

void CPtzMotion::Left() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_leaving = false;
}

void CPtzMotion::LeavingStopDone() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_leavingStops > 0) --m_leavingStops;
    m_leavingDone.notify_all();
}

}  // namespace Kestrel
