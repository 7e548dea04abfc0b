// Preset points and the cruise through the platform, with the caches from
// which the façade answers; the queue keys of the preset queries.
#include <gtest/gtest.h>

#include "ptz_fixture.h"
#include "ptz_test_util.h"
#include "tasks/queue_keys.h"
#include "zrsdk/zrsdk_errors.h"

namespace Kestrel {
namespace {

using kestrel_test::DoubleAt;
using kestrel_test::I32At;
using kestrel_test::TextAt;
using kestrel_test::ZeroFrom;
namespace control = zrsdk::control;

class PtzPresetsTest : public kestrel_test::PtzFixture {
protected:
    std::vector<int> CachedIndexes(const std::string& code) {
        std::vector<int> indexes;
        for (const PrePointInfo& point : Facade().GetPrePointInfo(code)) indexes.push_back(point.index);
        return indexes;
    }
    int Operate(PrePoint_Oper_e op, const std::string& code, unsigned int index, std::string name) {
        return Facade().OperatorPrePoint(op, code, index, name, "menu.ptz");
    }
};

TEST_F(PtzPresetsTest, QueryFillsTheCacheAndSetDeleteGotoKeepItUpToDate) {
    EXPECT_TRUE(Facade().GetPrePointInfo("ch-0001").empty());
    const int seq = Facade().QueryPrePoint("ch-0001", false);
    auto queried = WaitResult(CPtzParam::PTZ_EVENT_QUERY_PRESET_POINTS);
    EXPECT_EQ(queried->GetEventResult(), 0);
    EXPECT_EQ(queried->GetSeq(), seq);
    EXPECT_EQ(queried->GetCode(), "ch-0001");
    auto query = Calls("ZRSDK_PtzGetPresetPoints").at(0);
    EXPECT_EQ(std::string(query.input.begin(), query.input.end()), "ch-0001");
    EXPECT_EQ(query.outputSize, 26628u);

    auto cached = Facade().GetPrePointInfo("ch-0001");
    ASSERT_EQ(cached.size(), 8u);
    EXPECT_EQ(cached[0].index, 1);
    EXPECT_EQ(cached[0].name, "Gate");
    EXPECT_EQ(cached[7].index, 8);
    EXPECT_EQ(cached[7].name, "Sky");
    EXPECT_FALSE(cached[0].flag1 || cached[0].flag2 || cached[0].flag3 || cached[0].flag4);
    EXPECT_TRUE(cached[0].flag5);
    EXPECT_EQ(cached[0].value, 0);

    // Set twice: the cache appends without looking for the number.
    const int setSeq = Operate(PREPOINT_SET, "ch-0001", 9, "Tower");
    auto set = WaitResult(CPtzParam::PTZ_EVENT_PRESET_SET);
    EXPECT_EQ(set->GetEventResult(), 0);
    EXPECT_EQ(set->GetSeq(), setSeq);
    EXPECT_EQ(set->GetCode(), "ch-0001");
    EXPECT_EQ(set->GetId(), 9u);
    EXPECT_EQ(set->GetInfo(), "Tower");
    Operate(PREPOINT_SET, "ch-0001", 9, "Tower");
    WaitResult(CPtzParam::PTZ_EVENT_PRESET_SET, 2);
    EXPECT_EQ(CachedIndexes("ch-0001"), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 9}));
    EXPECT_EQ(Facade().GetPrePointInfo("ch-0001").back().name, "Tower");

    auto record = Calls("ZRSDK_PtzOperatePresetPoint").at(0);
    ASSERT_EQ(record.input.size(), 208u);
    EXPECT_EQ(TextAt(record.input, 0, 64), "ch-0001");
    EXPECT_EQ(TextAt(record.input, 64, 50), "9");
    EXPECT_EQ(TextAt(record.input, 114, 50), "Tower");
    EXPECT_EQ(I32At(record.input, 164), PREPOINT_SET);
    EXPECT_TRUE(ZeroFrom(record.input, 168, 200));
    EXPECT_EQ(DoubleAt(record.input, 200), 1.0);
    EXPECT_STREQ(record.OperateInfo().menuKey, "M-PTZ-01");

