// Movement, lens, positioning, wiper and scanning end to end: façade →
// worker → platform (the bytes it received) → observers on the UI loop.
#include <tuple>

#include <gtest/gtest.h>

#include "ptz_fixture.h"
#include "ptz_test_util.h"
#include "zrsdk/zrsdk_errors.h"

namespace Kestrel {
namespace {

using kestrel_test::Answer;
using kestrel_test::IsAnswer;
using kestrel_test::IsRecord;
using kestrel_test::ThreadKind;
namespace control = zrsdk::control;

class PtzOperationsTest : public kestrel_test::PtzFixture {};

TEST_F(PtzOperationsTest, DirectionSendsBothSpeedsAndTheStartFlag) {
    const int seq = Facade().PtzDirection("ch-0001", DIRECTION_LEFT, false, 5, "menu.ptz");
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_DIRECTION), {0, seq, "ch-0001", DIRECTION_LEFT, true}));
    EXPECT_EQ(m_observer.All().at(0).thread, ThreadKind::UI);
    const int stopSeq = Facade().PtzDirection("ch-0001", DIRECTION_LEFT, true, 2, "");
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_DIRECTION, 2), {0, stopSeq, "ch-0001", DIRECTION_LEFT}));

    auto calls = Calls("ZRSDK_PtzOperateDirect");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].sessionId, m_env->SessionId());
    EXPECT_TRUE(IsRecord(calls[0].input, 340,
                         {{0, "ch-0001"}, {64, 5}, {68, 5}, {72, DIRECTION_LEFT}, {76, 1}, {336, 30000}}));
    EXPECT_TRUE(IsRecord(calls[1].input, 340, {{0, "ch-0001"}, {64, 2}, {68, 2}, {72, DIRECTION_LEFT}, {336, 30000}}));
    EXPECT_TRUE(IsRecord(calls[0].operateInfo, ZRSDK_OPERATE_INFO{"M-PTZ-01", "PTZ control"}));
    EXPECT_STREQ(calls[1].OperateInfo().menuKey, "");
}

TEST_F(PtzOperationsTest, LensOperationsMapToTypeAndCodeAndRefuseOthersWithoutASequenceNumber) {
    const int expected[6][2] = {{1, 1}, {2, 2}, {1, 3}, {2, 1}, {1, 2}, {2, 3}};  // type, code
    for (int op = 0; op < 6; ++op) {
        const bool stop = op % 2 == 1;
        const int seq = Facade().PtzControl("ch-0001", static_cast<Ptz_Operator_e>(op), stop, 7, "menu.ptz");
        const Answer answer{0, seq, "ch-0001", expected[op][1], !stop};
        EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_CAMERA, op + 1), answer)) << "op " << op;
        const auto call = Calls("ZRSDK_PtzOperateCamera").at(op);
        EXPECT_TRUE(IsRecord(call.input, 352, {{0, "ch-0001"}, {64, expected[op][0]}, {68, stop ? 0 : 1}, {72, 7},
                                               {76, expected[op][1]}, {344, 30000}})) << "op " << op;
        EXPECT_STREQ(call.OperateInfo().menuName, "PTZ control");
    }

    // Refused values neither post nor draw a sequence number.
    const int before = Facade().PtzSite("ch-0001", 0, 0, 1, 0);
    EXPECT_EQ(Facade().PtzControl("ch-0001", static_cast<Ptz_Operator_e>(6), false, 1, ""), -1);
    EXPECT_EQ(Facade().PtzControl("ch-0001", static_cast<Ptz_Operator_e>(-1), false, 1, ""), -1);
    EXPECT_EQ(Facade().PtzSite("ch-0001", 0, 0, 1, 0), before + 1);
    WaitIdle();
    EXPECT_EQ(control::CallCount("ZRSDK_PtzOperateCamera"), 6u);
    EXPECT_EQ(m_observer.OfType(CPtzParam::PTZ_EVENT_CAMERA).size(), 6u);
}

