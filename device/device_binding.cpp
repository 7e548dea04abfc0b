// The resources bound to a channel: the platform delivers them through a
// callback during the query; Kestrel keeps a deep copy and turns it into an
// id list and an id-to-name map.
#include <algorithm>
#include <list>
#include <memory>
#include <new>

#include "device/device_communicate.h"
#include "kestrel/device_function_param.h"
#include "tasks/platform_user.h"
#include "zrsdk/zrsdk.h"

namespace Kestrel {

namespace {

// Only groups of these types and subtypes name bound channels.
bool IsChannelGroup(const ZRSDK_BINDING_GROUP& group) {
    return (group.type == 3 || group.type == 4) && (group.subtype == 1 || group.subtype == 5);
}

ResourceBindingResult Collect(const ZRSDK_RESOURCE_BINDING& binding) {
    ResourceBindingResult result;
    std::list<std::string> others;
    for (int g = 0; g < binding.groupCount; ++g) {
        const ZRSDK_BINDING_GROUP& group = binding.groups[g];
        if (!IsChannelGroup(group)) continue;
        for (int i = 0; i < group.itemCount; ++i) {
            const ZRSDK_BINDING_ITEM& item = group.items[i];
            const std::string id = FieldText(item.id);
            if (!id.empty()) (item.flag == 1 ? result.ids : others).push_back(id);
            result.names[id] = FieldText(item.name);
        }
    }
    result.ids.splice(result.ids.end(), others);
    return result;
}

}  // namespace

void CDeviceCommunicate::ReleaseResourceBinding(ZRSDK_RESOURCE_BINDING* binding) {
    if (binding == nullptr) return;
    for (int g = 0; g < binding->groupCount; ++g) delete[] binding->groups[g].items;
    delete[] binding->groups;
    binding->groups = nullptr;
    binding->groupCount = 0;
}

// The copy goes into the binding record passed as user: its group count, a
// group array of its own and an item array per group with items. Each
// delivery replaces the copy held so far, so the last one counts. The
// platform's channel block (the record's first 324 bytes) is not copied.
// A group array the platform does not give, or memory that cannot be had,
// leaves fewer groups or items: the record stays consistent, never partial.
void CDeviceCommunicate::OnResourceBindingData(int message, const void* data, unsigned int length, void* user) {
    if (data == nullptr || user == nullptr || length == 0 || message != ZRSDK_MSG_RESOURCE_BINDING) return;
    const auto* source = static_cast<const ZRSDK_RESOURCE_BINDING*>(data);
    auto* held = static_cast<ZRSDK_RESOURCE_BINDING*>(user);
    ReleaseResourceBinding(held);
    if (source->groups == nullptr || source->groupCount <= 0) return;
    held->groups = new (std::nothrow) ZRSDK_BINDING_GROUP[source->groupCount];
    if (held->groups == nullptr) return;
    held->groupCount = source->groupCount;
    for (int g = 0; g < held->groupCount; ++g) {
        const ZRSDK_BINDING_GROUP& from = source->groups[g];
        ZRSDK_BINDING_GROUP& group = held->groups[g];
        group = from;
        group.items = nullptr;  // the platform's memory is not kept
        if (from.itemCount > 0 && from.items != nullptr)
            group.items = new (std::nothrow) ZRSDK_BINDING_ITEM[from.itemCount];
        if (group.items == nullptr) {
            group.itemCount = 0;
            continue;
        }
        std::copy(from.items, from.items + from.itemCount, group.items);
    }
}

void CDeviceCommunicate::HandleGetResourceBinding(WeakPtr weak, const ChannelBindResourceReq& req) {
    boost::shared_ptr<CDeviceCommunicate> self = weak.lock();
    if (!self) return;
    int ret = -1;
    ResourceBindingResult result;
    int sessionId = 0;
    if (self->GetSession(sessionId)) {
        char code[64] = {};
        CopyText(code, req.code);
        ZRSDK_RESOURCE_BINDING binding{};  // the platform hands it back to the callback
        ret = ZRSDK_GetResourceBinding(sessionId, code, &CDeviceCommunicate::OnResourceBindingData, &binding);
        if (ret == 0) result = Collect(binding);
        ReleaseResourceBinding(&binding);
    }
    auto param = std::make_shared<CDeviceFunctionParam>(CDeviceFunctionParam::DEVICE_EVENT_BINDING_RESOURCE, ret);
    param->SetUi64Now(static_cast<uint64_t>(req.tag));
    param->SetCode(req.code);
    param->SetBindResourceIDList(result.ids);
    param->SetBindChannelInfo(result.names);
    self->PostResultToUI(param);
}

}  // namespace Kestrel
