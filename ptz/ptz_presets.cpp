// Preset points and the cruise through the platform, the guard presets and
// idle motion through the management server, and the caches from which the
// façade answers the Get... operations. Every cache access takes m_mutex;
// readers get copies.
#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "ptz/ptz.h"
#include "ptz/ptz_call.h"
#include "ptz/ptz_records.h"
#include "resourcetree/group_manager.h"
#include "taskhub/task.h"
#include "tasks/queue_keys.h"
#include "vkl/log.h"
#include "zrsdk/zrsdk.h"

namespace Kestrel {

namespace {
constexpr int kRefused = -1;
constexpr std::size_t kPresetBufferSize = sizeof(ZRSDK_PRESET_BUFFER);
static_assert(kPresetBufferSize == 26628, "count and 256 entries of 104 bytes");

// Empties the code's cached list, keeping its entry; a code never stored stays absent.
template <class Cache>
void EmptyCachedList(Cache& cache, const std::string& code) {
    auto it = cache.find(code);
    if (it != cache.end()) it->second.clear();
}

template <class Cache>
typename Cache::mapped_type CachedList(const Cache& cache, const std::string& code) {
    auto it = cache.find(code);
    return it != cache.end() ? it->second : typename Cache::mapped_type();
}
}  // namespace

// ---- preset points ----------------------------------------------------------------------

int CPtz::QueryPrePoint(const std::string& code, bool ar) {
    {
        vkl::DMutexGuard guard(m_mutex);
        EmptyCachedList(m_presetCache, code);
    }
    const int seq = Taskhub::GetUniqueNum();
    PostRequest(ar ? QueueKey::kArPtzPreset : QueueKey::kPtzPreset, &CPtz::HandlePtzGetPresetPointReq,
                PtzGetPresetPointReq{code, seq, ar});
    return seq;
}

std::vector<PrePointInfo> CPtz::GetPrePointInfo(const std::string& code) {
    vkl::DMutexGuard guard(m_mutex);
    return CachedList(m_presetCache, code);
}

// Refused with -1, and nothing sent, for a channel the resource tree knows
// neither by code nor by id.
int CPtz::OperatorPrePoint(int op, const std::string& code, unsigned int index, const std::string& name,
                           const std::string& menuKey) {
    ResourceTree::CGroupManagerExternal* group = m_groupManager.load();
    if (group == nullptr) return -1;
    ResourceTree::ChannelInfo info;
    if (!group->GetChannelInfoByCode(code, info) && group->GetChannelInfoByChannelID(code, info) != 0) {
        vkl::DPrintLog::instance()->Log("Ptz", 240, "Kestrel::CPtz::OperatorPrePoint", "", vkl::LOG_LEVEL_ERROR,
                                        "Get ChannelInfo Failed.");
        return -1;
    }
    PtzOperatePresetPointReq req;
    req.menuKey = menuKey;
    req.indexText = std::to_string(static_cast<int>(index));
    req.name = name;
    req.code = code;
    req.op = op;
    req.seq = Taskhub::GetUniqueNum();
    if (op == PREPOINT_GOTO) m_motion.Settled(code);
    PostRequest(QueueKey::kPtz, &CPtz::HandlePtzOperatePresetPointReq, req);
    return req.seq;
}

// The platform reports how many presets the channel has; at most the 256
// entries that fit the buffer are taken.
void CPtz::HandlePtzGetPresetPointReq(WeakPtr weak, const PtzGetPresetPointReq& req) {
    boost::shared_ptr<CPtz> self = weak.lock();
    if (!self) return;
    int ret = kRefused;
    PresetQueryResult result;
    int sessionId = 0;
    if (self->GetSession(sessionId)) {
        char code[64] = {};
        CopyText(code, req.code);
        std::unique_ptr<ZRSDK_PRESET_BUFFER> buffer(new (std::nothrow) ZRSDK_PRESET_BUFFER);
        if (buffer) {
            std::memset(buffer.get(), 0, kPresetBufferSize);
            ret = ZRSDK_PtzGetPresetPoints(sessionId, code, buffer.get(), kPresetBufferSize);
            if (ret == 0) {
                const int count = std::min<int>(buffer->count, ZRSDK_PRESET_BUFFER_ENTRIES);
                for (int i = 0; i < count; ++i) {
                    const ZRSDK_PRESET_POINT& point = buffer->points[i];
                    result.presets.emplace_back(FieldText(point.indexText), FieldText(point.name));
                }
                result.code = req.code;
            }
        }
    }
    if (ret == 0) {
        std::vector<PrePointInfo> list;
        list.reserve(result.presets.size());
        for (const auto& [number, name] : result.presets) {
            PrePointInfo point;
            point.index = vkl::DStr::atoi(number.c_str());
            point.name = name;
            list.push_back(point);
        }
        vkl::DMutexGuard guard(self->m_mutex);
        self->m_presetCache[result.code] = std::move(list);
    }
    self->PostPtzResult(CPtzParam::PTZ_EVENT_QUERY_PRESET_POINTS, ret, result.code, req.seq);
}

// A set appends to a cached list (no check for the same number), a delete
// removes the first entry with the number; a channel never queried gets no list.
void CPtz::HandlePtzOperatePresetPointReq(WeakPtr weak, const PtzOperatePresetPointReq& req) {
    boost::shared_ptr<CPtz> self = weak.lock();
    if (!self) return;
    if (req.op == PREPOINT_GOTO) self->m_motion.Positioned(req.code);
    PtzOperateResult outcome;
    const int ret = self->CallWithResult(req.menuKey, outcome, [&](int session, auto* operate, auto* result) {
        ZRSDK_PTZ_PRESET_INFO info{};
        CopyText(info.code, req.code);
        CopyText(info.indexText, req.indexText);
        CopyText(info.name, req.name);
        info.op = req.op;
        info.factor = 1.0;
        return ZRSDK_PtzOperatePresetPoint(session, &info, result, operate);
    });

    const int number = vkl::DStr::atoi(req.indexText.c_str());
    CPtzParam::EventType type = CPtzParam::PTZ_EVENT_NONE;
    switch (req.op) {
        case PREPOINT_SET: type = CPtzParam::PTZ_EVENT_PRESET_SET; break;
        case PREPOINT_DELETE: type = CPtzParam::PTZ_EVENT_PRESET_DELETE; break;
        case PREPOINT_GOTO: type = CPtzParam::PTZ_EVENT_PRESET_GOTO; break;
        default: break;
    }
    if (ret == 0 && (req.op == PREPOINT_SET || req.op == PREPOINT_DELETE)) {
        vkl::DMutexGuard guard(self->m_mutex);
        auto it = self->m_presetCache.find(req.code);
        if (it != self->m_presetCache.end()) {
            std::vector<PrePointInfo>& list = it->second;
            if (req.op == PREPOINT_SET) {
                PrePointInfo point;
                point.index = number;
                point.name = req.name;
                list.push_back(point);
            } else {
                auto found = std::find_if(list.begin(), list.end(),
                                          [&](const PrePointInfo& point) { return point.index == number; });
                if (found != list.end()) list.erase(found);
            }
        }
    }
    auto param = std::make_shared<CPtzParam>(type, ret);
    param->SetSeq(req.seq);
    param->SetCode(req.code);
    param->SetInfo(req.name);
    param->SetId(static_cast<unsigned int>(number));
    self->PostResultToUI(param);
}

// ---- cruise -------------------------------------------------------------------------------

int CPtz::QueryCruisePreset(const std::string& code, const std::string& menuKey) {
    {
        vkl::DMutexGuard guard(m_mutex);
        EmptyCachedList(m_cruiseCache, code);
    }
    CruiseGetCruisePresetReq req;
    req.menuKey = menuKey;
    req.code = code;
    req.seq = Taskhub::GetUniqueNum();
    PostRequest(QueueKey::kPtzPreset, &CPtz::HandleCruiseGetCruisePresetReq, req);
    return req.seq;
}

std::vector<CruisePresetInfo> CPtz::GetCruisePresetInfo(const std::string& code) {
    vkl::DMutexGuard guard(m_mutex);
    return CachedList(m_cruiseCache, code);
}

int CPtz::AddCruisePreset(const std::string& code, const std::vector<CruisePresetInfo>& list,
                          const std::string& menuKey) {
    CruiseSaveCruisePresetReq req;
    req.menuKey = menuKey;
    req.code = code;
    req.list = list;
    req.seq = Taskhub::GetUniqueNum();
    PostRequest(QueueKey::kPtz, &CPtz::HandleCruiseSaveCruisePresetReq, req);
    return req.seq;
}

void CPtz::OnCruisePresetData(int type, void* data, unsigned int length, void* user) {
    // The platform's record is read as it lays it out; the length it gives
    // is not looked at.
    if (data == nullptr || user == nullptr || type != ZRSDK_MSG_CRUISE_PRESET) return;
    const auto* cruise = static_cast<const ZRSDK_CRUISE_PRESET*>(data);
    auto* result = static_cast<CruiseQueryResult*>(user);
    result->code = FieldText(cruise->code);
    if (cruise->items == nullptr || cruise->itemCount <= 0) return;
    for (int i = 0; i < cruise->itemCount; ++i) {
        const ZRSDK_CRUISE_PRESET_ITEM& item = cruise->items[i];
        CruisePresetInfo info;
        info.presetIndex = item.presetIndex;
        info.idleTime = item.idleTime;
        info.beginTime = FieldText(item.beginTime);
        info.endTime = FieldText(item.endTime);
        result->list.push_back(info);
    }
}

// The cache entry written is that of the code the platform's answer names,
// which need not be the code asked about.
void CPtz::HandleCruiseGetCruisePresetReq(WeakPtr weak, const CruiseGetCruisePresetReq& req) {
    boost::shared_ptr<CPtz> self = weak.lock();
    if (!self) return;
    CruiseQueryResult result;
    const int ret = self->CallWithOperator(req.menuKey, [&](int session, ZRSDK_OPERATE_INFO* operate) {
        char code[64] = {};
        CopyText(code, req.code);
        return ZRSDK_GetChannelCruisePreset(session, code, &CPtz::OnCruisePresetData, &result, operate);
    });
    if (ret == 0) {
        vkl::DMutexGuard guard(self->m_mutex);
        self->m_cruiseCache[result.code] = std::move(result.list);
    }
    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_QUERY_CRUISE, ret);
    param->SetSeq(req.seq);
    self->PostResultToUI(param);
}

