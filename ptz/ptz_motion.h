#pragma once
// The motion policy of the PTZ worker (kestrel/ptz_motion_policy.h): which
// direction and lens requests still go to the platform, the dead-man stop of
// a move nobody renews, and the stops sent when the client leaves.
//
// Per channel it keeps the newest move made (for superseding), the armed
// dead-man stop, and the stop of the move the platform was last told to make
// (for leaving). A move is recorded and posted under one lock, so the order
// in which moves reach the pool's queue is the order in which they were
// recorded, whether the client or the dead-man made them.
//
// Lock order: m_control (policy changes, the timer's life) before m_mutex
// (the channels). A tick takes only m_mutex, and the timer is stopped with
// m_control held but never m_mutex, so stopping it cannot wait for a tick
// that waits for a lock its stopper holds.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <variant>

#include "kestrel/ptz_motion_policy.h"
#include "ptz/device_timer.h"
#include "ptz/ptz_requests.h"
#include "ptz/timer_listener.h"
#include "vkl/ref_obj.h"

namespace Kestrel {

// A direction or lens request as the policy keeps it.
using PtzMove = std::variant<PtzOperateDirectReq, PtzOperateCameraReq>;

class CPtzMotion : public ITimerListener {
public:
    // Queues a move that the policy itself made (a dead-man or a leaving
    // stop) like any request; called with m_mutex held.
    using Poster = std::function<void(const PtzMove&)>;

    explicit CPtzMotion(Poster post);
    // Stops the timer; no tick reaches this object afterwards.
    ~CPtzMotion() override;

    void SetPolicy(const PtzMotionPolicy& policy);
    PtzMotionPolicy Policy();

    // A direction or lens request was made (client's thread); post() queues
    // it. With superseding and the dead-man off this is post() alone.
    template <class Request, class Post>
    void Made(const Request& req, Post post) {
        if (!m_active.load(std::memory_order_acquire)) return post();
        std::lock_guard<std::mutex> lock(m_mutex);
        RecordMade(req);
        post();
    }
    // A positioning or preset goto of the channel was made: the camera no
    // longer moves on its own, so its dead-man stop is not needed.
    void Settled(const std::string& code);

    // Just before a move's platform call (pool thread): false when it is not
    // to be sent, because a newer move of its channel was made or the client
    // is leaving. Records what the channel is told.
    bool Admit(const PtzOperateDirectReq& req);
    bool Admit(const PtzOperateCameraReq& req);
    // A positioning or preset goto is about to be sent (pool thread): the
    // channel is no longer told to move.
    void Positioned(const std::string& code);
    // A leaving stop is done with (sent, or found no session).
    void LeavingStopDone();

    // UnInit: with stop on leaving, sends the stop of every channel last told
    // to move and waits for them within the policy's bound; otherwise nothing.
    // Until Left, no other move is admitted.
    void Leave();
    // The session is gone (UnInit has forgotten the user): moves are admitted
    // again, and meet no session.
    void Left();
    // Stops the dead-man's timer (UnInit, destruction).
    void StopTimer();

    void OnTimer(unsigned int timerId) override;

    CPtzMotion(const CPtzMotion&) = delete;
    CPtzMotion& operator=(const CPtzMotion&) = delete;

private:
    struct Channel {
        int newest = 0;        // seq of the newest move made, when tracked
        bool tracked = false;  // newest holds a move made while superseding
        bool armed = false;    // a dead-man stop is due at deadline
        bool renewed = false;  // renewed since the last tick
        int64_t deadline = 0;  // ms of the host's clock
        PtzMove deadManStop;
        bool moving = false;   // the platform was last told to move
        PtzMove leavingStop;
    };

    Channel& ChannelOf(const std::string& code);
    // Under m_mutex.
    void RecordMade(const PtzOperateDirectReq& req);
    void RecordMade(const PtzOperateCameraReq& req);
    template <class Request>
    void Record(const Request& req);
    template <class Request>
    bool AdmitMove(const Request& req);
    void Disarm(Channel& channel);
    void CheckDeadMan();
    // Stops and drops the timer; m_control held, m_mutex not.
    void KillTimer();

    const Poster m_post;
    std::mutex m_control;
    std::mutex m_mutex;
    std::condition_variable m_leavingDone;
    PtzMotionPolicy m_policy;
    // Superseding or dead-man on: moves are recorded when made.
    std::atomic<bool> m_active{false};
    std::unordered_map<std::string, Channel> m_channels;
    // The channel of the last lookup: a held joystick asks for it again and again.
    const std::string* m_lastCode = nullptr;
    Channel* m_lastChannel = nullptr;
    int m_armed = 0;
    bool m_leaving = false;
    int m_leavingStops = 0;
    vkl::DRefPtr<CDeviceTimer> m_timer;
    std::atomic<unsigned int> m_timerId{kNoTimer};
    int m_tickMs = 0;
};

}  // namespace Kestrel
