// Device functions: smart tracking, vehicle preview, resource bindings and
// I-frame requests.
#include <cstring>
#include <limits>
#include <memory>

#include "api_support.h"
#include "call_hooks.h"
#include "zrsdk/zrsdk.h"

using namespace zrsdk;

namespace {

constexpr std::size_t kCodeLimit = 64;
constexpr uint32_t kMaxPreviewChannels = 64;
constexpr std::size_t kMaxSmartTrackHistory = 256;

// The binding answer with the groups and items it points to, alive for as
// long as the callback runs.
struct BindingAnswer {
    ZRSDK_RESOURCE_BINDING record{};
    std::vector<ZRSDK_BINDING_GROUP> groups;
    std::vector<std::vector<ZRSDK_BINDING_ITEM>> items;
};

ZRSDK_BINDING_ITEM MakeItem(int flag, const std::string& id, const std::string& name) {
    ZRSDK_BINDING_ITEM item{};
    item.flag = flag;
    WriteText(item.id, id);
    WriteText(item.name, name);
    return item;
}

std::unique_ptr<BindingAnswer> BuildBindingAnswer(const Channel& channel) {
    auto answer = std::make_unique<BindingAnswer>();
    answer->record.channel = MakeItem(1, channel.info.code, channel.info.name);
    for (const auto& group : channel.bindings) {
        answer->items.emplace_back();
        for (const auto& item : group.items) {
            answer->items.back().push_back(MakeItem(item.flag, item.id, item.name));
        }
    }
    for (std::size_t g = 0; g < channel.bindings.size(); ++g) {
        ZRSDK_BINDING_GROUP group{};
        group.type = channel.bindings[g].type;
        group.subtype = channel.bindings[g].subtype;
        group.itemCount = static_cast<int32_t>(answer->items[g].size());
        group.items = answer->items[g].empty() ? nullptr : answer->items[g].data();
        answer->groups.push_back(group);
    }
    answer->record.groupCount = static_cast<int32_t>(answer->groups.size());
    answer->record.groups = answer->groups.empty() ? nullptr : answer->groups.data();
    return answer;
}

}  // namespace

extern "C" {

ZRSDK_API int ZRSDK_SmartTrackOperate(int sessionId, const ZRSDK_SMARTTRACK_OPERATE* operate) {
    CallScope call("ZRSDK_SmartTrackOperate", sessionId);
    call.CaptureInput(operate, sizeof(*operate));
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    // The record's version byte is fixed at 1; anything else is a record of
    // another layout.
    if (operate == nullptr || operate->version != 1) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    const control::UserAccount* user = nullptr;
    Channel* channel = nullptr;
    if ((rc = SessionUser(platform, sessionId, user)) ||
        (rc = FindChannel(platform, ReadText(operate->code), channel))) {
        return call.Finish(rc);
    }
    channel->smartTrackOperations.push_back(*operate);
    if (channel->smartTrackOperations.size() > kMaxSmartTrackHistory) {
        channel->smartTrackOperations.erase(channel->smartTrackOperations.begin());
    }
    return call.Finish(ZRSDK_OK);
}

ZRSDK_API int ZRSDK_VehiclePreviewConfig(int sessionId, const ZRSDK_VEHICLE_PREVIEW* preview) {
    CallScope call("ZRSDK_VehiclePreviewConfig", sessionId);
    call.CaptureInput(preview, sizeof(*preview));
    int rc = 0;
    if (preview != nullptr && preview->codes != nullptr && preview->count <= kMaxPreviewChannels) {
        call.CaptureExtra(preview->codes, preview->count * sizeof(*preview->codes));
    }
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (preview == nullptr || preview->count > kMaxPreviewChannels ||
        (preview->count > 0 && preview->codes == nullptr)) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    const control::UserAccount* user = nullptr;
    if ((rc = SessionUser(platform, sessionId, user))) {
        return call.Finish(rc);
    }
    std::vector<std::string> codes;
    for (uint32_t i = 0; i < preview->count; ++i) {
        codes.push_back(ReadText(preview->codes[i]));
        Channel* channel = nullptr;
        if ((rc = FindChannel(platform, codes.back(), channel))) {
            return call.Finish(rc);
        }
    }
    platform.vehiclePreviewCodes = codes;
    return call.Finish(ZRSDK_OK);
}

ZRSDK_API int ZRSDK_GetResourceBinding(int sessionId, const char* channelCode,
                                      ZRSDK_ResourceBindingCallback callback, void* user) {
    CallScope call("ZRSDK_GetResourceBinding", sessionId);
    call.CaptureText(channelCode, kCodeLimit);
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (channelCode == nullptr || callback == nullptr) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    std::unique_ptr<BindingAnswer> answer;
    {
        auto& platform = Platform::Instance();
        std::lock_guard<std::mutex> lock(platform.Mutex());
        const control::UserAccount* account = nullptr;
        Channel* channel = nullptr;
        if ((rc = SessionUser(platform, sessionId, account)) ||
            (rc = FindChannel(platform, ReadText(channelCode, strnlen(channelCode, kCodeLimit)),
                              channel))) {
            return call.Finish(rc);
        }
        answer = BuildBindingAnswer(*channel);
    }
    // Delivered during the call, on the caller's thread, without the
    // platform lock: the callback may call the SDK again.
    const auto plan = call.CallbackPlan();
    const int message = plan.message != 0 ? plan.message : ZRSDK_MSG_RESOURCE_BINDING;
    const unsigned int length = plan.length != 0 ? plan.length : sizeof(answer->record);
    for (int i = 0; i < plan.deliveries; ++i) {
        callback(message, &answer->record, length, user);
    }
    return call.Finish(ZRSDK_OK);
}

// The channel code is a plain text argument, taken whole whatever its length.
ZRSDK_API int ZRSDK_GetFlowSetIFrame(int sessionId, const char* channelCode) {
    CallScope call("ZRSDK_GetFlowSetIFrame", sessionId);
    call.CaptureText(channelCode, std::numeric_limits<std::size_t>::max());
    int rc = 0;
    if (call.InjectedFailure(rc)) {
        return call.Finish(rc);
    }
    if (channelCode == nullptr) {
        return call.Finish(ZRSDK_ERR_INVALID_PARAM);
    }
    auto& platform = Platform::Instance();
    std::lock_guard<std::mutex> lock(platform.Mutex());
    const control::UserAccount* user = nullptr;
    Channel* channel = nullptr;
    if ((rc = SessionUser(platform, sessionId, user)) ||
        (rc = FindChannel(platform, channelCode, channel))) {
        return call.Finish(rc);
    }
    ++channel->iFrameRequests;
    return call.Finish(ZRSDK_OK);
}

}  // extern "C"
