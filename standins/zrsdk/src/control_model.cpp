// Control functions that shape the platform's accounts and channels.
#include "platform.h"
#include "zrsdk/zrsdk_control.h"

namespace zrsdk {
namespace control {

void Reset() {
    auto& platform = Platform::Instance();
    platform.Events().DropPending();
    platform.ResetData();
}

void ResetAll() {
    auto& platform = Platform::Instance();
    std::vector<int> sessions;
    {
        std::lock_guard<std::mutex> lock(platform.Mutex());
        sessions = platform.users.Sessions();
        platform.users.Reset();
    }
    for (int id : sessions) {
        platform.Events().RemoveSession(id);
    }
    Reset();
}

void AddUser(const UserSpec& user) {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    platform.users.AddUser(user);
}

void AddChannel(const ChannelSpec& channel) {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    platform.channels.Add(channel);
}

bool RemoveChannel(const std::string& code) {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    return platform.channels.Remove(code);
}

std::vector<int> LoggedInSessions() {
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    return platform.users.Sessions();
}

}  // namespace control
}  // namespace zrsdk
