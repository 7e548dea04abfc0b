#pragma once
// Text fields and the result record of the platform's PTZ calls.
#include <cstring>
#include <string>

#include "ptz/ptz_requests.h"
#include "tasks/platform_user.h"
#include "zrsdk/zrsdk_types.h"

namespace Kestrel {

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
