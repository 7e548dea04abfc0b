// Session side of the SDK: login, logout, the login connection's callback
// and the channel list.
#include <algorithm>

#include "api_support.h"
#include "call_hooks.h"
#include "zrsdk/zrsdk_session.h"

using namespace zrsdk;

extern "C" {

ZRSDK_API int ZRSDK_Login(const char* user, const char* password, int* sessionId) {
    CallScope call("ZRSDK_Login", 0);
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (user == nullptr || password == nullptr || sessionId == nullptr) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    return call.Finish(platform.users.Login(user, password, *sessionId));
}

ZRSDK_API int ZRSDK_Logout(int sessionId) {
    CallScope call("ZRSDK_Logout", sessionId);
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    auto& platform = Platform::Instance();
    {
        std::lock_guard<std::mutex> lock(platform.Mutex());
        const control::UserAccount* user = nullptr;
        if ((rc = SessionUser(platform, sessionId, user))) {
            return call.Finish(rc);
        }
        const std::string name = user->name;
        platform.users.Logout(sessionId);
        platform.ReleaseLocksOfDepartedUser(name);
    }
    // Outside the platform lock: this waits for a running callback, which
    // may itself be calling the SDK.
    platform.Events().RemoveSession(sessionId);
    return call.Finish(ZRSDK_OK);
}

ZRSDK_API int ZRSDK_SetLoginEventCallback(int sessionId, ZRSDK_LoginEventCallback cb, void* user) {
    CallScope call("ZRSDK_SetLoginEventCallback", sessionId);
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    auto& platform = Platform::Instance();
    {
        std::lock_guard<std::mutex> lock(platform.Mutex());
        const control::UserAccount* account = nullptr;
        if ((rc = SessionUser(platform, sessionId, account))) {
            return call.Finish(rc);
        }
    }
    platform.Events().SetCallback(sessionId, cb, user);
    return call.Finish(ZRSDK_OK);
}

ZRSDK_API int ZRSDK_QueryChannels(int sessionId, ZRSDK_CHANNEL_ENTRY* entries, int capacity,
                                 int* count) {
    CallScope call("ZRSDK_QueryChannels", sessionId);
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (count == nullptr || capacity < 0 || (entries == nullptr && capacity > 0)) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    const control::UserAccount* user = nullptr;
    if ((rc = SessionUser(platform, sessionId, user))) {
        return call.Finish(rc);
    }
    const auto all = platform.channels.All();
    *count = static_cast<int>(all.size());
    const std::size_t filled = std::min(all.size(), static_cast<std::size_t>(capacity));
    for (std::size_t i = 0; i < filled; ++i) {
        const auto& info = all[i]->info;
        ZRSDK_CHANNEL_ENTRY& entry = entries[i];
        entry = ZRSDK_CHANNEL_ENTRY{};
        WriteText(entry.code, info.code);
        WriteText(entry.channelId, info.channelId);
        WriteText(entry.name, info.name);
        WriteText(entry.deviceCode, info.deviceCode);
        entry.channelNo = info.channelNo;
        entry.isPtz = info.isPtz ? 1 : 0;
    }
    return call.Finish(ZRSDK_OK);
}

}  // extern "C"
