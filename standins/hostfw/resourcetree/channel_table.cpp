#include "channel_table.h"

#include <cstring>
#include <vector>

#include "vkl/log.h"
#include "zrsdk/zrsdk_session.h"

namespace ResourceTree {

namespace {

constexpr int kFirstCapacity = 256;
constexpr int kQueryAttempts = 3;  // the platform's channels may change between calls

// A fixed text field that the platform may not have terminated.
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

void LogRefusal(int line, int sessionId, int rc) {
    vkl::DPrintLog::instance()->Log("ResourceTree", line, "ResourceTree::ChannelTable::Load", "",
                                    vkl::LOG_LEVEL_ERROR,
                                    "ZRSDK_QueryChannels(session %d) failed: %d", sessionId, rc);
}

}  // namespace

ChannelTable::ChannelTable(int sessionId) : m_sessionId(sessionId) {}

bool ChannelTable::GetChannelInfoByCode(const std::string& code, ChannelInfo& info) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_byCode.find(code);
    if (it == m_byCode.end()) return false;
    info = it->second;
    return true;
}

int ChannelTable::GetChannelInfoByChannelID(const std::string& channelId, ChannelInfo& info) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto id = m_codeById.find(channelId);
    if (id == m_codeById.end()) return -1;
    info = m_byCode.at(id->second);
    return 0;
}

bool ChannelTable::Load() {
    std::vector<ZRSDK_CHANNEL_ENTRY> entries(kFirstCapacity);
    int count = 0;
    bool complete = false;
    for (int attempt = 0; attempt < kQueryAttempts && !complete; ++attempt) {
        std::memset(entries.data(), 0, entries.size() * sizeof(ZRSDK_CHANNEL_ENTRY));
        count = 0;
        const int rc = ZRSDK_QueryChannels(m_sessionId, entries.data(),
                                           static_cast<int>(entries.size()), &count);
        if (rc != 0) {
            LogRefusal(__LINE__, m_sessionId, rc);
            Clear();
            return false;
        }
        if (count < 0) count = 0;
        complete = static_cast<std::size_t>(count) <= entries.size();
        if (!complete) entries.resize(static_cast<std::size_t>(count));
    }
    if (!complete) count = static_cast<int>(entries.size());  // keep what the last answer held

    std::map<std::string, ChannelInfo> byCode;
    std::map<std::string, std::string> codeById;
    for (int i = 0; i < count; ++i) {
        const ZRSDK_CHANNEL_ENTRY& e = entries[static_cast<std::size_t>(i)];
        ChannelInfo info;
        info.code = FieldText(e.code);
        info.channelId = FieldText(e.channelId);
        info.name = FieldText(e.name);
        info.deviceCode = FieldText(e.deviceCode);
        info.channelNo = e.channelNo;
        info.isPtz = e.isPtz != 0;
        if (info.code.empty()) continue;
        if (!info.channelId.empty()) codeById[info.channelId] = info.code;
        byCode[info.code] = std::move(info);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_byCode.swap(byCode);
    m_codeById.swap(codeById);
    return true;
}

void ChannelTable::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_byCode.clear();
    m_codeById.clear();
}

std::size_t ChannelTable::Size() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_byCode.size();
}

}  // namespace ResourceTree
