#include "sdk_subscription.h"

#include <map>
#include <mutex>

#include "vkl/log.h"
#include "zrsdk/zrsdk_session.h"

namespace AccountLogic {

namespace {

// Live receivers by token. The lock is held while a receiver runs, so ending
// a subscription waits for a call in progress.
struct Receivers {
    std::mutex mutex;
    std::map<uintptr_t, SdkSubscription::Receiver> byToken;
    uintptr_t nextToken = 1;
};

Receivers& Registry() {
    static Receivers receivers;
    return receivers;
}

void OnLoginEvent(int type, int result, void* data, unsigned int size, void* user) {
    Receivers& r = Registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.byToken.find(reinterpret_cast<uintptr_t>(user));
    if (it != r.byToken.end()) it->second(type, result, data, size);
}

void LogRefusal(int line, const char* call, int sessionId, int rc) {
    vkl::DPrintLog::instance()->Log("AccountLogic", line, "AccountLogic::SdkSubscription", "", vkl::LOG_LEVEL_ERROR,
                                    "%s(session %d) failed: %d", call, sessionId, rc);
}

}  // namespace

SdkSubscription::SdkSubscription(int sessionId, Receiver receiver) : m_sessionId(sessionId) {
    Receivers& r = Registry();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        m_token = r.nextToken++;
        r.byToken.emplace(m_token, std::move(receiver));
    }
    m_result = ZRSDK_SetLoginEventCallback(m_sessionId, &OnLoginEvent,
                                           reinterpret_cast<void*>(m_token));
    if (m_result != 0) LogRefusal(__LINE__, "ZRSDK_SetLoginEventCallback", m_sessionId, m_result);
}

SdkSubscription::~SdkSubscription() {
    if (m_result == 0) {
        const int rc = ZRSDK_SetLoginEventCallback(m_sessionId, nullptr, nullptr);
        if (rc != 0) LogRefusal(__LINE__, "ZRSDK_SetLoginEventCallback(null)", m_sessionId, rc);
    }
    Receivers& r = Registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.byToken.erase(m_token);
}

}  // namespace AccountLogic
