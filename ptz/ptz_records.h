#pragma once
// Text fields and the result record of the platform's PTZ calls.
#include <cstring>
#include <string>

#include "ptz/ptz_requests.h"
#include "vkl/str.h"
#include "zrsdk/zrsdk_types.h"

namespace Kestrel {

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

// The platform's answer is read only after a return of 0; text and answer
// only when the status is 0 as well.
inline void ReadPtzResult(int ret, const ZRSDK_PTZ_RESULT& record, PtzOperateResult& outcome) {
    if (ret != 0) return;
    outcome.status = record.status;
    if (record.status != 0) return;
    outcome.text = FieldText(record.text);
    outcome.answer = record.answer;
}

}  // namespace Kestrel
