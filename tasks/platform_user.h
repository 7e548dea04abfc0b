#pragma once
// What every platform call needs from the logged-in user: the session id and
// the operator record built from the caller's menu key; and the bounded text
// copies into the platform's fixed fields.
#include <cstring>
#include <string>

#include "vkl/str.h"
#include "zrsdk/zrsdk_types.h"

namespace AccountLogic {
class CUserManagerExternal;
class CLoginManagerExternal;
}  // namespace AccountLogic

namespace Kestrel {

// False when there is no user manager (nobody to act for).
bool ReadSessionId(AccountLogic::CUserManagerExternal* user, int& sessionId);

// Menu code and name for a menu key: both stay as given (code = key, empty
// name) when there is no login manager or it does not know the key.
void ResolveMenu(AccountLogic::CLoginManagerExternal* login, const std::string& menuKey, std::string& menuCode,
                 std::string& menuName);

// The operator record of a platform call, zero-filled and then filled.
void FillOperateInfo(AccountLogic::CLoginManagerExternal* login, const std::string& menuKey,
                     ZRSDK_OPERATE_INFO& info);

// Copies text into a fixed field, truncated and always terminated.
template <std::size_t N>
void CopyText(char (&field)[N], const std::string& text) {
    vkl::DStr::strcpy_x(field, N, text.c_str());
}

// The text of a fixed field: up to its first NUL, never past the field.
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

}  // namespace Kestrel
