#include "second_operator.h"

#include <cstring>
#include <utility>

#include "zrsdk/zrsdk.h"
#include "zrsdk/zrsdk_session.h"

namespace kestrel_host {

namespace {
template <std::size_t N>
void CopyText(char (&field)[N], const std::string& text) {
    const std::size_t n = text.size() < N ? text.size() : N - 1;
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}
}  // namespace

SecondOperator::SecondOperator(std::string user, std::string password)
    : m_user(std::move(user)), m_password(std::move(password)) {}

SecondOperator::~SecondOperator() { LogOut(); }

int SecondOperator::LogIn() {
    if (m_session != 0) return 0;
    int session = 0;
    const int rc = ZRSDK_Login(m_user.c_str(), m_password.c_str(), &session);
    if (rc == 0) m_session = session;
    return rc;
}

void SecondOperator::LogOut() {
    if (m_session == 0) return;
    ZRSDK_Logout(m_session);
    m_session = 0;
}

SecondOperator::LockAnswer SecondOperator::Arrange(const std::string& code, int lock, int lockTime) {
    LockAnswer out;
    if ((out.rc = LogIn()) != 0) return out;
    ZRSDK_PTZ_LOCK_INFO info{};
    CopyText(info.code, code);
    info.lockTime = lockTime;
    info.lock = lock;
    CopyText(info.userName, m_user);
    ZRSDK_OPERATE_INFO operate{};
    CopyText(operate.menuKey, "M-PTZ-01");
    CopyText(operate.menuName, "PTZ control");
    ZRSDK_PTZ_RESULT result{};
    out.rc = ZRSDK_PtzArrangePtz(m_session, &info, &result, &operate);
    if (out.rc == 0) {
        out.status = result.status;
        char text[sizeof(result.text) + 1] = {};
        std::memcpy(text, result.text, sizeof(result.text));
        out.holder = text;
        out.answer = result.answer;
    }
    return out;
}

}  // namespace kestrel_host
