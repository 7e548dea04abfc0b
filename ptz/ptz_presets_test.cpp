// Preset points and the cruise through the platform, with the caches from
// which the façade answers; the queue keys of the preset queries.
#include <tuple>

#include <gtest/gtest.h>

#include "ptz_fixture.h"
#include "ptz_test_util.h"
#include "tasks/queue_keys.h"
#include "zrsdk/zrsdk_errors.h"

namespace Kestrel {
namespace {

using kestrel_test::IsAnswer;
using kestrel_test::IsRecord;
namespace control = zrsdk::control;

// A cached cruise entry: preset index, extra, begin, end, idle time, type, id, cover.
using Cruise = std::tuple<int, std::string, std::string, std::string, int, int, int, int>;

class PtzPresetsTest : public kestrel_test::PtzFixture {
protected:
    std::vector<int> CachedIndexes(const std::string& code) {
        std::vector<int> indexes;
        for (const PrePointInfo& point : Facade().GetPrePointInfo(code)) indexes.push_back(point.index);
        return indexes;
    }
    std::vector<Cruise> CachedCruise(const std::string& code) {
        std::vector<Cruise> entries;
        for (const CruisePresetInfo& c : Facade().GetCruisePresetInfo(code))
            entries.emplace_back(c.presetIndex, c.extra, c.beginTime, c.endTime, c.idleTime, c.type, c.id, c.cover);
        return entries;
    }
    int Operate(PrePoint_Oper_e op, const std::string& code, unsigned int index, std::string name) {
        return Facade().OperatorPrePoint(op, code, index, name, "menu.ptz");
    }
};

TEST_F(PtzPresetsTest, QueryFillsTheCacheAndSetDeleteGotoKeepItUpToDate) {
    EXPECT_TRUE(Facade().GetPrePointInfo("ch-0001").empty());
    const int seq = Facade().QueryPrePoint("ch-0001", false);
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_QUERY_PRESET_POINTS), {0, seq, "ch-0001"}));
    auto query = Calls("ZRSDK_PtzGetPresetPoints").at(0);
    EXPECT_EQ(std::string(query.input.begin(), query.input.end()), "ch-0001");
    EXPECT_EQ(query.outputSize, 26628u);

    EXPECT_EQ(CachedIndexes("ch-0001"), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    const auto cached = Facade().GetPrePointInfo("ch-0001");
    const PrePointInfo& gate = cached[0];
    EXPECT_EQ(std::tie(gate.name, gate.flag1, gate.flag2, gate.flag3, gate.flag4, gate.flag5, gate.value),
              std::make_tuple("Gate", false, false, false, false, true, 0));
    EXPECT_EQ(cached[7].name, "Sky");

    // Set twice: the cache appends without looking for the number.
    const int setSeq = Operate(PREPOINT_SET, "ch-0001", 9, "Tower");
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_PRESET_SET),
                         {0, setSeq, "ch-0001", 0, false, "", 9, "Tower"}));
    Operate(PREPOINT_SET, "ch-0001", 9, "Tower");
    WaitResult(CPtzParam::PTZ_EVENT_PRESET_SET, 2);
    EXPECT_EQ(CachedIndexes("ch-0001"), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 9}));
    EXPECT_EQ(Facade().GetPrePointInfo("ch-0001").back().name, "Tower");
    auto record = Calls("ZRSDK_PtzOperatePresetPoint").at(0);
    EXPECT_TRUE(IsRecord(record.input, 208,
                         {{0, "ch-0001"}, {64, "9"}, {114, "Tower"}, {164, PREPOINT_SET}, {200, 1.0}}));
    EXPECT_STREQ(record.OperateInfo().menuKey, "M-PTZ-01");

    // Delete removes the first entry of the number only; goto changes nothing.
    const int deleteSeq = Operate(PREPOINT_DELETE, "ch-0001", 9, "");
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_PRESET_DELETE), {0, deleteSeq, "ch-0001", 0, false, "", 9}));
    Operate(PREPOINT_DELETE, "ch-0001", 4, "");
    WaitResult(CPtzParam::PTZ_EVENT_PRESET_DELETE, 2);
    Operate(PREPOINT_GOTO, "ch-0001", 3, "");
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_PRESET_GOTO)->GetEventResult(), 0);
    EXPECT_EQ(CachedIndexes("ch-0001"), (std::vector<int>{1, 2, 3, 5, 6, 7, 8, 9}));

    // Other operation values pass through and are reported as "none".
    Operate(static_cast<PrePoint_Oper_e>(7), "ch-0001", 3, "x");
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_NONE)->GetEventResult(), ZRSDK_ERR_UNSUPPORTED);
    EXPECT_TRUE(IsRecord(Calls("ZRSDK_PtzOperatePresetPoint").back().input, 208,
                         {{0, "ch-0001"}, {64, "3"}, {114, "x"}, {164, 7}, {200, 1.0}}));

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
    const auto cached = Facade().GetPrePointInfo("ch-0003");
    ASSERT_EQ(cached.size(), 256u);
    EXPECT_EQ(std::tie(cached.front().index, cached.back().index, cached.back().name),
              std::make_tuple(1, 256, "Preset 256"));
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
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_QUERY_PRESET_POINTS, 3), {4242, seq, ""}));
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
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_QUERY_PRESET_POINTS, 2), {0, arSeq, "ch-0005"}));
}