void CPtz::HandleCruiseSaveCruisePresetReq(WeakPtr weak, const CruiseSaveCruisePresetReq& req) {
    boost::shared_ptr<CPtz> self = weak.lock();
    if (!self) return;
    const int ret = self->CallWithOperator(req.menuKey, [&](int session, ZRSDK_OPERATE_INFO* operate) {
        std::vector<ZRSDK_CRUISE_PRESET_ITEM> items(req.list.size());  // zero-filled
        for (std::size_t i = 0; i < req.list.size(); ++i) {
            const CruisePresetInfo& info = req.list[i];
            items[i].presetNo = info.presetIndex;
            items[i].presetIndex = info.presetIndex;
            items[i].idleTime = info.idleTime;
            CopyText(items[i].beginTime, info.beginTime);
            CopyText(items[i].endTime, info.endTime);
        }
        ZRSDK_CRUISE_PRESET cruise{};
        CopyText(cruise.code, req.code);
        CopyText(cruise.name, req.text);
        cruise.enabled = 1;
        cruise.itemCount = static_cast<int32_t>(items.size());
        cruise.items = items.empty() ? nullptr : items.data();
        return ZRSDK_SetChannelCruisePreset(session, &cruise, operate);
    });
    self->PostPtzResult(CPtzParam::PTZ_EVENT_ADD_CRUISE, ret, req.code, req.seq);
}

