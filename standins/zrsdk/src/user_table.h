#pragma once
// Platform accounts and the sessions logged in with them.
#include <map>
#include <string>
#include <vector>

#include "zrsdk/zrsdk_control.h"

namespace zrsdk {

class UserTable {
public:
    UserTable();
    // Back to the default accounts and no sessions.
    void Reset();
    // Replaces an account of the same name.
    void AddUser(const control::UserAccount& user);
    // ZRSDK_OK and a new id, or ZRSDK_ERR_BAD_LOGIN.
    int Login(const std::string& name, const std::string& password, int& sessionId);
    bool Logout(int sessionId);
    // The account of a live session, or null.
    const control::UserAccount* UserOf(int sessionId) const;
    std::vector<int> Sessions() const;
    bool HasSessionOf(const std::string& name) const;

private:
    std::map<std::string, control::UserAccount> m_users;
    std::map<int, std::string> m_sessions;
    int m_nextSessionId = 1001;
};

}  // namespace zrsdk
