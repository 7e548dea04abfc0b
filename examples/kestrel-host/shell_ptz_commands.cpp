// Shell commands of the PTZ façade (CPtzExternal): movement, lens,
// positioning, wiper, scanning and the PTZ lock.
#include <boost/json/object.hpp>

#include "host_session.h"
#include "kestrel/ptz_external.h"
#include "output.h"
#include "shell.h"
#include "value_parse.h"

namespace kestrel_host {

namespace {

const std::string kMenuPtz = "menu.ptz";

const std::vector<std::pair<std::string, int>> kDirections = {
    {"up", Kestrel::DIRECTION_UP},           {"down", Kestrel::DIRECTION_DOWN},
    {"left", Kestrel::DIRECTION_LEFT},       {"right", Kestrel::DIRECTION_RIGHT},
    {"left-up", Kestrel::DIRECTION_LEFT_UP}, {"right-up", Kestrel::DIRECTION_RIGHT_UP},
    {"left-down", Kestrel::DIRECTION_LEFT_DOWN}, {"right-down", Kestrel::DIRECTION_RIGHT_DOWN}};
const std::vector<std::pair<std::string, int>> kStartStop = {{"start", 0}, {"stop", 1}};
const std::vector<std::pair<std::string, int>> kLocks = {
    {"lock", Kestrel::LOCK_PTZ}, {"unlock", Kestrel::UNLOCK_PTZ}, {"query", Kestrel::QUERY_LOCK_STATE}};
// The wiper's and the scan's action: 0 starts, 1 stops.
const std::vector<std::pair<std::string, int>> kOnOff = {{"on", 0}, {"start", 0}, {"off", 1}, {"stop", 1}};

}  // namespace

void Shell::AddPtzCommands() {
    const std::string g = "ptz";
    auto seq = [this](const std::string& name, int value) { m_out.Reply(name, {{"seq", value}}); };
    auto sent = [this](const std::string& name) { m_out.Reply(name, {}); };

    Add({"PtzDirection", g, "move in a direction or stop (PTZ_EVENT_DIRECTION)",
         {{"code", std::nullopt, "channel code, e.g. ch-0001"},
          {"direction", std::nullopt, "up, down, left, right, left-up, right-up, left-down, right-down or 1-8"},
          {"action", "start", "start or stop"},
          {"speed", "5", ""},
          {"menuKey", kMenuPtz, ""}}},
        [=](const Args& a) {
            seq("PtzDirection", m_calls.PtzDirection(a.Text("code"), a.Choice("direction", kDirections),
                                                     a.Choice("action", kStartStop) == 1, a.Int("speed"),
                                                     a.Text("menuKey")));
        });
    Add({"PtzControl", g, "lens operation 0-5 (PTZ_EVENT_CAMERA); others return -1",
         {{"code", std::nullopt, ""},
          {"op", std::nullopt,
           "0-5; on the stand-in: 0 zoom+, 1 focus-, 2 iris+, 3 zoom-, 4 focus+, 5 iris-"},
          {"action", "start", "start or stop"},
          {"speed", "5", ""},
          {"menuKey", kMenuPtz, ""}}},
        [=](const Args& a) {
            seq("PtzControl", m_calls.PtzControl(a.Text("code"), a.Int("op"), a.Choice("action", kStartStop) == 1,
                                                 a.Int("speed"), a.Text("menuKey")));
        });
    Add({"PtzSite", g, "position absolutely (PTZ_EVENT_SITE)",
         {{"code", std::nullopt, ""}, {"x", std::nullopt, "pan"}, {"y", std::nullopt, "tilt"}, {"z", std::nullopt, "zoom"},
          {"value", "0", ""}}},
        [=](const Args& a) {
            seq("PtzSite", m_calls.PtzSite(a.Text("code"), a.Double("x"), a.Double("y"), a.Double("z"), a.Int("value")));
        });
    Add({"PtzSiteEx", g, "position with the extended record (PTZ_EVENT_SITE)",
         {{"code", std::nullopt, ""},
          {"x", std::nullopt, ""},
          {"y", std::nullopt, ""},
          {"z", std::nullopt, ""},
          {"value", "0", ""},
          {"extA", "0", ""},
          {"extB", "0", ""},
          {"ext", "0,0,0,0", "four integers; the third or fourth non-zero selects the extended call"},
          {"extFlag", "1", ""},
          {"menuKey", kMenuPtz, ""}}},
        [=](const Args& a) {
            Kestrel::PtzSiteParam p;
            p.code = a.Text("code");
            p.x = a.Double("x");
            p.y = a.Double("y");
            p.z = a.Double("z");
            p.value = a.Int("value");
            p.extA = a.Double("extA");
            p.extB = a.Double("extB");
            const std::vector<int> ext = ParseIntList(a.Text("ext"), "ext", 4);
            for (std::size_t i = 0; i < ext.size(); ++i) p.extValues[i] = ext[i];
            p.extFlag = static_cast<uint8_t>(a.Int("extFlag", 0, 255));
            seq("PtzSiteEx", m_calls.PtzSiteEx(p, a.Text("menuKey")));
        });
    Add({"RainWiper", g, "wiper on or off (PTZ_EVENT_RAIN_WIPER)",
         {{"code", std::nullopt, ""}, {"action", std::nullopt, "on, off, or the action number"}}},
        [=](const Args& a) {
            Kestrel::PtzOperation op;
            op.action = a.Choice("action", kOnOff);
            m_calls.RainWiper(a.Text("code"), op);
            sent("RainWiper");
        });
    Add({"SetScanMargin", g, "set a scan margin (PTZ_EVENT_SCAN_MARGIN)",
         {{"code", std::nullopt, ""}, {"margin", std::nullopt, ""}, {"value", std::nullopt, ""}}},
        [=](const Args& a) {
            Kestrel::PtzOperation op;
            op.margin = a.Int("margin");
            op.value = a.Int("value");
            m_calls.SetScanMargin(a.Text("code"), op);
            sent("SetScanMargin");
        });
    Add({"AutoScan", g, "start or stop the automatic scan (PTZ_EVENT_AUTO_SCAN)",
         {{"code", std::nullopt, ""},
          {"action", std::nullopt, "start, stop, or the action number"},
          {"mode", "1", ""},
          {"value", "1", "speed"}}},
        [=](const Args& a) {
            Kestrel::PtzOperation op;
            op.action = a.Choice("action", kOnOff);
            op.mode = a.Int("mode");
            op.value = a.Int("value");
            m_calls.AutoScan(a.Text("code"), op);
            sent("AutoScan");
        });

    Add({"SetLock", g, "take, release or query the PTZ lock (PTZ_EVENT_LOCK; -501 when refused)",
         {{"code", std::nullopt, ""},
          {"lock", std::nullopt, "lock, unlock, query or a number"},
          {"lockTime", "60", "seconds; the lock releases itself when they have run out"},
          {"menuKey", kMenuPtz, ""},
          {"reserved", "0", "accepted and not used"}}},
        [=](const Args& a) {
            seq("SetLock", m_calls.SetLock(a.Text("code"), a.Choice("lock", kLocks), a.Int("reserved"),
                                           a.Text("menuKey"), a.Int("lockTime")));
        });
    Add({"QueryLockState", g, "ask the platform who holds the lock (PTZ_EVENT_LOCK)", {{"code", std::nullopt, ""}}},
        [=](const Args& a) { seq("QueryLockState", m_calls.QueryLockState(a.Text("code"))); });
    Add({"IsLock", g, "whether Kestrel's lock table holds the channel", {{"code", std::nullopt, ""}}},
        [=](const Args& a) { m_out.Reply("IsLock", {{"locked", m_calls.IsLock(a.Text("code"))}}); });
    Add({"DelLockCamera", g, "remove the channel from the lock table (1 when it was there)",
         {{"code", std::nullopt, ""}}},
        [=](const Args& a) { m_out.Reply("DelLockCamera", {{"returned", m_calls.DelLockCamera(a.Text("code"))}}); });
    Add({"PtzMotionPolicy", g,
         "the PTZ motion policy; no values: show it (PTZ_EVENT_AUTO_STOP for the dead-man's stops)",
         {{"supersede", "", "on or off: drop moves a newer move of the channel made obsolete before they were sent"},
          {"deadMan", "", "ms after which a move nobody renews is stopped; 0 turns it off"},
          {"stopOnLeaving", "", "on or off: UnInit stops the channels still moving"},
          {"leavingWait", "", "ms UnInit waits for those stops"}}},
        [=](const Args& a) {
            Kestrel::PtzMotionPolicy policy = m_session.Ptz().GetMotionPolicy();
            if (a.Given("supersede")) policy.supersede = a.Bool("supersede");
            if (a.Given("deadMan")) policy.deadManMs = a.Int("deadMan", 0);
            if (a.Given("stopOnLeaving")) policy.stopOnLeaving = a.Bool("stopOnLeaving");
            if (a.Given("leavingWait")) policy.leavingWaitMs = a.Int("leavingWait", 0);
            m_session.Ptz().SetMotionPolicy(policy);
            policy = m_session.Ptz().GetMotionPolicy();
            m_out.Reply("PtzMotionPolicy", {{"supersede", policy.supersede},
                                            {"deadManMs", policy.deadManMs},
                                            {"stopOnLeaving", policy.stopOnLeaving},
                                            {"leavingWaitMs", policy.leavingWaitMs}});
        });
    Add({"SetMaxLockTime", g, "store the maximum lock time", {{"seconds", std::nullopt, ""}}},
        [=](const Args& a) {
            m_calls.SetMaxLockTime(a.Int("seconds"));
            sent("SetMaxLockTime");
        });
}

}  // namespace kestrel_host