// Plain positioning sends the value as signed text and no operator record.
// PtzSiteEx sends the same unless extValues element 2 or 3 is set, which
// chooses the extended call.
TEST_F(PtzOperationsTest, PositioningIsPlainUnlessTheLastTwoExtendedValuesAreSet) {
    const int seq = Facade().PtzSite("ch-0001", 120.5, -30.25, 4.0, -5);
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_SITE), {0, seq, "ch-0001"}));
    // code, x, y, z, value, extA, extB, extValues, extFlag
    PtzSiteParam param{"ch-0001", 10, 20, 2, 42, 1.5, 2.5, {11, 12, 0, 0}, 3};
    const int plainSeq = Facade().PtzSiteEx(param, "menu.ptz");
    EXPECT_EQ(param.seq, plainSeq);
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_SITE, 2), {0, plainSeq, "ch-0001"}));
    auto plain = Calls("ZRSDK_PtzSitPosition");
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_TRUE(IsRecord(plain[0].input, 344, {{0, "ch-0001"}, {64, 120.5}, {72, -30.25}, {80, 4.0}, {88, "-5"}}));
    EXPECT_TRUE(IsRecord(plain[1].input, 344, {{0, "ch-0001"}, {64, 10.0}, {72, 20.0}, {80, 2.0}, {88, "42"}}));
    EXPECT_TRUE(plain[0].operateInfo.empty());
    EXPECT_EQ(control::CallCount("ZRSDK_PtzSitPositionEx"), 0u);

    param.extValues[3] = 14;
    const int extSeq = Facade().PtzSiteEx(param, "menu.ptz");
    EXPECT_EQ(param.seq, extSeq);
    EXPECT_NE(extSeq, plainSeq);
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_SITE, 3), {0, extSeq, "ch-0001"}));
    EXPECT_EQ(control::CallCount("ZRSDK_PtzSitPosition"), 2u);
    auto calls = Calls("ZRSDK_PtzSitPositionEx");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(IsRecord(calls[0].input, 104,
                         {{0, "ch-0001"}, {64, 1.5}, {72, 2.5}, {80, 11}, {84, 12}, {92, 14}, {96, uint8_t{3}}}));
    EXPECT_STREQ(calls[0].OperateInfo().menuKey, "M-PTZ-01");
}

// Each auxiliary operation fills only its own fields of the record; their
// results carry no sequence number.
TEST_F(PtzOperationsTest, WiperScanMarginAndAutoScanFillTheirFieldsOnly) {
    PtzOperation op{9, 2, 1, 40};  // mode, margin, action, value
    Facade().RainWiper("ch-0001", op);
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_RAIN_WIPER), {0, 0, "ch-0001", 0, false}));  // action 1
    Facade().SetScanMargin("ch-0001", op);
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_SCAN_MARGIN), {0, 0, "ch-0001", 2}));
    op.action = 0;
    op.mode = 3;
    Facade().AutoScan("ch-0001", op);
    EXPECT_TRUE(IsAnswer(WaitResult(CPtzParam::PTZ_EVENT_AUTO_SCAN), {0, 0, "ch-0001", 0, true}));  // action 0

    struct Expected {
        const char* function;
        int mode, action, margin, value;
    } const expected[] = {
        {"ZRSDK_PtzRainWiper", 0, 1, 0, 0},
        {"ZRSDK_PtzSetScanMargin", 0, 0, 2, 40},
        {"ZRSDK_PtzAutoScan", 3, 0, 0, 40},
    };
    for (const Expected& e : expected) {
        auto calls = Calls(e.function);
        ASSERT_EQ(calls.size(), 1u) << e.function;
        EXPECT_TRUE(IsRecord(calls[0].input, 80,
                             {{0, "ch-0001"}, {64, e.mode}, {68, e.action}, {72, e.margin}, {76, e.value}}))
            << e.function;
    }
}

TEST_F(PtzOperationsTest, FailedAuxiliaryCallsAreLogged) {
    kestrel_test::LogCapture log;
    control::FailNextCalls("ZRSDK_PtzRainWiper", 1, 701);
    control::FailNextCalls("ZRSDK_PtzSetScanMargin", 1, 702);
    control::FailNextCalls("ZRSDK_PtzAutoScan", 1, 703);
    control::FailNextCalls("ZRSDK_PtzOperateDirect", 1, 704);
    PtzOperation op;
    Facade().RainWiper("ch-0001", op);
    Facade().SetScanMargin("ch-0001", op);
    Facade().AutoScan("ch-0001", op);
    Facade().PtzDirection("ch-0001", DIRECTION_UP, false, 1, "");
    WaitIdle();  // the results carry the codes: the platform-error tests

    struct Line {
        const char* function;
        int line;
        const char* text;
    } const lines[] = {
        {"Kestrel::CPtz::HandleRainWiperReq", 1266, "PtzRainWiper failed. errorcode = 701"},
        {"Kestrel::CPtz::HandleSetScanMarginReq", 1323, "PtzSetScanMargin failed. errorcode = 702"},
        {"Kestrel::CPtz::HandleAutoScanReq", 1382, "PtzAutoScan failed. errorcode = 703"},
    };
    for (const Line& e : lines) {
        auto written = log.LinesOf(e.function);
        ASSERT_EQ(written.size(), 1u) << e.function;
        EXPECT_EQ(std::tie(written[0].level, written[0].source, written[0].line, written[0].tag, written[0].text),
                  std::make_tuple(4, std::string("Ptz"), e.line, std::string(), std::string(e.text)));
    }
    EXPECT_TRUE(log.LinesOf("Kestrel::CPtz::HandlePtzOperateDirectReq").empty());

    // Successful calls log nothing.
    Facade().RainWiper("ch-0001", op);
    WaitResult(CPtzParam::PTZ_EVENT_RAIN_WIPER, 2);
    EXPECT_EQ(log.LinesOf("Kestrel::CPtz::HandleRainWiperReq").size(), 1u);
}

}  // namespace
}  // namespace Kestrel
