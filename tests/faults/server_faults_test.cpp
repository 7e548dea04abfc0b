// The management server misbehaving under every REST operation. Outcome:
// each guard-preset and idle-motion request reports exactly one result,
// which is the pass-through's code for a transport failure (refused -1003,
// cut off -1005, too late -1004, too large -1007, no JSON envelope -1008),
// the server's code when it is not 1000, else the HTTP status; an answer
// whose "data" does not fit is still a success with empty fields. The device
// restart logs the same codes. After each fault the same request succeeds.
#include <chrono>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "datahub/rest.h"
#include "kestrel/ptz_param.h"
#include "kestrel_fixture.h"
#include "ptz_test_util.h"

namespace Kestrel {
namespace {

using kestrel_test::KestrelFixture;

struct ServerFault {
    const char* name;
    mgmt::Fault fault;  // method and path are set per operation
    bool refuseConnections = false;
    int expected;
};

// A fault of this kind and answer, for `count` matching requests.
mgmt::Fault Make(mgmt::Fault::Kind kind, int httpStatus = 0, std::optional<int> serverCode = {}, int count = 1) {
    mgmt::Fault fault;
    fault.kind = kind;
    fault.httpStatus = httpStatus;
    fault.serverCode = serverCode;
    fault.count = count;
    return fault;
}

// A success (server code 1000) whose "data" is this JSON text.
mgmt::Fault WithData(const char* method, const char* dataJson) {
    mgmt::Fault fault = Make(mgmt::Fault::Kind::Answer, 0, 1000);
    fault.method = method;
    fault.dataJson = dataJson;
    return fault;
}

std::vector<ServerFault> Faults() {
    using K = mgmt::Fault::Kind;
    return {
        {"refused connection", {}, true, Datahub::PASS_THROUGH_CONNECT_FAILED},
        {"closed mid-answer", Make(K::CloseMidAnswer), false, Datahub::PASS_THROUGH_CONNECTION_LOST},
        // A kept-alive connection is retried once.
        {"closed without answer", Make(K::CloseWithoutAnswer, 0, {}, 2), false, Datahub::PASS_THROUGH_CONNECTION_LOST},
        {"HTTP 500", Make(K::Answer, 500), false, 500},
        {"HTTP 500 with code 1500", Make(K::Answer, 500, 1500), false, 1500},
        {"code 1005", Make(K::Answer, 200, 1005), false, 1005},
        {"malformed JSON", Make(K::BrokenBody), false, Datahub::PASS_THROUGH_BAD_ENVELOPE},
        {"huge body", Make(K::HugeBody), false, Datahub::PASS_THROUGH_ANSWER_TOO_LARGE},
    };
}

class ServerFaultsTest : public KestrelFixture {
protected:
    struct RestOperation {
        const char* name;
        const char* method;
        const char* path;
        int eventType;
        std::function<void()> call;
    };

    std::vector<RestOperation> Operations() {
        return {
            {"AddGuardPreset", "POST", "/psib/ptz/presetTask", CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET,
             [this] {
                 std::vector<CruisePresetInfo> list(2);
                 list[0].presetIndex = 1;
                 list[1].presetIndex = 2;
                 Ptz()->AddGuardPreset("ch-0001", 1, list, "menu.ptz");
             }},
            {"QueryGuardPreset", "GET", "/psib/ptz/presetTask/", CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET,
             [this] { Ptz()->QueryGuardPreset("ch-0001", 1, "menu.ptz"); }},
            {"DelGuardPreset", "DELETE", "/psib/ptz/presetTask/", CPtzParam::PTZ_EVENT_DEL_GUARD_PRESET,
             [this] { Ptz()->DelGuardPreset("ch-0001", m_taskId, "menu.ptz"); }},
            {"SetIdleMonitor", "PUT", "/videoService/ptz/idleMotion/", CPtzParam::PTZ_EVENT_SET_IDLE_MONITOR,
             [this] {
                 PtzIdleMotior motion;
                 motion.enable = true;
                 motion.second = 30;
                 Ptz()->SetIdleMonitor("ch-0001", motion, "menu.ptz");
             }},
        };
    }

    // A task on the server for the deletes to delete.
    void SaveTask() {
        const std::size_t before = m_ptzObserver.OfType(CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET).size();
        std::vector<CruisePresetInfo> list(1);
        Ptz()->AddGuardPreset("ch-0001", 1, list, "menu.ptz");
        ASSERT_TRUE(m_ptzObserver.WaitFor(before + 1, CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET));
        m_taskId = Ptz()->GetGuardPresetId("ch-0001");
        ASSERT_GT(m_taskId, 0);
    }

    int Run(const RestOperation& op) {
        const std::size_t before = m_ptzObserver.OfType(op.eventType).size();
        op.call();
        WaitIdle();
        auto results = m_ptzObserver.OfType(op.eventType);
        EXPECT_EQ(results.size(), before + 1) << op.name << ": one result per request";
        return results.empty() ? 0x7fffffff : results.back().param->GetEventResult();
    }

