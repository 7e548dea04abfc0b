// The resources bound to a channel: the platform delivers them through a
// callback during the query; Kestrel keeps a deep copy and turns it into an
// id list and an id-to-name map.
#include <cstring>
#include <list>
#include <memory>
#include <vector>

#include "device/device_communicate.h"
#include "kestrel/device_function_param.h"
#include "tasks/platform_user.h"
#include "zrsdk/zrsdk.h"

namespace Kestrel {

namespace {

// The groups and items the callback copied, owned by this record.
struct BindingCopy {
    std::vector<ZRSDK_BINDING_GROUP> groups;
    std::vector<std::vector<ZRSDK_BINDING_ITEM>> items;  // per group
};

// Only groups of these types and subtypes name bound channels.
bool IsChannelGroup(const ZRSDK_BINDING_GROUP& group) {
    return (group.type == 3 || group.type == 4) && (group.subtype == 1 || group.subtype == 5);
}

ResourceBindingResult Collect(const BindingCopy& copy) {
    ResourceBindingResult result;
    std::list<std::string> others;
    for (std::size_t g = 0; g < copy.groups.size(); ++g) {
        if (!IsChannelGroup(copy.groups[g])) continue;
        for (const ZRSDK_BINDING_ITEM& item : copy.items[g]) {
            const std::string id = FieldText(item.id);
            if (!id.empty()) (item.flag == 1 ? result.ids : others).push_back(id);
            result.names[id] = FieldText(item.name);
        }
    }
    result.ids.splice(result.ids.end(), others);
    return result;
}

}  // namespace

// Each delivery replaces the copy held so far: the last one counts.
void CDeviceCommunicate::OnResourceBindingData(int message, const void* data, unsigned int length, void* user) {
    if (data == nullptr || user == nullptr || length == 0 || message != ZRSDK_MSG_RESOURCE_BINDING) return;
    if (length < sizeof(ZRSDK_RESOURCE_BINDING)) return;
    const auto* binding = static_cast<const ZRSDK_RESOURCE_BINDING*>(data);
    BindingCopy copy;
    const int groupCount = binding->groups != nullptr && binding->groupCount > 0 ? binding->groupCount : 0;
    copy.groups.assign(binding->groups, binding->groups + groupCount);
    copy.items.resize(copy.groups.size());
    for (std::size_t g = 0; g < copy.groups.size(); ++g) {
        ZRSDK_BINDING_GROUP& group = copy.groups[g];
        if (group.itemCount > 0 && group.items != nullptr)
            copy.items[g].assign(group.items, group.items + group.itemCount);
        group.items = nullptr;  // the platform's memory is not kept
    }
    *static_cast<BindingCopy*>(user) = std::move(copy);
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
        BindingCopy copy;
        ret = ZRSDK_GetResourceBinding(sessionId, code, &CDeviceCommunicate::OnResourceBindingData, &copy);
        if (ret == 0) result = Collect(copy);
    }
    auto param = std::make_shared<CDeviceFunctionParam>(CDeviceFunctionParam::DEVICE_EVENT_BINDING_RESOURCE, ret);
    param->SetUi64Now(static_cast<uint64_t>(req.tag));
    param->SetCode(req.code);
    param->SetBindResourceIDList(result.ids);
    param->SetBindChannelInfo(result.names);
    self->PostResultToUI(param);
}

}  // namespace Kestrel
