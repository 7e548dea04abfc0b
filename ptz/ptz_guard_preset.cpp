// Guard presets and idle motion live on the management server: each handler
// is one REST exchange, whose result is posted to the PTZ observers and, on
// success, kept in the guard caches.
#include <boost/thread/mutex.hpp>

#include "accountlogic/user_manager.h"
#include "ptz/ptz.h"
#include "rest/rest_call.h"

namespace Kestrel {

namespace {
// Serialises the creation of the PTZ unit's REST objects (and their
// descriptors); both PTZ queue keys share it.
boost::mutex g_ptzRestMutex;

std::shared_ptr<CPtzParam> Result(CPtzParam::EventType type, int result) {
    return std::make_shared<CPtzParam>(type, result);
}
}  // namespace

// The pool entries: the worker must still exist; without a logged-in user
// the request is refused with -1 and nothing is sent.
#define KESTREL_GUARD_TASK(Entry, Handler, Request, EventType, ...)              \
    void CPtz::Entry(WeakPtr weak, const Request& req) {                         \
        boost::shared_ptr<CPtz> self = weak.lock();                              \
        if (!self) return;                                                       \
        int sessionId = 0;                                                       \
        if (!self->GetSession(sessionId)) {                                      \
            auto param = Result(CPtzParam::EventType, -1);                       \
            __VA_ARGS__;                                                         \
            self->PostResultToUI(param);                                         \
            return;                                                              \
        }                                                                        \
        self->Handler(sessionId, req);                                           \
    }

KESTREL_GUARD_TASK(HandleGuardSaveGuardPresetTask, HandleGuardSaveGuardPreset, CruiseSaveCruisePresetReq,
                   PTZ_EVENT_ADD_GUARD_PRESET, (void)0)
KESTREL_GUARD_TASK(HandleGuardGetCruisePresetTask, HandleGuardGetCruisePreset, CruiseGetCruisePresetReq,
                   PTZ_EVENT_QUERY_GUARD_PRESET, param->SetSeq(req.seq))
KESTREL_GUARD_TASK(HandlDeleGuardPresetTask, HandlDeleGuardPreset, DelCruisePresetReq,
                   PTZ_EVENT_DEL_GUARD_PRESET, (void)0)
KESTREL_GUARD_TASK(HandleSetIdleMonitorTask, HandleSetIdleMonitor, IdleMonitorReq, PTZ_EVENT_SET_IDLE_MONITOR,
                   (void)0)

#undef KESTREL_GUARD_TASK

int CPtz::HandleGuardSaveGuardPreset(int sessionId, const CruiseSaveCruisePresetReq& req) {
    const RestCallSite site{"Ptz", "Kestrel::CPtz::HandleGuardSaveGuardPreset", __LINE__};
    auto headers = MakeRestHeaders(m_userManager.load(), req.menuKey);
    return RunRestCall(
        site, g_ptzRestMutex, CreatePSIBPtzAddPresetTaskRequest, CreatePSIBPtzAddPresetTaskResponse,
        "/psib/ptz/presetTask", headers.get(), sessionId,
        [&](PSIBPtzAddPresetTaskRequest& request) {
            request.body.status = 1;
            SetRestText(request.body.channelCode, req.code);
            Datahub::free_buffer_init(&request.body.configList);
            for (const CruisePresetInfo& info : req.list) {
                PresetTaskConfig* item = AppendRestListItem<PresetTaskConfig>(request.body.configList);
                if (item == nullptr) break;
                item->idleTime = info.idleTime;
                item->presetIndex = info.presetIndex;
                item->type = info.type;
                item->cover = info.cover;
                SetRestText(item->beginTime, info.beginTime);
                SetRestText(item->endTime, info.endTime);
            }
        },
        [&](int result, PSIBPtzAddPresetTaskResponse* response) {
            if (result == 0 && response != nullptr) {
                vkl::DMutexGuard guard(m_mutex);
                m_guardTaskId[req.code] = static_cast<int32_t>(response->body.id);
            }
            PostResultToUI(Result(CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET, result));
        });
}

int CPtz::HandleGuardGetCruisePreset(int sessionId, const CruiseGetCruisePresetReq& req) {
    const RestCallSite site{"Ptz", "Kestrel::CPtz::HandleGuardGetCruisePreset", __LINE__};
    auto headers = MakeRestHeaders(m_userManager.load(), req.menuKey);
    return RunRestCall(
        site, g_ptzRestMutex, CreatePSIBPtzGetPresetTaskRequest, CreatePSIBPtzGetPresetTaskResponse,
        "/psib/ptz/presetTask/", headers.get(), sessionId,
        [&](PSIBPtzGetPresetTaskRequest& request) {
            SetRestText(request.path.channelCode, req.code);
            request.query.type = req.value;
        },
        [&](int result, PSIBPtzGetPresetTaskResponse* response) {
            if (response == nullptr) return;  // nothing was asked
            const std::string code = RestText(response->body.channelCode);
            if (result == 0) {
                std::vector<CruisePresetInfo> list;
                const PresetTaskListItem* items = RestListItems<PresetTaskListItem>(response->body.configList);
                for (int i = 0; i < RestListCount(response->body.configList); ++i) {
                    CruisePresetInfo info;
                    info.presetIndex = items[i].presetIndex;
                    info.idleTime = items[i].idleTime;
                    info.type = items[i].type;
                    info.cover = items[i].cover;
                    info.id = static_cast<int32_t>(items[i].id);
                    info.beginTime = RestText(items[i].beginTime);
                    info.endTime = RestText(items[i].endTime);
                    list.push_back(std::move(info));
                }
                vkl::DMutexGuard guard(m_mutex);
                m_guardCache[code] = std::move(list);
            }
            auto param = Result(CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET, result);
            param->SetSeq(req.seq);
            param->SetCode(code);
            PostResultToUI(param);
        });
}

int CPtz::HandlDeleGuardPreset(int sessionId, const DelCruisePresetReq& req) {
    const RestCallSite site{"Ptz", "Kestrel::CPtz::HandlDeleGuardPreset", __LINE__};
    auto headers = MakeRestHeaders(m_userManager.load(), req.menuKey);
    return RunRestCall(
        site, g_ptzRestMutex, CreatePSIBPtzDelPresetTaskRequest, CreatePSIBPtzDelPresetTaskResponse,
        "/psib/ptz/presetTask/", headers.get(), sessionId,
        [&](PSIBPtzDelPresetTaskRequest& request) { request.path.id = static_cast<int64_t>(req.id); },
        [&](int result, PSIBPtzDelPresetTaskResponse*) {
            if (result == 0) {
                vkl::DMutexGuard guard(m_mutex);
                auto it = m_guardCache.find(req.code);
                if (it != m_guardCache.end()) it->second.clear();
            }
            PostResultToUI(Result(CPtzParam::PTZ_EVENT_DEL_GUARD_PRESET, result));
        });
}

int CPtz::HandleSetIdleMonitor(int sessionId, const IdleMonitorReq& req) {
    const RestCallSite site{"Ptz", "Kestrel::CPtz::HandleSetIdleMonitor", __LINE__};
    auto headers = MakeRestHeaders(m_userManager.load(), req.menuKey);
    return RunRestCall(
        site, g_ptzRestMutex, CreateVSLPtzSetIdleMotionRequest, CreateVSLPtzSetIdleMotionResponse,
        "/videoService/ptz/idleMotion/channels/", headers.get(), sessionId,
        [&](VSLPtzSetIdleMotionRequest& request) {
            request.body.enable = req.motion.enable ? 1 : 0;
            request.body.index = req.motion.index;
            request.body.second = req.motion.second;
            SetRestText(request.body.function, req.motion.function);
            SetRestText(request.path.channelCode, req.code);
        },
        [&](int result, VSLPtzSetIdleMotionResponse*) {
            PostResultToUI(Result(CPtzParam::PTZ_EVENT_SET_IDLE_MONITOR, result));
        });
}

}  // namespace Kestrel
