// Guard presets against the management server on loopback: the caches (a
// query empties its channel's list at once) and the events. (The message
// bodies: rest/rest_messages_test; every fault of the server, idle motion
// and restart included, with the code each reports: tests/faults.)
#include <tuple>

#include <gtest/gtest.h>

#include "kestrel/ptz_param.h"
#include "kestrel_fixture.h"
#include "ptz_test_util.h"
#include "tasks/queue_keys.h"

namespace Kestrel {
namespace {

using kestrel_test::IsAnswer;

class GuardPresetTest : public kestrel_test::KestrelFixture {
protected:
    std::shared_ptr<CPtzParam> WaitResult(int type, std::size_t n) { return m_ptzObserver.Wait<CPtzParam>(type, n); }
    static CruisePresetInfo Guard(int index, const char* begin, const char* end) {
        return {index, "", begin, end, 30, 1, 999, 2};  // the id is not sent
    }
};

TEST_F(GuardPresetTest, SaveQueryDeleteRoundTripWithCachesAndEvents) {
    std::vector<CruisePresetInfo> list{Guard(3, "080000", "120000"), Guard(7, "120000", "180000")};
    EXPECT_EQ(Ptz()->GetGuardPresetId("ch-0001"), -1);
    EXPECT_EQ(Ptz()->AddGuardPreset("ch-0001", 1, list, "menu.ptz"), 0);
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET, 1), {0}));
    const long taskId = Ptz()->GetGuardPresetId("ch-0001");
    EXPECT_GT(taskId, 0);
    EXPECT_EQ(list.size(), 2u);  // read, never written

    // The audit headers came with the call.
    ASSERT_FALSE(m_server.Requests().empty());
    const auto post = m_server.Requests().back();
    EXPECT_EQ(std::make_tuple(post.method, post.Header("X-Operate-Code").value_or(""),
                              post.Header("X-Operate-Name").value_or(""), post.Header("X-Api-Version").value_or("")),
              std::make_tuple("POST", "M-PTZ-01", "PTZ control", "2.0"));

    const int seq = Ptz()->QueryGuardPreset("ch-0001", 1, "menu.ptz");
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET, 1), {0, seq, "ch-0001"}));
    EXPECT_EQ(Ptz()->GetGuardPresetInfo("ch-0001").size(), 2u);

    // A query empties the cached list at once, on the held "PTZPreset"
    // queue, and its answer fills it again.
    {
        kestrel_test::QueueGate gate(QueueKey::kPtzPreset);
        Ptz()->QueryGuardPreset("ch-0001", 1, "menu.ptz");
        EXPECT_TRUE(Ptz()->GetGuardPresetInfo("ch-0001").empty());
    }
    WaitResult(CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET, 2);
    const std::vector<CruisePresetInfo> cached = Ptz()->GetGuardPresetInfo("ch-0001");
    ASSERT_EQ(cached.size(), 2u);
    const CruisePresetInfo& c = cached[1];
    EXPECT_EQ(std::tie(c.presetIndex, c.extra, c.beginTime, c.endTime, c.idleTime, c.type, c.cover),
              std::make_tuple(7, std::string(), std::string("120000"), std::string("180000"), 30, 1, 2));
    EXPECT_NE(c.id, 999);  // the server's own

    EXPECT_EQ(Ptz()->DelGuardPreset("ch-0001", taskId, "menu.ptz"), 0);
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_DEL_GUARD_PRESET, 1), {0}));
    EXPECT_TRUE(Ptz()->GetGuardPresetInfo("ch-0001").empty());
    EXPECT_EQ(Ptz()->GetGuardPresetId("ch-0001"), taskId);  // kept after a delete

    // Deleting it again: the server knows no such task; the cache stays.
    Ptz()->DelGuardPreset("ch-0001", taskId, "menu.ptz");
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_DEL_GUARD_PRESET, 2)->GetEventResult(), mgmt::kCodeNotFound);
}

// No failure touches a cache; each cache is filled before the call that fails.
TEST_F(GuardPresetTest, FailuresLeaveTheCachesAlone) {
    std::vector<CruisePresetInfo> list{Guard(1, "000000", "235959")};
    // Saves and queries go under different keys: one after the other.
    for (const char* code : {"ch-0001", "ch-0002"}) Ptz()->AddGuardPreset(code, 0, list, "menu.ptz");
    WaitResult(CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET, 2);
    for (const char* code : {"ch-0001", "ch-0002"}) Ptz()->QueryGuardPreset(code, 0, "menu.ptz");
    WaitResult(CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET, 2);
    ASSERT_EQ(Ptz()->GetGuardPresetInfo("ch-0001").size(), 1u);
    ASSERT_EQ(Ptz()->GetGuardPresetInfo("ch-0002").size(), 1u);
    const long taskId = Ptz()->GetGuardPresetId("ch-0001");
    ASSERT_GT(taskId, 0);

    // 404 with server code 1000: the HTTP status is the result. The answer's
    // data names ch-0002 with no presets: the event carries that code, the
    // cache keeps ch-0002's list.
    mgmt::Fault notFound;
    notFound.method = "GET";
    notFound.httpStatus = 404;
    notFound.serverCode = 1000;
    notFound.dataJson = R"({"channelCode":"ch-0002","configList":[]})";
    m_server.InjectFault(notFound);
    const int seq = Ptz()->QueryGuardPreset("ch-0001", 0, "menu.ptz");
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET, 3), {404, seq, "ch-0002"}));
    EXPECT_EQ(Ptz()->GetGuardPresetInfo("ch-0002").size(), 1u);

    // A refused connection: a delete that fails keeps its list; a query
    // reports an empty code.
    m_server.StopListening();
    Ptz()->DelGuardPreset("ch-0002", Ptz()->GetGuardPresetId("ch-0002"), "menu.ptz");
    WaitResult(CPtzParam::PTZ_EVENT_DEL_GUARD_PRESET, 1);
    EXPECT_EQ(Ptz()->GetGuardPresetInfo("ch-0002").size(), 1u);
    Ptz()->QueryGuardPreset("ch-0003", 0, "menu.ptz");
    EXPECT_TRUE(WaitResult(CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET, 4)->GetCode().empty());
    EXPECT_EQ(Ptz()->GetGuardPresetInfo("ch-0002").size(), 1u);
    ASSERT_TRUE(m_server.ResumeListening());

    // A session the server does not know: 401 with its own code; the task id
    // recorded before stays.
    m_server.RemoveSession(m_env->SessionId());
    Ptz()->AddGuardPreset("ch-0001", 0, list, "menu.ptz");
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET, 3)->GetEventResult(), mgmt::kCodeInvalidSession);
    EXPECT_EQ(Ptz()->GetGuardPresetId("ch-0001"), taskId);
}

}  // namespace
}  // namespace Kestrel
