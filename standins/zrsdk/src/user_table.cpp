#include "user_table.h"

#include "zrsdk/zrsdk_errors.h"

namespace zrsdk {

UserTable::UserTable() {
    Reset();
}

void UserTable::Reset() {
    m_users.clear();
    m_sessions.clear();
    for (const auto& user : control::DefaultUsers()) {
        AddUser(user);
    }
}

void UserTable::AddUser(const control::UserAccount& user) {
    m_users[user.name] = user;
}

int UserTable::Login(const std::string& name, const std::string& password, int& sessionId) {
    auto found = m_users.find(name);
    if (found == m_users.end() || found->second.password != password) {
        return ZRSDK_ERR_BAD_LOGIN;
    }
    // Ids keep growing across resets so that a stale id never hits a new session.
    sessionId = m_nextSessionId++;
    m_sessions[sessionId] = name;
    return ZRSDK_OK;
}

bool UserTable::Logout(int sessionId) {
    return m_sessions.erase(sessionId) > 0;
}

const control::UserAccount* UserTable::UserOf(int sessionId) const {
    auto session = m_sessions.find(sessionId);
    if (session == m_sessions.end()) {
        return nullptr;
    }
    auto user = m_users.find(session->second);
    return user == m_users.end() ? nullptr : &user->second;
}

std::vector<int> UserTable::Sessions() const {
    std::vector<int> ids;
    for (const auto& session : m_sessions) {
        ids.push_back(session.first);
    }
    return ids;
}

bool UserTable::HasSessionOf(const std::string& name) const {
    for (const auto& session : m_sessions) {
        if (session.second == name) {
            return true;
        }
    }
    return false;
}

}  // namespace zrsdk
