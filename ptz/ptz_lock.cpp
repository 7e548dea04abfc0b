// The PTZ lock: asking the platform for a lock, a release or the lock state,
// the table of channels this client holds locked, the one-second timer that
// releases a lock whose time has run out, and the server's lock-status notices.
//
// Lock order. The timer's tick runs on the timer thread and takes m_mutex
// (OnTimer). Stopping a timer (Kill, Release) waits for a tick in progress.
// If a thread holding m_mutex stopped the timer, it would wait for a tick
// that waits for m_mutex: a deadlock. So UpdateLockTimer, which runs under
// m_mutex, never stops a timer itself: when the table becomes empty it moves
// the timer and its id to m_retiredTimers and sets m_timerId to kNoTimer.
// Every public entry that can change the table (the lock handler, the
// façade's DelLockCamera, UnInit, the destructor) calls ReleaseRetiredTimers
// after it has left m_mutex, and only there are timers killed and released.
// OnTimer compares the id with the atomic m_timerId before it takes m_mutex
// and again once it holds it, so a tick of a retired timer does nothing; and
// once Release has returned no tick reaches this worker at all.
#include <algorithm>
#include <cstring>
#include <memory>
#include <tuple>
#include <utility>

#include "ptz/ptz.h"
#include "ptz/ptz_records.h"
#include "taskhub/task.h"
#include "tasks/queue_keys.h"
#include "tasks/raw_reader.h"
#include "vkl/time.h"
#include "zrsdk/zrsdk.h"