// ---- guard presets and idle motion (handled in ptz_guard_preset.cpp) ----------------------

int CPtz::QueryGuardPreset(const std::string& code, int value, const std::string& menuKey) {
    {
        vkl::DMutexGuard guard(m_mutex);
        EmptyCachedList(m_guardCache, code);
    }
    CruiseGetCruisePresetReq req;
    req.menuKey = menuKey;
    req.code = code;
    req.seq = Taskhub::GetUniqueNum();
    req.value = value;
    PostRequest(QueueKey::kPtzPreset, &CPtz::HandleGuardGetCruisePresetTask, req);
    return req.seq;
}

std::vector<CruisePresetInfo> CPtz::GetGuardPresetInfo(const std::string& code) {
    vkl::DMutexGuard guard(m_mutex);
    return CachedList(m_guardCache, code);
}

int CPtz::AddGuardPreset(const std::string& code, int value, const std::vector<CruisePresetInfo>& list,
                         const std::string& menuKey) {
    CruiseSaveCruisePresetReq req;
    req.menuKey = menuKey;
    req.code = code;
    req.value = value;
    req.list = list;
    PostRequest(QueueKey::kPtz, &CPtz::HandleGuardSaveGuardPresetTask, req);
    return 0;
}

long CPtz::GetGuardPresetId(const std::string& code) {
    vkl::DMutexGuard guard(m_mutex);
    auto it = m_guardTaskId.find(code);
    return it != m_guardTaskId.end() ? it->second : -1L;
}

// The id travels as 32 bits, as the server's task ids do.
int CPtz::DelGuardPreset(const std::string& code, long id, const std::string& menuKey) {
    DelCruisePresetReq req;
    req.menuKey = menuKey;
    req.code = code;
    req.id = static_cast<int32_t>(id);
    PostRequest(QueueKey::kPtz, &CPtz::HandlDeleGuardPresetTask, req);
    return 0;
}

int CPtz::SetIdleMonitor(const std::string& code, const PtzIdleMotior& motion, const std::string& menuKey) {
    IdleMonitorReq req;
    req.menuKey = menuKey;
    req.code = code;
    req.motion = motion;
    PostRequest(QueueKey::kPtz, &CPtz::HandleSetIdleMonitorTask, req);
    return 0;
}

}  // namespace Kestrel
