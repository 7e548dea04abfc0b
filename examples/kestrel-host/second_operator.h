#pragma once
// A second platform user working at another client: it logs in with the
// platform SDK directly and takes or releases PTZ locks, so that the host's
// operator can be refused. Logs out when destroyed.
#include <string>

namespace kestrel_host {

class SecondOperator {
public:
    SecondOperator(std::string user, std::string password);
    ~SecondOperator();
    SecondOperator(const SecondOperator&) = delete;
    SecondOperator& operator=(const SecondOperator&) = delete;

    // 0 on success (also when already logged in), else the platform's code.
    int LogIn();
    void LogOut();
    bool LoggedIn() const { return m_session != 0; }
    const std::string& User() const { return m_user; }

    struct LockAnswer {
        int rc = 0;      // the call's return code
        int status = 0;  // 1 granted, 0 refused
        std::string holder;
        int answer = 0;  // seconds granted, or left on the holder's lock
    };
    // lock: 1 take, 2 release, 5 query (the platform's codes). Logs in first
    // when needed.
    LockAnswer Arrange(const std::string& code, int lock, int lockTime);

private:
    std::string m_user;
    std::string m_password;
    int m_session = 0;
};

}  // namespace kestrel_host