    // Delete removes the first entry of the number only; goto changes nothing.
    Operate(PREPOINT_DELETE, "ch-0001", 9, "");
    auto deleted = WaitResult(CPtzParam::PTZ_EVENT_PRESET_DELETE);
    EXPECT_EQ(deleted->GetEventResult(), 0);
    EXPECT_EQ(deleted->GetId(), 9u);
    Operate(PREPOINT_DELETE, "ch-0001", 4, "");
    WaitResult(CPtzParam::PTZ_EVENT_PRESET_DELETE, 2);
    Operate(PREPOINT_GOTO, "ch-0001", 3, "");
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_PRESET_GOTO)->GetEventResult(), 0);
    EXPECT_EQ(CachedIndexes("ch-0001"), (std::vector<int>{1, 2, 3, 5, 6, 7, 8, 9}));

    // Other operation values pass through and are reported as "none".
    Operate(static_cast<PrePoint_Oper_e>(7), "ch-0001", 3, "x");
    auto none = WaitResult(CPtzParam::PTZ_EVENT_NONE);
    EXPECT_EQ(none->GetEventResult(), ZRSDK_ERR_UNSUPPORTED);
    EXPECT_EQ(I32At(Calls("ZRSDK_PtzOperatePresetPoint").back().input, 164), 7);

    // A failed delete leaves the cache alone.
    Operate(PREPOINT_DELETE, "ch-0001", 42, "");
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_PRESET_DELETE, 3)->GetEventResult(), ZRSDK_ERR_UNKNOWN_PRESET);
    EXPECT_EQ(CachedIndexes("ch-0001").size(), 8u);

    // A channel never queried gets no list from a set.
    Operate(PREPOINT_SET, "ch-0005", 1, "Yard");
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_PRESET_SET, 3)->GetEventResult(), 0);
    EXPECT_TRUE(Facade().GetPrePointInfo("ch-0005").empty());
}

TEST_F(PtzPresetsTest, ChannelWithMorePresetsThanTheBufferHoldsGives256) {
    Facade().QueryPrePoint("ch-0003", false);
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_QUERY_PRESET_POINTS)->GetEventResult(), 0);
    auto cached = Facade().GetPrePointInfo("ch-0003");
    ASSERT_EQ(cached.size(), 256u);
    EXPECT_EQ(cached.front().index, 1);
    EXPECT_EQ(cached.back().index, 256);
    EXPECT_EQ(cached.back().name, "Preset 256");
}

// A query empties the list at once; a failed one leaves it empty and reports
// no code.
TEST_F(PtzPresetsTest, QueryEmptiesTheListUntilItsAnswerAndAFailureLeavesItEmpty) {
    Facade().QueryPrePoint("ch-0001", false);
    WaitResult(CPtzParam::PTZ_EVENT_QUERY_PRESET_POINTS);
    ASSERT_EQ(Facade().GetPrePointInfo("ch-0001").size(), 8u);
    {
        kestrel_test::QueueGate gate(QueueKey::kPtzPreset);
        Facade().QueryPrePoint("ch-0001", false);
        EXPECT_TRUE(Facade().GetPrePointInfo("ch-0001").empty());
    }
    WaitResult(CPtzParam::PTZ_EVENT_QUERY_PRESET_POINTS, 2);
    EXPECT_EQ(Facade().GetPrePointInfo("ch-0001").size(), 8u);

    control::FailNextCalls("ZRSDK_PtzGetPresetPoints", 1, 4242);
    const int seq = Facade().QueryPrePoint("ch-0001", false);
    auto failed = WaitResult(CPtzParam::PTZ_EVENT_QUERY_PRESET_POINTS, 3);
    EXPECT_EQ(failed->GetEventResult(), 4242);
    EXPECT_EQ(failed->GetSeq(), seq);
    EXPECT_EQ(failed->GetCode(), "");
    EXPECT_TRUE(Facade().GetPrePointInfo("ch-0001").empty());
}

// The alternative flag picks the "ARPTZPreset" queue: with that queue held,
// a plain query still gets through.
TEST_F(PtzPresetsTest, AlternativeQueryRunsOnItsOwnQueue) {
    kestrel_test::QueueGate gate(QueueKey::kArPtzPreset);
    const int arSeq = Facade().QueryPrePoint("ch-0005", true);
    const int seq = Facade().QueryPrePoint("ch-0001", false);
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_QUERY_PRESET_POINTS)->GetSeq(), seq);
    EXPECT_EQ(control::CallCount("ZRSDK_PtzGetPresetPoints"), 1u);
    gate.Open();
    auto ar = WaitResult(CPtzParam::PTZ_EVENT_QUERY_PRESET_POINTS, 2);
    EXPECT_EQ(ar->GetSeq(), arSeq);
    EXPECT_EQ(ar->GetCode(), "ch-0005");
}

