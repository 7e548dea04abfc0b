// Preset points and the cruise of a PTZ channel.
#include <memory>

#include "api_support.h"
#include "call_hooks.h"
#include "zrsdk/zrsdk.h"

using namespace zrsdk;

namespace {

constexpr std::size_t kCodeLimit = 64;
constexpr int32_t kMaxCruiseItems = 256;

// The cruise answer with its items, alive while the callback runs.
struct CruiseAnswer {
    ZRSDK_CRUISE_PRESET record{};
    std::vector<ZRSDK_CRUISE_PRESET_ITEM> items;
};

std::unique_ptr<CruiseAnswer> BuildCruiseAnswer(const Channel& channel) {
    const auto& cruise = channel.ptz.Cruise();
    auto answer = std::make_unique<CruiseAnswer>();
    WriteText(answer->record.code,
              cruise.reportedCode.empty() ? channel.info.code : cruise.reportedCode);
    WriteText(answer->record.name, cruise.name);
    answer->record.enabled = 1;
    for (const auto& info : cruise.items) {
        ZRSDK_CRUISE_PRESET_ITEM item{};
        item.presetNo = info.presetIndex;
        item.presetIndex = info.presetIndex;
        item.idleTime = info.idleTime;
        WriteText(item.beginTime, info.beginTime);
        WriteText(item.endTime, info.endTime);
        answer->items.push_back(item);
    }
    answer->record.itemCount = static_cast<int32_t>(answer->items.size());
    answer->record.items = answer->items.empty() ? nullptr : answer->items.data();
    return answer;
}

std::string CodeText(const char* code) {
    return ReadText(code, strnlen(code, kCodeLimit));
}

}  // namespace

