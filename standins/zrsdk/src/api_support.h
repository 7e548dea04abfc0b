#pragma once
// Steps every SDK entry shares: who is calling, which channel, and the PTZ
// answer record. All need the platform lock held.
#include <string>

#include "platform.h"
#include "record_text.h"
#include "zrsdk/zrsdk_errors.h"
#include "zrsdk/zrsdk_types.h"

namespace zrsdk {

// ZRSDK_OK and the session's user, or ZRSDK_ERR_INVALID_SESSION.
inline int SessionUser(Platform& platform, int sessionId, const control::UserAccount*& user) {
    user = platform.users.UserOf(sessionId);
    return user != nullptr ? ZRSDK_OK : ZRSDK_ERR_INVALID_SESSION;
}

inline int FindChannel(Platform& platform, const std::string& code, Channel*& channel) {
    channel = platform.channels.Find(code);
    return channel != nullptr ? ZRSDK_OK : ZRSDK_ERR_UNKNOWN_CHANNEL;
}

// A PTZ channel that `user` may steer: known, PTZ, and not locked by another.
inline int FindSteerablePtz(Platform& platform, const std::string& code, const std::string& user,
                            Channel*& channel) {
    if (int rc = FindChannel(platform, code, channel)) {
        return rc;
    }
    if (!channel->info.isPtz) {
        return ZRSDK_ERR_NOT_PTZ;
    }
    if (platform.locks.HeldByOther(code, user, platform.Now()) != nullptr) {
        return ZRSDK_ERR_PTZ_LOCKED;
    }
    return ZRSDK_OK;
}

inline void FillPtzResult(ZRSDK_PTZ_RESULT* result, int status, const std::string& text,
                          int answer) {
    *result = ZRSDK_PTZ_RESULT{};
    result->status = status;
    WriteText(result->text, text);
    result->answer = answer;
}

inline std::string OperatorText(const ZRSDK_OPERATE_INFO* info, bool key) {
    if (info == nullptr) {
        return std::string();
    }
    return key ? ReadText(info->menuKey) : ReadText(info->menuName);
}

}  // namespace zrsdk

namespace zrsdk {

// Runs op(channel, user) on a PTZ channel the session's user may steer, with
// the platform lock held; returns op's code or the refusal.
template <class Op>
int WithSteerablePtz(int sessionId, const std::string& code, Op op) {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    const control::UserAccount* user = nullptr;
    Channel* channel = nullptr;
    if (int rc = SessionUser(platform, sessionId, user)) {
        return rc;
    }
    if (int rc = FindSteerablePtz(platform, code, user->name, channel)) {
        return rc;
    }
    return op(*channel, *user);
}

}  // namespace zrsdk