TEST_F(PtzPresetsTest, OperatorPrePointNeedsAChannelTheResourceTreeKnows) {
    kestrel_test::LogCapture log;
    std::string name = "n";
    EXPECT_EQ(Facade().OperatorPrePoint(PREPOINT_GOTO, "no-such-channel", 1, name, "menu.ptz"), -1);
    auto lines = log.LinesOf("Kestrel::CPtz::OperatorPrePoint");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(std::tie(lines[0].level, lines[0].source, lines[0].line, lines[0].tag, lines[0].text),
              std::make_tuple(6, std::string("Ptz"), 240, std::string(), std::string("Get ChannelInfo Failed.")));

    // Known by its id: posted (the platform does not know the id as a code).
    const int seq = Facade().OperatorPrePoint(PREPOINT_GOTO, "1000001", 4294967295u, name, "menu.ptz");
    EXPECT_GT(seq, 0);
    // Number -1 comes back as the id 0xFFFFFFFF and goes out as the text "-1".
    const kestrel_test::Answer answer{ZRSDK_ERR_UNKNOWN_CHANNEL, seq, "1000001", 0, false, "", 0xFFFFFFFFu, "n"};
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_PRESET_GOTO), answer));
    EXPECT_EQ(kestrel_test::TextAt(Calls("ZRSDK_PtzOperatePresetPoint").at(0).input, 64, 50), "-1");
    EXPECT_EQ(name, "n");
    EXPECT_EQ(control::CallCount("ZRSDK_PtzOperatePresetPoint"), 1u);
    EXPECT_EQ(log.LinesOf("Kestrel::CPtz::OperatorPrePoint").size(), 1u);
}

TEST_F(PtzPresetsTest, CruiseQueryFillsTheCacheOfTheChannelTheAnswerNames) {
    const int seq = Facade().QueryCruisePreset("ch-0003", 77, "menu.ptz");
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_QUERY_CRUISE), {0, seq, ""}));
    EXPECT_EQ(CachedCruise("ch-0003"),
              (std::vector<Cruise>{{10, "", "080000", "180000", 30, 0, 0, 0}, {20, "", "", "", 30, 0, 0, 0}}));
    auto call = Calls("ZRSDK_GetChannelCruisePreset").at(0);
    EXPECT_EQ(std::string(call.input.begin(), call.input.end()), "ch-0003");
    EXPECT_STREQ(call.OperateInfo().menuKey, "M-PTZ-01");

    // An answer naming another channel fills that channel's entry.
    ASSERT_TRUE(control::SetCruise("ch-0005", {"Yard", "ch-0003", {{5, 9, "", ""}}}));
    Facade().QueryCruisePreset("ch-0005", 0, "menu.ptz");
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_QUERY_CRUISE, 2)->GetEventResult(), 0);
    EXPECT_TRUE(Facade().GetCruisePresetInfo("ch-0005").empty());
    EXPECT_EQ(CachedCruise("ch-0003"), (std::vector<Cruise>{{5, "", "", "", 9, 0, 0, 0}}));

    // A failed query leaves the emptied list and reports the code.
    control::FailNextCalls("ZRSDK_GetChannelCruisePreset", 1, 5150);
    Facade().QueryCruisePreset("ch-0003", 0, "menu.ptz");
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_QUERY_CRUISE, 3)->GetEventResult(), 5150);
    EXPECT_TRUE(Facade().GetCruisePresetInfo("ch-0003").empty());
}

