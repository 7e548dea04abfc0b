// Shell commands of the PTZ façade for presets, cruise, guard presets and
// idle motion.
#include <boost/json/array.hpp>
#include <boost/json/object.hpp>

#include "output.h"
#include "shell.h"
#include "value_parse.h"

namespace kestrel_host {

namespace {

const std::string kMenuPtz = "menu.ptz";
const std::vector<std::pair<std::string, int>> kPresetOps = {
    {"goto", Kestrel::PREPOINT_GOTO}, {"set", Kestrel::PREPOINT_SET}, {"delete", Kestrel::PREPOINT_DELETE}};

// "index[:idleTime[:beginTime[:endTime[:type[:cover]]]]]" items, comma-separated.
std::vector<Kestrel::CruisePresetInfo> PresetList(const std::string& text) {
    std::vector<Kestrel::CruisePresetInfo> list;
    if (text.empty() || text == "-") return list;  // "-": an empty list
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        std::vector<std::string> parts;
        std::size_t from = 0;
        for (;;) {
            const std::size_t colon = item.find(':', from);
            parts.push_back(item.substr(from, colon == std::string::npos ? std::string::npos : colon - from));
            if (colon == std::string::npos) break;
            from = colon + 1;
        }
        if (parts.size() > 6) throw UsageError("list item \"" + item + "\" has more than six parts");
        Kestrel::CruisePresetInfo info;
        info.presetIndex = ParseInt(parts[0], "presetIndex");
        if (parts.size() > 1) info.idleTime = ParseInt(parts[1], "idleTime");
        if (parts.size() > 2) info.beginTime = parts[2];
        if (parts.size() > 3) info.endTime = parts[3];
        if (parts.size() > 4) info.type = ParseInt(parts[4], "type");
        if (parts.size() > 5) info.cover = ParseInt(parts[5], "cover");
        list.push_back(info);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return list;
}

boost::json::array PresetListJson(const std::vector<Kestrel::CruisePresetInfo>& list) {
    boost::json::array out;
    for (const auto& info : list)
        out.emplace_back(boost::json::object{{"presetIndex", info.presetIndex},
                                             {"idleTime", info.idleTime},
                                             {"beginTime", info.beginTime},
                                             {"endTime", info.endTime},
                                             {"type", info.type},
                                             {"id", info.id},
                                             {"cover", info.cover}});
    return out;
}

}  // namespace

void Shell::AddPresetCommands() {
    const std::string g = "presets";
    auto seq = [this](const std::string& name, int value) { m_out.Reply(name, {{"seq", value}}); };
    auto returned = [this](const std::string& name, long long value) { m_out.Reply(name, {{"returned", value}}); };
    const std::string listHelp =
        "items index[:idleTime[:beginTime[:endTime[:type[:cover]]]]], comma-separated; - for none";

    Add({"QueryPrePoint", g, "query the channel's presets into the cache (PTZ_EVENT_QUERY_PRESET_POINTS)",
         {{"code", std::nullopt, ""}, {"ar", "off", "on: the AR queue"}}},
        [=](const Args& a) { seq("QueryPrePoint", m_calls.QueryPrePoint(a.Text("code"), a.Bool("ar"))); });
    Add({"GetPrePointInfo", g, "the cached presets of the channel", {{"code", std::nullopt, ""}}},
        [=](const Args& a) {
            boost::json::array list;
            for (const auto& p : m_calls.GetPrePointInfo(a.Text("code")))
                list.emplace_back(boost::json::object{{"index", p.index}, {"name", p.name}});
            m_out.Reply("GetPrePointInfo", {{"count", list.size()}, {"presets", std::move(list)}});
        });
    Add({"OperatorPrePoint", g, "goto, set or delete a preset (PTZ_EVENT_PRESET_...; other numbers PTZ_EVENT_NONE)",
         {{"op", std::nullopt, "goto, set, delete or a number"},
          {"code", std::nullopt, ""},
          {"index", std::nullopt, "preset number"},
          {"name", "", ""},
          {"menuKey", kMenuPtz, ""}}},
        [=](const Args& a) {
            seq("OperatorPrePoint", m_calls.OperatorPrePoint(a.Choice("op", kPresetOps), a.Text("code"),
                                                             static_cast<unsigned>(a.Int("index", 0)), a.Text("name"),
                                                             a.Text("menuKey")));
        });
    Add({"QueryCruisePreset", g, "query the channel's cruise into the cache (PTZ_EVENT_QUERY_CRUISE)",
         {{"code", std::nullopt, ""}, {"menuKey", kMenuPtz, ""}, {"reserved", "0", "accepted and not used"}}},
        [=](const Args& a) {
            seq("QueryCruisePreset", m_calls.QueryCruisePreset(a.Text("code"), a.Int("reserved"), a.Text("menuKey")));
        });
    Add({"GetCruisePresetInfo", g, "the cached cruise of the channel", {{"code", std::nullopt, ""}}},
        [=](const Args& a) {
            const auto list = m_calls.GetCruisePresetInfo(a.Text("code"));
            m_out.Reply("GetCruisePresetInfo", {{"count", list.size()}, {"cruise", PresetListJson(list)}});
        });
    Add({"AddCruisePreset", g, "save the channel's cruise (PTZ_EVENT_ADD_CRUISE)",
         {{"code", std::nullopt, ""}, {"list", std::nullopt, listHelp}, {"menuKey", kMenuPtz, ""}}},
        [=](const Args& a) {
            seq("AddCruisePreset", m_calls.AddCruisePreset(a.Text("code"), PresetList(a.Text("list")), a.Text("menuKey")));
        });
    Add({"QueryGuardPreset", g, "query the guard presets from the server (PTZ_EVENT_QUERY_GUARD_PRESET)",
         {{"code", std::nullopt, ""}, {"value", "0", "the query's type"}, {"menuKey", kMenuPtz, ""}}},
        [=](const Args& a) {
            seq("QueryGuardPreset", m_calls.QueryGuardPreset(a.Text("code"), a.Int("value"), a.Text("menuKey")));
        });
    Add({"GetGuardPresetInfo", g, "the cached guard presets of the channel", {{"code", std::nullopt, ""}}},
        [=](const Args& a) {
            const auto list = m_calls.GetGuardPresetInfo(a.Text("code"));
            m_out.Reply("GetGuardPresetInfo", {{"count", list.size()}, {"guard", PresetListJson(list)}});
        });
    Add({"AddGuardPreset", g, "save guard presets on the server (PTZ_EVENT_ADD_GUARD_PRESET)",
         {{"code", std::nullopt, ""}, {"list", std::nullopt, listHelp}, {"value", "0", ""}, {"menuKey", kMenuPtz, ""}}},
        [=](const Args& a) {
            returned("AddGuardPreset",
                     m_calls.AddGuardPreset(a.Text("code"), a.Int("value"), PresetList(a.Text("list")), a.Text("menuKey")));
        });
    Add({"GetGuardPresetId", g, "the server's task id of the last guard-preset save, or -1",
         {{"code", std::nullopt, ""}}},
        [=](const Args& a) { returned("GetGuardPresetId", m_calls.GetGuardPresetId(a.Text("code"))); });
    Add({"DelGuardPreset", g, "delete the channel's guard task on the server (PTZ_EVENT_DEL_GUARD_PRESET)",
         {{"code", std::nullopt, ""}, {"id", "last", "task id; last: GetGuardPresetId"}, {"menuKey", kMenuPtz, ""}}},
        [=](const Args& a) {
            const std::string code = a.Text("code");
            const long id = a.Text("id") == "last" ? m_calls.GetGuardPresetId(code) : static_cast<long>(a.Int64("id"));
            returned("DelGuardPreset", m_calls.DelGuardPreset(code, id, a.Text("menuKey")));
        });
    Add({"SetIdleMonitor", g, "set the channel's idle motion on the server (PTZ_EVENT_SET_IDLE_MONITOR)",
         {{"code", std::nullopt, ""},
          {"enable", std::nullopt, "on or off"},
          {"second", "30", "idle seconds"},
          {"index", "-1", ""},
          {"function", "Preset", ""},
          {"menuKey", kMenuPtz, ""}}},
        [=](const Args& a) {
            Kestrel::PtzIdleMotior motion;
            motion.enable = a.Bool("enable");
            motion.second = a.Int("second");
            motion.index = a.Int("index");
            motion.function = a.Text("function");
            returned("SetIdleMonitor", m_calls.SetIdleMonitor(a.Text("code"), motion, a.Text("menuKey")));
        });
}

}  // namespace kestrel_host
