// Session side of the SDK: login, logout, the login connection's callback
// and the channel list.
#include <algorithm>
#include <cstring>

#include "platform.h"
#include "zrsdk/zrsdk_errors.h"
#include "zrsdk/zrsdk_session.h"

using zrsdk::Platform;

namespace {

void CopyText(char* dest, std::size_t size, const std::string& text) {
    const std::size_t n = std::min(size - 1, text.size());
    std::memcpy(dest, text.data(), n);
    dest[n] = '\0';
}

}  // namespace

extern "C" {

HOST_API int ZRSDK_Login(const char* user, const char* password, int* sessionId) {
    if (user == nullptr || password == nullptr || sessionId == nullptr) {
        return ZRSDK_ERR_INVALID_PARAM;
    }
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    return platform.users.Login(user, password, *sessionId);
}

HOST_API int ZRSDK_Logout(int sessionId) {
    auto& platform = Platform::Instance();
    {
        std::lock_guard<std::mutex> lock(platform.Mutex());
        if (!platform.users.Logout(sessionId)) {
            return ZRSDK_ERR_INVALID_SESSION;
        }
    }
    platform.Events().RemoveSession(sessionId);
    return ZRSDK_OK;
}

HOST_API int ZRSDK_SetLoginEventCallback(int sessionId, ZRSDK_LoginEventCallback cb, void* user) {
    auto& platform = Platform::Instance();
    {
        std::lock_guard<std::mutex> lock(platform.Mutex());
        if (platform.users.UserOf(sessionId) == nullptr) {
            return ZRSDK_ERR_INVALID_SESSION;
        }
    }
    platform.Events().SetCallback(sessionId, cb, user);
    return ZRSDK_OK;
}

HOST_API int ZRSDK_QueryChannels(int sessionId, ZRSDK_CHANNEL_ENTRY* entries, int capacity,
                                 int* count) {
    if (count == nullptr || capacity < 0 || (entries == nullptr && capacity > 0)) {
        return ZRSDK_ERR_INVALID_PARAM;
    }
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    if (platform.users.UserOf(sessionId) == nullptr) {
        return ZRSDK_ERR_INVALID_SESSION;
    }
    const auto all = platform.channels.All();
    *count = static_cast<int>(all.size());
    const std::size_t filled = std::min(all.size(), static_cast<std::size_t>(capacity));
    for (std::size_t i = 0; i < filled; ++i) {
        const auto& spec = all[i]->spec;
        ZRSDK_CHANNEL_ENTRY& entry = entries[i];
        std::memset(&entry, 0, sizeof(entry));
        CopyText(entry.code, sizeof(entry.code), spec.code);
        CopyText(entry.channelId, sizeof(entry.channelId), spec.channelId);
        CopyText(entry.name, sizeof(entry.name), spec.name);
        CopyText(entry.deviceCode, sizeof(entry.deviceCode), spec.deviceCode);
        entry.channelNo = spec.channelNo;
        entry.isPtz = spec.isPtz ? 1 : 0;
    }
    return ZRSDK_OK;
}

}  // extern "C"