// Cruise data is taken by its message type alone. Data under another type is
// ignored: the query still succeeds and stores an empty list under the empty
// code. Two deliveries in one call add up. The length reported with the data
// is not looked at.
TEST_F(PtzPresetsTest, CruiseDataIsTakenByItsMessageTypeAlone) {
    // How the platform calls back (message, deliveries, length), and the
    // entries then cached for ch-0001, which has three.
    const std::pair<control::CallbackPlan, std::size_t> plans[] = {
        {{0, 1, 0}, 3}, {{105, 1, 0}, 0}, {{0, 2, 0}, 6}, {{0, 1, 1}, 3}};
    for (std::size_t i = 0; i < 4; ++i) {
        ASSERT_TRUE(control::SetCallbackPlan("ZRSDK_GetChannelCruisePreset", plans[i].first));
        Facade().QueryCruisePreset("ch-0001", 0, "menu.ptz");
        EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_QUERY_CRUISE, i + 1)->GetEventResult(), 0) << "plan " << i;
        EXPECT_EQ(Facade().GetCruisePresetInfo("ch-0001").size(), plans[i].second) << "plan " << i;
    }
    EXPECT_TRUE(Facade().GetCruisePresetInfo("").empty());
}

TEST_F(PtzPresetsTest, CruiseSaveSendsEveryItemAndLeavesTheCacheAlone) {
    // preset index, extra, begin, end, idle time, type, id, cover
    const std::vector<CruisePresetInfo> list{
        {3, "not sent", "20240101080000", "a time text far longer than fifteen", 12, 0, 99, 0},
        {1, "", "", "", 7, 0, 0, 0}};
    const int seq = Facade().AddCruisePreset("ch-0001", list, "menu.ptz");
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_ADD_CRUISE), {0, seq, "ch-0001"}));

    auto call = Calls("ZRSDK_SetChannelCruisePreset").at(0);
    ASSERT_EQ(call.input.size(), 144u);
    call.input.resize(136);  // the item pointer ends the record
    EXPECT_TRUE(IsRecord(call.input, 136, {{0, "ch-0001"}, {128, 1}, {132, 2}}));
    // Each item: number and index, idle time, then the times cut to 14 characters and their NUL.
    EXPECT_TRUE(IsRecord(call.extra, 88, {{0, 3}, {4, 3}, {8, 12}, {12, "20240101080000"}, {27, "a time text fa"},
                                          {44, 1}, {48, 1}, {52, 7}}));
    EXPECT_STREQ(call.OperateInfo().menuName, "PTZ control");

    EXPECT_TRUE(Facade().GetCruisePresetInfo("ch-0001").empty());
    auto stored = control::GetCruise("ch-0001");
    ASSERT_EQ(stored.items.size(), 2u);
    EXPECT_EQ(stored.items[0].presetIndex, 3);

    control::FailNextCalls("ZRSDK_SetChannelCruisePreset", 1, 6001);
    Facade().AddCruisePreset("ch-0001", {}, "menu.ptz");
    EXPECT_EQ(WaitResult(CPtzParam::PTZ_EVENT_ADD_CRUISE, 2)->GetEventResult(), 6001);
    EXPECT_TRUE(IsRecord(Calls("ZRSDK_SetChannelCruisePreset").back().input, 144, {{0, "ch-0001"}, {128, 1}}));
}

}  // namespace
}  // namespace Kestrel
