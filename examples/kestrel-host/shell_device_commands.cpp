// Shell commands of the device façade (CDeviceFunctionExternal).
#include <boost/json/object.hpp>

#include "output.h"
#include "shell.h"
#include "value_parse.h"

namespace kestrel_host {

namespace {
const std::string kMenuRecord = "menu.record";
}  // namespace

void Shell::AddDeviceCommands() {
    const std::string g = "device";
    auto reply = [this](const std::string& name, long long value) { m_out.Reply(name, {{"returned", value}}); };

    Add({"StartRecord", g, "start the platform recording of a channel (DEVICE_EVENT_START_RECORD)",
         {{"code", std::nullopt, "channel code, e.g. ch-0001"},
          {"streamType", "0", ""},
          {"value", "0", "the platform's second integer"},
          {"text", "", "at most 19 characters"},
          {"menuKey", kMenuRecord, "menu key of the caller"}}},
        [=](const Args& a) {
            reply("StartRecord", m_calls.StartRecord(a.Text("code"), a.Int("streamType"), a.Int("value"), a.Text("text"),
                                                     a.Text("menuKey")));
        });
    Add({"StopRecord", g, "stop the platform recording of a channel (DEVICE_EVENT_STOP_RECORD)",
         {{"code", std::nullopt, ""}, {"streamType", "0", ""}, {"flag", "off", "on or off"}, {"menuKey", kMenuRecord, ""}}},
        [=](const Args& a) {
            reply("StopRecord", m_calls.StopRecord(a.Text("code"), a.Int("streamType"), a.Bool("flag"), a.Text("menuKey")));
        });
    Add({"StartAPPChannelRecord", g, "start an APP channel recording (DEVICE_EVENT_START_APP_RECORD)",
         {{"code", std::nullopt, ""},
          {"secondCode", "app-0001", ""},
          {"streamType", "0", ""},
          {"value", "0", ""},
          {"text", "", "at most 19 characters"}}},
        [=](const Args& a) {
            reply("StartAPPChannelRecord",
                  m_calls.StartAPPChannelRecord(a.Text("code"), a.Text("secondCode"), a.Int("streamType"),
                                                a.Int("value"), a.Text("text")));
        });
    Add({"SmartTrackOperate", g, "send a smart-track operation (not reported; the platform records it)",
         {{"code", std::nullopt, ""},
          {"value1", "0", ""},
          {"value2", "0", ""},
          {"flag", "off", ""},
          {"value3", "0", ""},
          {"values", "0,0,0,0,0,0", "up to six integers, comma-separated"}}},
        [=](const Args& a) {
            Kestrel::SmartTrackOperate op;
            op.code = a.Text("code");
            op.value1 = a.Int("value1");
            op.value2 = a.Int("value2");
            op.flag = a.Bool("flag");
            op.value3 = a.Int("value3");
            const std::vector<int> values = ParseIntList(a.Text("values"), "values", 6);
            for (std::size_t i = 0; i < values.size(); ++i) op.values[i] = values[i];
            reply("SmartTrackOperate", m_calls.SmartTrackOperate(op));
        });
    Add({"OpenVehilceMonitor", g, "open vehicle monitoring for channels (not reported)",
         {{"codes", std::nullopt, "zero or more channel codes"}},
         true},
        [=](const Args& a) { reply("OpenVehilceMonitor", m_calls.OpenVehilceMonitor(a.Rest())); });
    Add({"GetBindingResource", g, "ask for the resources bound to a channel (DEVICE_EVENT_BINDING_RESOURCE)",
         {{"code", std::nullopt, ""}, {"tag", "0", "comes back in Ui64Now"}}},
        [=](const Args& a) { reply("GetBindingResource", m_calls.GetBindingResource(a.Text("code"), a.Int64("tag"))); });
    Add({"SetIFrame", g, "force an I-frame (not reported)", {{"code", std::nullopt, ""}}},
        [=](const Args& a) { reply("SetIFrame", m_calls.SetIFrame(a.Text("code"))); });
    Add({"RestartDevice", g, "restart a device through the management server (not reported)",
         {{"deviceCode", std::nullopt, "e.g. dev-0001"}}},
        [=](const Args& a) { reply("RestartDevice", m_calls.RestartDevice(a.Text("deviceCode")) ? 1 : 0); });
    Add({"SnapPicture", g, "not offered by the platform: returns -1",
         {{"code", std::nullopt, ""}, {"value", "0", ""}, {"type", "0", ""}}},
        [=](const Args& a) { reply("SnapPicture", m_calls.SnapPicture(a.Text("code"), a.Int("value"), a.Int("type"))); });
    Add({"MasterSlaveIntellManualTrack", g, "master/slave manual tracking (no platform call)",
         {{"code", std::nullopt, ""}, {"value", "0", ""}}},
        [=](const Args& a) {
            reply("MasterSlaveIntellManualTrack", m_calls.MasterSlaveIntellManualTrack(a.Text("code"), a.Int("value")));
        });
    Add({"MasterSlaveIntellFixedPointTrack", g, "master/slave fixed-point tracking (no platform call)",
         {{"code", std::nullopt, ""}, {"first", "0", ""}, {"second", "0", ""}}},
        [=](const Args& a) {
            reply("MasterSlaveIntellFixedPointTrack",
                  m_calls.MasterSlaveIntellFixedPointTrack(a.Text("code"), static_cast<unsigned>(a.Int("first", 0)),
                                                           static_cast<unsigned>(a.Int("second", 0))));
        });
}

}  // namespace kestrel_host
