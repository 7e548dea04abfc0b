// "show": what Kestrel and the platform hold right now.
#include <boost/json/array.hpp>
#include <boost/json/object.hpp>

#include "host_session.h"
#include "kestrel/ptz_external.h"
#include "output.h"
#include "shell.h"
#include "stats_table.h"
#include "zrsdk/zrsdk_control.h"

namespace kestrel_host {

namespace {

namespace control = zrsdk::control;

std::vector<std::string> PtzChannels(const std::string& only) {
    if (!only.empty()) return {only};
    std::vector<std::string> codes;
    for (const auto& channel : control::DefaultChannels())
        if (channel.isPtz) codes.push_back(channel.code);
    return codes;
}

std::string Presets(const std::vector<Kestrel::CruisePresetInfo>& list) {
    std::string text;
    for (const auto& info : list) text += (text.empty() ? "" : ",") + std::to_string(info.presetIndex);
    return text.empty() ? "-" : text;
}

}  // namespace

void Shell::AddShowCommands() {
    CommandSyntax show{"show", "host", "show stats, caches [code], locks, pending or channels",
                     {{"what", std::nullopt, "stats, caches, locks, pending or channels"}, {"code", "", "caches: one channel"}}};
    Add(show, [=](const Args& a) {
        const std::string what = a.Text("what");
        Kestrel::CPtzExternal& ptz = m_session.Ptz();
        if (what == "stats") {
            const auto stats = m_session.Tracker().Stats();
            m_out.Record({{"stats", StatsTableJson(stats)}}, StatsTableText(stats));
        } else if (what == "caches") {
            // The façade's cache reads, not counted as requests.
            std::string text;
            boost::json::array rows;
            for (const std::string& code : PtzChannels(a.Text("code"))) {
                const auto presets = ptz.GetPrePointInfo(code);
                const auto cruise = ptz.GetCruisePresetInfo(code);
                const auto guard = ptz.GetGuardPresetInfo(code);
                const long guardId = ptz.GetGuardPresetId(code);
                std::string presetList;
                for (const auto& p : presets) presetList += (presetList.empty() ? "" : ",") + std::to_string(p.index);
                text += code + ": presets " + std::to_string(presets.size()) + (presets.empty() ? "" : " (" + presetList + ")") +
                        "; cruise " + Presets(cruise) + "; guard " + Presets(guard) + " (task id " + std::to_string(guardId) + ")\n";
                rows.emplace_back(boost::json::object{{"code", code},
                                                      {"presets", presets.size()},
                                                      {"cruise", cruise.size()},
                                                      {"guard", guard.size()},
                                                      {"guardTaskId", guardId}});
            }
            m_out.Record({{"caches", std::move(rows)}}, text);
        } else if (what == "locks") {
            std::string text = "channel   Kestrel's table   platform\n";
            boost::json::array rows;
            const auto locks = control::GetLocks();
            const int64_t now = control::PlatformTime();
            for (const std::string& code : PtzChannels(a.Text("code"))) {
                const bool locked = ptz.IsLock(code);
                std::string platform = "free";
                boost::json::object row{{"code", code}, {"locked", locked}};
                for (const auto& lock : locks)
                    if (lock.code == code && lock.expiresAt > now) {
                        platform = "held by " + lock.holder + ", " + std::to_string(lock.expiresAt - now) + " s left";
                        row["holder"] = lock.holder;
                        row["secondsLeft"] = lock.expiresAt - now;
                    }
                text += code + "   " + (locked ? "locked         " : "-              ") + "   " + platform + "\n";
                rows.emplace_back(std::move(row));
            }
            m_out.Record({{"locks", std::move(rows)}}, text);
        } else if (what == "pending") {
            std::string text;
            boost::json::array rows;
            for (const OutstandingRequest& r : m_session.Tracker().Outstanding()) {
                text += r.operation + " " + r.subject + (r.seq ? " seq " + std::to_string(r.seq) : std::string()) + ", " +
                        std::to_string(static_cast<long long>(r.waitingMs)) + " ms\n";
                rows.emplace_back(boost::json::object{{"operation", r.operation}, {"subject", r.subject}, {"seq", r.seq}});
            }
            m_out.Record({{"pending", std::move(rows)}}, text.empty() ? "nothing pending\n" : text);
        } else if (what == "channels") {
            std::string text;
            boost::json::array rows;
            for (const auto& c : control::DefaultChannels()) {
                text += c.code + "  " + c.deviceCode + "  " + (c.isPtz ? "PTZ  " : "fixed") + "  " + c.name + "\n";
                rows.emplace_back(boost::json::object{{"code", c.code}, {"device", c.deviceCode}, {"ptz", c.isPtz}, {"name", c.name}});
            }
            m_out.Record({{"channels", std::move(rows)}}, text);
        } else {
            throw UsageError("what: expected stats, caches, locks, pending or channels, got \"" + what + "\"");
        }
    });
}

}  // namespace kestrel_host
