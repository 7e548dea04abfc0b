// Guard presets against the management server on loopback: the caches (a
// query empties its channel's list at once) and the events. (The message bodies: rest/rest_messages_test; every fault of
// the server, idle motion and restart included: tests/faults.)
#include <gtest/gtest.h>

#include "kestrel/ptz_param.h"
#include "kestrel_fixture.h"
#include "ptz_test_util.h"
#include "tasks/queue_keys.h"

namespace Kestrel {
namespace {

using kestrel_test::KestrelFixture;

class GuardPresetTest : public KestrelFixture {
protected:
    std::shared_ptr<CPtzParam> WaitLast(int type, std::size_t n) {
        if (!m_ptzObserver.WaitFor(n, type)) return nullptr;
        return m_ptzObserver.OfType(type).back().As<CPtzParam>();
    }
    static CruisePresetInfo Guard(int index, const char* begin, const char* end) {
        CruisePresetInfo info;
        info.presetIndex = index;
        info.beginTime = begin;
        info.endTime = end;
        info.idleTime = 30;
        info.type = 1;
        info.cover = 2;
        info.id = 999;  // not sent
        return info;
    }
};

TEST_F(GuardPresetTest, SaveQueryDeleteRoundTripWithCachesAndEvents) {
    std::vector<CruisePresetInfo> list{Guard(3, "080000", "120000"), Guard(7, "120000", "180000")};
    EXPECT_EQ(Ptz()->GetGuardPresetId("ch-0001"), -1);
    EXPECT_EQ(Ptz()->AddGuardPreset("ch-0001", 1, list, "menu.ptz"), 0);
    auto saved = WaitLast(CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET, 1);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->GetEventResult(), 0);
    const long taskId = Ptz()->GetGuardPresetId("ch-0001");
    EXPECT_GT(taskId, 0);

    // The audit headers came with the call.
    auto requests = m_server.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().method, "POST");
    EXPECT_EQ(requests.back().Header("X-Operate-Code").value_or(""), "M-PTZ-01");
    EXPECT_EQ(requests.back().Header("X-Operate-Name").value_or(""), "PTZ control");
    EXPECT_EQ(requests.back().Header("X-Api-Version").value_or(""), "2.0");

    const int seq = Ptz()->QueryGuardPreset("ch-0001", 1, "menu.ptz");
    auto queried = WaitLast(CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET, 1);
    ASSERT_TRUE(queried);
    EXPECT_EQ(queried->GetEventResult(), 0);
    EXPECT_EQ(queried->GetSeq(), seq);
    EXPECT_EQ(queried->GetCode(), "ch-0001");
    std::vector<CruisePresetInfo> cached = Ptz()->GetGuardPresetInfo("ch-0001");
    ASSERT_EQ(cached.size(), 2u);
    EXPECT_EQ(list.size(), 2u);  // read, never written

    // A query empties the cached list at once, on the held "PTZPreset"
    // queue, and its answer fills it again.
    {
        kestrel_test::QueueGate gate(QueueKey::kPtzPreset);
        Ptz()->QueryGuardPreset("ch-0001", 1, "menu.ptz");
        EXPECT_TRUE(Ptz()->GetGuardPresetInfo("ch-0001").empty());
    }
    ASSERT_TRUE(WaitLast(CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET, 2));
    cached = Ptz()->GetGuardPresetInfo("ch-0001");
    ASSERT_EQ(cached.size(), 2u);
    EXPECT_EQ(cached[1].presetIndex, 7);
    EXPECT_EQ(cached[1].beginTime, "120000");
    EXPECT_EQ(cached[1].endTime, "180000");
    EXPECT_EQ(cached[1].idleTime, 30);
    EXPECT_EQ(cached[1].cover, 2);
    EXPECT_NE(cached[1].id, 999);
    EXPECT_TRUE(cached[1].extra.empty());

    EXPECT_EQ(Ptz()->DelGuardPreset("ch-0001", taskId, "menu.ptz"), 0);
    auto deleted = WaitLast(CPtzParam::PTZ_EVENT_DEL_GUARD_PRESET, 1);
    ASSERT_TRUE(deleted);
    EXPECT_EQ(deleted->GetEventResult(), 0);
    EXPECT_TRUE(Ptz()->GetGuardPresetInfo("ch-0001").empty());
    EXPECT_EQ(Ptz()->GetGuardPresetId("ch-0001"), taskId);  // kept after a delete

    // Deleting it again: the server knows no such task; the cache stays.
    Ptz()->DelGuardPreset("ch-0001", taskId, "menu.ptz");
    auto again = WaitLast(CPtzParam::PTZ_EVENT_DEL_GUARD_PRESET, 2);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->GetEventResult(), mgmt::kCodeNotFound);
}

// No failure touches a cache; each cache is filled before the call that fails.
TEST_F(GuardPresetTest, FailuresLeaveTheCachesAlone) {
    std::vector<CruisePresetInfo> list{Guard(1, "000000", "235959")};
    // Saves and queries go under different keys: one after the other.
    for (const char* code : {"ch-0001", "ch-0002"}) Ptz()->AddGuardPreset(code, 0, list, "menu.ptz");
    ASSERT_TRUE(WaitLast(CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET, 2));
    for (const char* code : {"ch-0001", "ch-0002"}) Ptz()->QueryGuardPreset(code, 0, "menu.ptz");
    ASSERT_TRUE(WaitLast(CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET, 2));
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
    auto failed = WaitLast(CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET, 3);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->GetEventResult(), 404);
    EXPECT_EQ(failed->GetSeq(), seq);
    EXPECT_EQ(failed->GetCode(), "ch-0002");
    EXPECT_EQ(Ptz()->GetGuardPresetInfo("ch-0002").size(), 1u);

    // A refused connection: a delete that fails keeps its list; a query
    // reports the pass-through's own code and an empty code.
    m_server.StopListening();
    Ptz()->DelGuardPreset("ch-0002", Ptz()->GetGuardPresetId("ch-0002"), "menu.ptz");
    auto notDeleted = WaitLast(CPtzParam::PTZ_EVENT_DEL_GUARD_PRESET, 1);
    ASSERT_TRUE(notDeleted);
    EXPECT_LT(notDeleted->GetEventResult(), 0);
    EXPECT_EQ(Ptz()->GetGuardPresetInfo("ch-0002").size(), 1u);
    Ptz()->QueryGuardPreset("ch-0003", 0, "menu.ptz");
    auto refused = WaitLast(CPtzParam::PTZ_EVENT_QUERY_GUARD_PRESET, 4);
    ASSERT_TRUE(refused);
    EXPECT_LT(refused->GetEventResult(), 0);
    EXPECT_TRUE(refused->GetCode().empty());
    EXPECT_EQ(Ptz()->GetGuardPresetInfo("ch-0002").size(), 1u);
    ASSERT_TRUE(m_server.ResumeListening());

    // A session the server does not know: 401 with its own code; the task id
    // recorded before stays.
    m_server.RemoveSession(m_env->SessionId());
    Ptz()->AddGuardPreset("ch-0001", 0, list, "menu.ptz");
    auto unknown = WaitLast(CPtzParam::PTZ_EVENT_ADD_GUARD_PRESET, 3);
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->GetEventResult(), mgmt::kCodeInvalidSession);
    EXPECT_EQ(Ptz()->GetGuardPresetId("ch-0001"), taskId);
}

}  // namespace
}  // namespace Kestrel
