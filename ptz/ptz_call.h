#pragma once
// How a PTZ handler makes its platform call: for the logged-in user only,
// with the operator record of the request's menu key, and with the answer
// record read the one way every PTZ answer is read.
#include <string>

#include "ptz/ptz.h"
#include "ptz/ptz_records.h"
#include "zrsdk/zrsdk_types.h"

namespace Kestrel {

template <class Call>
int CPtz::CallForUser(Call call) const {
    constexpr int kNoUser = -1;
    int sessionId = 0;
    return GetSession(sessionId) ? call(sessionId) : kNoUser;
}

template <class Call>
int CPtz::CallWithOperator(const std::string& menuKey, Call call) const {
    return CallForUser([&](int sessionId) {
        ZRSDK_OPERATE_INFO operate;
        FillOperateInfo(menuKey, operate);
        return call(sessionId, &operate);
    });
}

template <class Call>
int CPtz::CallWithResult(const std::string& menuKey, PtzOperateResult& outcome, Call call) const {
    return CallWithOperator(menuKey, [&](int sessionId, ZRSDK_OPERATE_INFO* operate) {
        ZRSDK_PTZ_RESULT result{};
        const int ret = call(sessionId, operate, &result);
        ReadPtzResult(ret, result, outcome);
        return ret;
    });
}

}  // namespace Kestrel