    long m_taskId = 0;
};

TEST_F(ServerFaultsTest, EveryFaultOnEveryOperationGivesItsCodeAndTheNextCallWorks) {
    for (const RestOperation& op : Operations()) {
        for (const ServerFault& fault : Faults()) {
            SCOPED_TRACE(std::string(op.name) + ", " + fault.name);
            SaveTask();
            m_server.ClearRequests();
            if (fault.refuseConnections) {
                m_server.StopListening();
            } else {
                mgmt::Fault f = fault.fault;
                f.method = op.method;
                f.path = op.path;
                m_server.InjectFault(f);
            }
            EXPECT_EQ(Run(op), fault.expected);

            if (fault.refuseConnections) {
                ASSERT_TRUE(m_server.ResumeListening());
            }
            m_server.ClearFaults();
            EXPECT_EQ(Run(op), 0) << "after the fault";
        }
    }
}

// An answer whose "data" is not what the operation describes is judged by
// its status and code alone: the members that do not fit stay empty.
TEST_F(ServerFaultsTest, DataOfTheWrongShapeIsSuccessWithEmptyFields) {
    SaveTask();
    Ptz()->QueryGuardPreset("ch-0001", 1, "menu.ptz");
    WaitIdle();
    ASSERT_EQ(Ptz()->GetGuardPresetInfo("ch-0001").size(), 1u);

    const char* shapes[] = {"[1,2,3]", "\"text\"", "{\"configList\":{\"presetIndex\":1},\"channelCode\":7}",
                            "{\"configList\":[{\"presetIndex\":\"one\"}],\"channelCode\":\"ch-0001\"}"};
    std::size_t queries = m_ptzObserver.OfType(CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET).size();
    for (const char* data : shapes) {
        SCOPED_TRACE(data);
        m_server.InjectFault(WithData("GET", data));
        const int seq = Ptz()->QueryGuardPreset("ch-0001", 1, "menu.ptz");
        auto result = m_ptzObserver.WaitLast<CPtzParam>(CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET, ++queries);
        ASSERT_TRUE(result);
        EXPECT_EQ(std::make_tuple(result->GetEventResult(), result->GetSeq()), std::make_tuple(0, seq));
        // The list the query emptied stays empty: nothing fitted.
        if (std::string(data).find("ch-0001") == std::string::npos) {
            EXPECT_TRUE(Ptz()->GetGuardPresetInfo("ch-0001").empty());
        } else {
            // The element that did not fit is kept with its fields zero.
            ASSERT_EQ(Ptz()->GetGuardPresetInfo("ch-0001").size(), 1u);
            EXPECT_EQ(Ptz()->GetGuardPresetInfo("ch-0001")[0].presetIndex, 0);
        }
    }

    m_server.InjectFault(WithData("POST", "{\"id\":\"not a number\"}"));
    std::vector<CruisePresetInfo> list(1);
    Ptz()->AddGuardPreset("ch-0004", 0, list, "menu.ptz");
    WaitIdle();
    auto added = m_ptzObserver.OfType(CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET).back();
    EXPECT_EQ(added.param->GetEventResult(), 0);
    EXPECT_EQ(Ptz()->GetGuardPresetId("ch-0004"), 0);
}

// The device restart reports to no observer: its failures are log lines of
// level 6 naming the code (a transport failure, here the time-out that the
// matrix above leaves out, or the server's answer), and a server that answers
// after the time-out costs the pool thread no more than the time-out.
TEST_F(ServerFaultsTest, DeviceRestartLogsEachFailure) {
    kestrel_test::LogCapture log;
    mgmt::Fault late;
    late.method = "PUT";
    late.delay = std::chrono::seconds(11);
    m_server.InjectFault(late);
    Device()->RestartDevice("dev-0001");
    ASSERT_TRUE(m_env->WaitIdle(std::chrono::seconds(30)));

    m_server.InjectFault(Make(mgmt::Fault::Kind::Answer, 503));
    Device()->RestartDevice("dev-0001");
    WaitIdle();
    Device()->RestartDevice("dev-0001");
    WaitIdle();
    // The restart that went through: its path, and no audit headers.
    const auto restart = m_server.Requests().back();
    EXPECT_EQ(std::tie(restart.method, restart.target, restart.code),
              std::make_tuple("PUT", "/videoService/devices/restart/dev-0001", 1000));
    EXPECT_FALSE(restart.Header("X-Operate-Code").has_value());

    const auto lines = log.LinesOf("Kestrel::CDeviceCommunicate::HandleResetDevice");
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& line : lines) EXPECT_EQ(std::tie(line.level, line.source), std::make_tuple(6, "DeviceCommunicate"));
    EXPECT_EQ(lines[0].text, "DataPassThroughJson failed, error = -1004.");
    EXPECT_EQ(lines[1].text.rfind("DataPassThroughJson failed, error = 503 [http_code = 503, api_code = 1000", 0), 0u)
        << lines[1].text;
    EXPECT_EQ(m_deviceObserver.Count(), 0u);
}

}  // namespace
}  // namespace Kestrel