extern "C" {

ZRSDK_API int ZRSDK_PtzGetPresetPoints(int sessionId, const char* channelCode, void* buffer,
                                      unsigned int bufferSize) {
    CallScope call("ZRSDK_PtzGetPresetPoints", sessionId);
    call.CaptureText(channelCode, kCodeLimit);
    call.SetOutputSize(bufferSize);
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (channelCode == nullptr || buffer == nullptr || bufferSize < sizeof(int32_t)) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    const control::UserAccount* user = nullptr;
    Channel* channel = nullptr;
    if ((rc = SessionUser(platform, sessionId, user)) ||
        (rc = FindChannel(platform, CodeText(channelCode), channel))) {
        return call.Finish(rc);
    }
    if (!channel->info.isPtz) {
        return call.Finish(ZRSDK_ERR_NOT_PTZ);
    }
    // The count is the channel's total; entries go in number order as far as
    // whole entries fit, and no byte past bufferSize is written.
    const auto& presets = channel->ptz.Presets();
    auto* out = static_cast<uint8_t*>(buffer);
    const int32_t count = static_cast<int32_t>(presets.size());
    std::memcpy(out, &count, sizeof(count));
    const std::size_t room = (bufferSize - sizeof(int32_t)) / sizeof(ZRSDK_PRESET_POINT);
    std::size_t written = 0;
    for (const auto& entry : presets) {
        if (written == room) {
            break;
        }
        ZRSDK_PRESET_POINT point{};
        WriteText(point.name, entry.second.name);
        WriteText(point.indexText, std::to_string(entry.first));
        std::memcpy(out + sizeof(int32_t) + written * sizeof(point), &point, sizeof(point));
        ++written;
    }
    return call.Finish(ZRSDK_OK);
}

ZRSDK_API int ZRSDK_PtzOperatePresetPoint(int sessionId, const ZRSDK_PTZ_PRESET_INFO* info,
                                         ZRSDK_PTZ_RESULT* result,
                                         const ZRSDK_OPERATE_INFO* operateInfo) {
    CallScope call("ZRSDK_PtzOperatePresetPoint", sessionId);
    call.CaptureInput(info, sizeof(*info));
    call.CaptureOperateInfo(operateInfo);
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    int index = 0;
    if (info == nullptr || result == nullptr || !ParseInt(ReadText(info->indexText), index)) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    if (info->op != ZRSDK_PRESET_GOTO && info->op != ZRSDK_PRESET_SET &&
        info->op != ZRSDK_PRESET_DELETE) {
        return call.Finish(ZRSDK_ERR_UNSUPPORTED);
    }
    std::string name;
    rc = WithSteerablePtz(sessionId, ReadText(info->code),
                          [&](Channel& channel, const control::UserAccount&) {
                              switch (info->op) {
                                  case ZRSDK_PRESET_SET:
                                      return channel.ptz.SetPreset(index, ReadText(info->name),
                                                                   name);
                                  case ZRSDK_PRESET_GOTO:
                                      return channel.ptz.GotoPreset(index, name);
                                  default:
                                      return channel.ptz.DeletePreset(index, name);
                              }
                          });
    if (rc == ZRSDK_OK) {
        FillPtzResult(result, 0, name, index);
    }
    return call.Finish(rc);
}

ZRSDK_API int ZRSDK_GetChannelCruisePreset(int sessionId, const char* channelCode,
                                          ZRSDK_CruisePresetCallback callback, void* user,
                                          const ZRSDK_OPERATE_INFO* operateInfo) {
    CallScope call("ZRSDK_GetChannelCruisePreset", sessionId);
    call.CaptureText(channelCode, kCodeLimit);
    call.CaptureOperateInfo(operateInfo);
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (channelCode == nullptr || callback == nullptr) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    std::unique_ptr<CruiseAnswer> answer;
    {
        auto& platform = Platform::Instance();
        std::lock_guard<std::mutex> lock(platform.Mutex());
        const control::UserAccount* account = nullptr;
        Channel* channel = nullptr;
        if ((rc = SessionUser(platform, sessionId, account)) ||
            (rc = FindChannel(platform, CodeText(channelCode), channel))) {
            return call.Finish(rc);
        }
        if (!channel->info.isPtz) {
            return call.Finish(ZRSDK_ERR_NOT_PTZ);
        }
        answer = BuildCruiseAnswer(*channel);
    }
    // During the call, on the caller's thread, without the platform lock.
    const auto plan = call.CallbackPlan();
    const int message = plan.message != 0 ? plan.message : ZRSDK_MSG_CRUISE_PRESET;
    const unsigned int length = plan.length != 0 ? plan.length : sizeof(answer->record);
    for (int i = 0; i < plan.deliveries; ++i) {
        callback(message, &answer->record, length, user);
    }
    return call.Finish(ZRSDK_OK);
}

ZRSDK_API int ZRSDK_SetChannelCruisePreset(int sessionId, const ZRSDK_CRUISE_PRESET* cruise,
                                          const ZRSDK_OPERATE_INFO* operateInfo) {
    CallScope call("ZRSDK_SetChannelCruisePreset", sessionId);
    call.CaptureInput(cruise, sizeof(*cruise));
    call.CaptureOperateInfo(operateInfo);
    const bool itemsReadable = cruise != nullptr && cruise->itemCount > 0 &&
                               cruise->itemCount <= kMaxCruiseItems && cruise->items != nullptr;
    if (itemsReadable) {
        call.CaptureExtra(cruise->items, cruise->itemCount * sizeof(ZRSDK_CRUISE_PRESET_ITEM));
    }
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (cruise == nullptr || cruise->itemCount < 0 || cruise->itemCount > kMaxCruiseItems ||
        (cruise->itemCount > 0 && !itemsReadable)) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    control::CruisePlan info;
    info.name = ReadText(cruise->name);
    for (int32_t i = 0; i < cruise->itemCount; ++i) {
        const auto& item = cruise->items[i];
        if (item.presetIndex <= 0) {
            return call.Finish(ZRSDK_ERR_INVALID_PARAM);
        }
        info.items.push_back({item.presetIndex, item.idleTime, ReadText(item.beginTime),
                              ReadText(item.endTime)});
    }
    return call.Finish(WithSteerablePtz(sessionId, ReadText(cruise->code),
                                        [&](Channel& channel, const control::UserAccount&) {
                                            channel.ptz.SetCruise(info);
                                            return ZRSDK_OK;
                                        }));
}

}  // extern "C"