TEST_F(PtzPresetsTest, OperatorPrePointNeedsAChannelTheResourceTreeKnows) {
    kestrel_test::LogCapture log;
    std::string name = "n";
    EXPECT_EQ(Facade().OperatorPrePoint(PREPOINT_GOTO, "no-such-channel", 1, name, "menu.ptz"), -1);
    auto lines = log.LinesOf("Kestrel::CPtz::OperatorPrePoint");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].level, 6);
    EXPECT_EQ(lines[0].source, "Ptz");
    EXPECT_EQ(lines[0].line, 240);
    EXPECT_EQ(lines[0].tag, "");
    EXPECT_EQ(lines[0].text, "Get ChannelInfo Failed.");

    // Known by its id: posted (the platform does not know the id as a code).
    const int seq = Facade().OperatorPrePoint(PREPOINT_GOTO, "1000001", 4294967295u, name, "menu.ptz");
    EXPECT_GT(seq, 0);
    auto result = WaitResult(CPtzParam::PTZ_EVENT_PRESET_GOTO);
    EXPECT_EQ(result->GetSeq(), seq);
    EXPECT_EQ(result->GetId(), 0xFFFFFFFFu);  // number -1
    EXPECT_EQ(TextAt(Calls("ZRSDK_PtzOperatePresetPoint").at(0).input, 64, 50), "-1");
    EXPECT_EQ(name, "n");
    EXPECT_EQ(control::CallCount("ZRSDK_PtzOperatePresetPoint"), 1u);
    EXPECT_EQ(log.LinesOf("Kestrel::CPtz::OperatorPrePoint").size(), 1u);
}

TEST_F(PtzPresetsTest, CruiseQueryFillsTheCacheOfTheChannelTheAnswerNames) {
    const int seq = Facade().QueryCruisePreset("ch-0003", 77, "menu.ptz");
    auto result = WaitResult(CPtzParam::PTZ_EVENT_QUERY_CRUISE);
    EXPECT_EQ(result->GetEventResult(), 0);
    EXPECT_EQ(result->GetSeq(), seq);
    EXPECT_EQ(result->GetCode(), "");
    auto cruise = Facade().GetCruisePresetInfo("ch-0003");
    ASSERT_EQ(cruise.size(), 2u);
    EXPECT_EQ(cruise[0].presetIndex, 10);
    EXPECT_EQ(cruise[0].idleTime, 30);
    EXPECT_EQ(cruise[0].beginTime, "080000");
    EXPECT_EQ(cruise[0].endTime, "180000");
    EXPECT_EQ(cruise[0].type, 0);
    EXPECT_EQ(cruise[0].id, 0);
    EXPECT_EQ(cruise[0].cover, 0);
    EXPECT_EQ(cruise[1].presetIndex, 20);
    EXPECT_EQ(cruise[1].beginTime, "");
    auto call = Calls("ZRSDK_GetChannelCruisePreset").at(0);
    EXPECT_EQ(std::string(call.input.begin(), call.input.end()), "ch-0003");
    EXPECT_STREQ(call.OperateInfo().menuKey, "M-PTZ-01");

    // An answer naming another channel fills that channel's entry.
    ASSERT_TRUE(control::SetCruise("ch-0005", {"Yard", "ch-0003", {{5, 9, "", ""}}}));
    Facade().QueryCruisePreset("ch-0005", 0, "menu.ptz");
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_QUERY_CRUISE, 2)->GetEventResult(), 0);
    EXPECT_TRUE(Facade().GetCruisePresetInfo("ch-0005").empty());
    cruise = Facade().GetCruisePresetInfo("ch-0003");
    ASSERT_EQ(cruise.size(), 1u);
    EXPECT_EQ(cruise[0].presetIndex, 5);
    EXPECT_EQ(cruise[0].idleTime, 9);

    // A failed query leaves the emptied list and reports the code.
    control::FailNextCalls("ZRSDK_GetChannelCruisePreset", 1, 5150);
    Facade().QueryCruisePreset("ch-0003", 0, "menu.ptz");
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_QUERY_CRUISE, 3)->GetEventResult(), 5150);
    EXPECT_TRUE(Facade().GetCruisePresetInfo("ch-0003").empty());
}