namespace Kestrel {

namespace {
constexpr int kRefused = -1;
// A lock or release that the platform answered but did not grant.
constexpr int kLockRefused = -501;
constexpr int kLockTickMs = 1000;
constexpr int kGranted = 1;

int64_t NowSeconds() { return vkl::DTime::GetTime() / 1000; }

// The last second at which the entry has not yet run out.
int64_t Deadline(const LockCameraInfo& entry) { return entry.startTime + static_cast<int64_t>(entry.duration); }

// Offsets of the lock-status notice (login event 40).
constexpr std::size_t kStatusAt = 0;
constexpr std::size_t kCodeAt = 4, kCodeWidth = 64;
constexpr std::size_t kMessageAt = 68, kMessageWidth = 256;
constexpr std::size_t kInfoAt = 324, kInfoWidth = 20;
static_assert(sizeof(ZRSDK_LOCKSTATUS_CHANGED_NOTIFY) == std::tuple_size<LockStatusRecord>::value,
              "the lock-status record is carried whole");
}  // namespace

// ---- façade operations -----------------------------------------------------------------

int CPtz::SetLock(const std::string& code, int lock, const std::string& menuKey, int lockTime) {
    PtzArrangePtzReq req;
    req.menuKey = menuKey;
    req.code = code;
    req.lock = lock;
    req.seq = Taskhub::GetUniqueNum();
    req.lockTime = lockTime;
    PostArrangePtz(req);
    return req.seq;
}

int CPtz::QueryLockState(const std::string& code) {
    PtzArrangePtzReq req;
    req.code = code;
    req.lock = QUERY_LOCK_STATE;
    req.seq = Taskhub::GetUniqueNum();
    PostArrangePtz(req);
    return req.seq;
}

void CPtz::PostArrangePtz(const PtzArrangePtzReq& req) {
    PostRequest(QueueKey::kPtz, &CPtz::HandlePtzArrangePtzReq, req);
}

bool CPtz::IsLock(const std::string& code) {
    vkl::DMutexGuard guard(m_mutex);
    return m_lockTable.count(code) != 0;
}

int CPtz::DelLockCamera(const std::string& code) {
    const int removed = RemoveLockCamera(code);
    ReleaseRetiredTimers();
    return removed;
}

void CPtz::SetMaxLockTime(int seconds) {
    vkl::DMutexGuard guard(m_mutex);
    m_maxLockTime = seconds;
}

std::map<std::string, LockCameraInfo> CPtz::GetLockTable() {
    vkl::DMutexGuard guard(m_mutex);
    std::map<std::string, LockCameraInfo> table;
    for (const auto& [code, channel] : m_lockTable) table.emplace(code, channel.info);
    return table;
}

bool CPtz::IsLockTimerRunning() {
    vkl::DMutexGuard guard(m_mutex);
    return m_timer && m_timerId.load() != kNoTimer;
}

// ---- lock table and timer ---------------------------------------------------------------

// A lock granted again with duration 0 keeps the recorded duration; in every
// case the entry's clock starts anew.
void CPtz::AddLockCamera(const std::string& code, int duration) {
    vkl::DMutexGuard guard(m_mutex);
    auto [it, added] = m_lockTable.try_emplace(code);
    LockCameraInfo& entry = it->second.info;
    if (!added) m_lockDeadlines.erase(it->second.due);
    if (added || duration != 0) entry.duration = duration;
    entry.code = code;
    entry.startTime = NowSeconds();
    it->second.due = m_lockDeadlines.emplace(Deadline(entry), &entry);
    UpdateLockTimer();
}

int CPtz::RemoveLockCamera(const std::string& code) {
    vkl::DMutexGuard guard(m_mutex);
    auto it = m_lockTable.find(code);
    const int removed = it != m_lockTable.end() ? 1 : 0;
    if (it != m_lockTable.end()) {
        m_lockDeadlines.erase(it->second.due);
        m_lockTable.erase(it);
    }
    UpdateLockTimer();
    return removed;
}

// Under m_mutex; UpdateLockTimer is the caller's.
void CPtz::ClearLockTable() {
    vkl::DMutexGuard guard(m_mutex);
    m_lockTable.clear();
    m_lockDeadlines.clear();
}

// Under m_mutex. Starts the timer while locks are recorded; retires it (see
// the lock order at the top) when none are left.
void CPtz::UpdateLockTimer() {
    vkl::DMutexGuard guard(m_mutex);
    if (!m_lockTable.empty()) {
        if (!m_timer) m_timer = vkl::DRefPtr<CDeviceTimer>(new CDeviceTimer(this));
        if (m_timer && m_timerId.load() == kNoTimer) {
            unsigned int id = kNoTimer;
            m_timer->Start(id, kLockTickMs);
            m_timerId = id;
        }
        return;
    }
    if (!m_timer) return;
    m_retiredTimers.emplace_back(m_timer, m_timerId.exchange(kNoTimer));
    m_timer.reset();
}

// With m_mutex not held by this thread: a tick in progress may be waiting for it.
void CPtz::ReleaseRetiredTimers() {
    std::vector<std::pair<vkl::DRefPtr<CDeviceTimer>, unsigned int>> retired;
    {
        vkl::DMutexGuard guard(m_mutex);
        retired.swap(m_retiredTimers);
    }
    for (auto& [timer, id] : retired) {
        if (id != kNoTimer) timer->Kill(id);
        timer->Release();
    }
}

void CPtz::OnTimer(unsigned int timerId) {
    if (timerId == kNoTimer || timerId != m_timerId.load()) return;
    // Keeps the worker alive through the tick; a worker on its way out
    // (its last owner gone) gets no tick.
    boost::shared_ptr<CPtz> self = weak_from_this().lock();
    if (!self) return;
    vkl::DMutexGuard guard(m_mutex);
    if (timerId != m_timerId.load()) return;  // retired while this tick waited
    CheckLockTimeout();
}

// Under m_mutex, on the timer thread. An expired entry stays recorded until
// the release's answer changes the table, so every tick until then sends
// another release. The entries that ran out (now - startTime > duration)
// are found through m_lockDeadlines and handled in key order; the others
// are not visited, so the mutex is held for the expired entries only and
// not for the whole table.
void CPtz::CheckLockTimeout() {
    vkl::DMutexGuard guard(m_mutex);
    const int64_t now = NowSeconds();
    std::vector<const LockCameraInfo*> expired;
    for (auto it = m_lockDeadlines.begin(); it != m_lockDeadlines.end() && it->first < now; ++it)
        expired.push_back(it->second);
    std::sort(expired.begin(), expired.end(),
              [](const LockCameraInfo* a, const LockCameraInfo* b) { return a->code < b->code; });
    for (const LockCameraInfo* entry : expired) {
        PtzArrangePtzReq req;
        req.code = entry->code;
        req.lock = UNLOCK_PTZ;
        req.seq = Taskhub::GetUniqueNum();
        PostPtzResult(CPtzParam::PTZ_EVENT_LOCK_EXPIRED, 0, entry->code, req.seq);
        PostArrangePtz(req);
    }
}

// What the platform's answer means for the table: a lock granted (status
// non-zero) is recorded, a lock refused or failed is forgotten; a release
// that went through is forgotten, one that was refused or failed stays
// recorded (or is recorded), so that the timer tries again. Queries change
// nothing. After UnInit (which empties the table under m_mutex) an answer
// that was already on its way records nothing, so no timer outlives UnInit.
void CPtz::ApplyLockOutcome(const PtzArrangePtzReq& req, int ret, int status) {
    vkl::DMutexGuard guard(m_mutex);
    if (m_userManager.load() == nullptr) return;
    if (req.lock == LOCK_PTZ) {
        if (ret == 0 && status != 0)
            AddLockCamera(req.code, req.lockTime);
        else
            RemoveLockCamera(req.code);
    } else if (req.lock == UNLOCK_PTZ) {
        if (ret == 0 && status != 0)
            RemoveLockCamera(req.code);
        else
            AddLockCamera(req.code, 0);
    }
}

// ---- handlers ---------------------------------------------------------------------------

// Without a user manager (after UnInit) nothing is sent and the table stays
// as it is; the request is answered with -1.
void CPtz::HandlePtzArrangePtzReq(WeakPtr weak, const PtzArrangePtzReq& req) {
    boost::shared_ptr<CPtz> self = weak.lock();
    if (!self) return;
    PtzOperateResult outcome;
    int ret = kRefused;
    int sessionId = 0;
    if (self->GetSession(sessionId)) {
        // Its answer is not checked: on failure the user texts stay empty.
        ZRSDK_USER_LOGIN_DATA login{};
        ZRSDK_GetUserLoginData(sessionId, &login);

        ZRSDK_PTZ_LOCK_INFO info{};
        CopyText(info.code, req.code);
        info.lockTime = req.lockTime;
        info.lock = req.lock;
        CopyText(info.userCode, FieldText(login.userCode));
        CopyText(info.userName, FieldText(login.userName));

        ZRSDK_OPERATE_INFO operate;
        self->FillOperateInfo(req.menuKey, operate);
        ZRSDK_PTZ_RESULT result{};
        ret = ZRSDK_PtzArrangePtz(sessionId, &info, &result, &operate);
        ReadPtzResult(ret, result, outcome);

        self->ApplyLockOutcome(req, ret, outcome.status);
        self->ReleaseRetiredTimers();
    }

    int code = ret;
    if (ret == 0 && req.lock != QUERY_LOCK_STATE && outcome.status != kGranted) code = kLockRefused;
    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_LOCK, code);
    param->SetSeq(req.seq);
    param->SetCode(req.code);
    param->SetParam(req.lock);
    param->SetMsg(outcome.text);
    self->PostResultToUI(param);
}

// Login event 40, on the login connection's thread: only a whole record is
// taken; anything else is dropped.
void CPtz::OnLockStatusNotify(const void* data, unsigned int size) {
    LockStatusRecord record;
    if (data == nullptr || size != record.size()) return;
    std::memcpy(record.data(), data, record.size());
    PostRequest(QueueKey::kPtz, &CPtz::HandleLockStatusNotify, record);
}

// The one PTZ event delivered on the pool thread instead of the UI loop.
void CPtz::HandleLockStatusNotify(WeakPtr weak, const LockStatusRecord& record) {
    boost::shared_ptr<CPtz> self = weak.lock();
    if (!self) return;
    const CRawReader reader(record.data(), record.size());
    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED, 0);
    param->SetCode(reader.Text(kCodeAt, kCodeWidth));
    param->SetMsg(reader.Text(kMessageAt, kMessageWidth));
    param->SetInfo(reader.Text(kInfoAt, kInfoWidth));
    param->SetParam(reader.I32(kStatusAt));
    self->NotifyNow(param);
}

}  // namespace Kestrel