// Cruise data is taken by its message type alone. Data under another type is
// ignored: the query still succeeds and stores an empty list under the empty
// code. The length reported with the data is not looked at.
TEST_F(PtzPresetsTest, CruiseDataIsTakenByItsMessageTypeAlone) {
    Facade().QueryCruisePreset("ch-0001", 0, "menu.ptz");
    WaitResult(CPtzParam::PTZ_EVENT_QUERY_CRUISE);
    ASSERT_EQ(Facade().GetCruisePresetInfo("ch-0001").size(), 3u);
    ASSERT_TRUE(control::SetCallbackPlan("ZRSDK_GetChannelCruisePreset", {105, 1}));
    Facade().QueryCruisePreset("ch-0001", 0, "menu.ptz");
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_QUERY_CRUISE, 2)->GetEventResult(), 0);
    EXPECT_TRUE(Facade().GetCruisePresetInfo("ch-0001").empty());
    EXPECT_TRUE(Facade().GetCruisePresetInfo("").empty());

    // Two deliveries in one call add up.
    ASSERT_TRUE(control::SetCallbackPlan("ZRSDK_GetChannelCruisePreset", {0, 2}));
    Facade().QueryCruisePreset("ch-0001", 0, "menu.ptz");
    WaitResult(CPtzParam::PTZ_EVENT_QUERY_CRUISE, 3);
    EXPECT_EQ(Facade().GetCruisePresetInfo("ch-0001").size(), 6u);

    ASSERT_TRUE(control::SetCallbackPlan("ZRSDK_GetChannelCruisePreset", {0, 1, 1}));
    Facade().QueryCruisePreset("ch-0001", 0, "menu.ptz");
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_QUERY_CRUISE, 4)->GetEventResult(), 0);
    EXPECT_EQ(Facade().GetCruisePresetInfo("ch-0001").size(), 3u);
}

TEST_F(PtzPresetsTest, CruiseSaveSendsEveryItemAndLeavesTheCacheAlone) {
    std::vector<CruisePresetInfo> list(2);
    list[0].presetIndex = 3;
    list[0].idleTime = 12;
    list[0].beginTime = "20240101080000";
    list[0].endTime = "a time text far longer than fifteen";
    list[0].extra = "not sent";
    list[0].id = 99;
    list[1].presetIndex = 1;
    list[1].idleTime = 7;
    const int seq = Facade().AddCruisePreset("ch-0001", list, "menu.ptz");
    auto saved = WaitResult(CPtzParam::PTZ_EVENT_ADD_CRUISE);
    EXPECT_EQ(saved->GetEventResult(), 0);
    EXPECT_EQ(saved->GetSeq(), seq);
    EXPECT_EQ(saved->GetCode(), "ch-0001");

    auto call = Calls("ZRSDK_SetChannelCruisePreset").at(0);
    ASSERT_EQ(call.input.size(), 144u);
    EXPECT_EQ(TextAt(call.input, 0, 64), "ch-0001");
    EXPECT_TRUE(ZeroFrom(call.input, 64, 128));
    EXPECT_EQ(I32At(call.input, 128), 1);
    EXPECT_EQ(I32At(call.input, 132), 2);
    ASSERT_EQ(call.extra.size(), 88u);
    EXPECT_EQ(I32At(call.extra, 0), 3);
    EXPECT_EQ(I32At(call.extra, 4), 3);
    EXPECT_EQ(I32At(call.extra, 8), 12);
    EXPECT_EQ(TextAt(call.extra, 12, 15), "20240101080000");
    EXPECT_EQ(TextAt(call.extra, 27, 15), "a time text fa");  // 14 characters and the NUL
    EXPECT_EQ(call.extra[41], 0);
    EXPECT_TRUE(ZeroFrom(call.extra, 42, 44));
    EXPECT_EQ(I32At(call.extra, 44), 1);
    EXPECT_EQ(I32At(call.extra, 48), 1);
    EXPECT_EQ(I32At(call.extra, 52), 7);
    EXPECT_STREQ(call.OperateInfo().menuName, "PTZ control");

    EXPECT_TRUE(Facade().GetCruisePresetInfo("ch-0001").empty());
    auto stored = control::GetCruise("ch-0001");
    ASSERT_EQ(stored.items.size(), 2u);
    EXPECT_EQ(stored.items[0].presetIndex, 3);

    control::FailNextCalls("ZRSDK_SetChannelCruisePreset", 1, 6001);
    Facade().AddCruisePreset("ch-0001", {}, "menu.ptz");
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_ADD_CRUISE, 2)->GetEventResult(), 6001);
    EXPECT_EQ(I32At(Calls("ZRSDK_SetChannelCruisePreset").back().input, 132), 0);
}

}  // namespace
}  // namespace Kestrel
