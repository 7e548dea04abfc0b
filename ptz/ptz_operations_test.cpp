// Movement, lens, positioning, wiper and scanning end to end: façade →
// worker → platform (the bytes it received) → observers on the UI loop.
#include <gtest/gtest.h>

#include "ptz_fixture.h"
#include "ptz_test_util.h"
#include "zrsdk/zrsdk_errors.h"

namespace Kestrel {
namespace {

using kestrel_test::DoubleAt;
using kestrel_test::I32At;
using kestrel_test::TextAt;
using kestrel_test::ThreadKind;
using kestrel_test::ZeroFrom;
namespace control = zrsdk::control;

class PtzOperationsTest : public kestrel_test::PtzFixture {};

TEST_F(PtzOperationsTest, DirectionSendsBothSpeedsAndTheStartFlag) {
    const int seq = Facade().PtzDirection("ch-0001", DIRECTION_LEFT, false, 5, "menu.ptz");
    auto moving = WaitResult(CPtzParam::PTZ_EVENT_DIRECTION);
    EXPECT_EQ(moving->GetEventResult(), 0);
    EXPECT_EQ(moving->GetSeq(), seq);
    EXPECT_EQ(moving->GetCode(), "ch-0001");
    EXPECT_EQ(moving->GetParam(), DIRECTION_LEFT);
    EXPECT_TRUE(moving->GetEnable());
    EXPECT_EQ(m_observer.All().at(0).thread, ThreadKind::UI);

    const int stopSeq = Facade().PtzDirection("ch-0001", DIRECTION_LEFT, true, 2, "");
    auto stopped = WaitResult(CPtzParam::PTZ_EVENT_DIRECTION, 2);
    EXPECT_EQ(stopped->GetSeq(), stopSeq);
    EXPECT_FALSE(stopped->GetEnable());

    auto calls = Calls("ZRSDK_PtzOperateDirect");
    ASSERT_EQ(calls.size(), 2u);
    const auto& in = calls[0].input;
    ASSERT_EQ(in.size(), 340u);
    EXPECT_EQ(calls[0].sessionId, m_env->SessionId());
    EXPECT_EQ(TextAt(in, 0, 64), "ch-0001");
    EXPECT_EQ(I32At(in, 64), 5);
    EXPECT_EQ(I32At(in, 68), 5);
    EXPECT_EQ(I32At(in, 72), DIRECTION_LEFT);
    EXPECT_EQ(I32At(in, 76), 1);
    EXPECT_TRUE(ZeroFrom(in, 80, 336));
    EXPECT_EQ(I32At(in, 336), 30000);
    EXPECT_STREQ(calls[0].OperateInfo().menuKey, "M-PTZ-01");
    EXPECT_STREQ(calls[0].OperateInfo().menuName, "PTZ control");
    EXPECT_EQ(I32At(calls[1].input, 64), 2);
    EXPECT_EQ(I32At(calls[1].input, 68), 2);
    EXPECT_EQ(I32At(calls[1].input, 76), 0);
    EXPECT_STREQ(calls[1].OperateInfo().menuKey, "");
}

TEST_F(PtzOperationsTest, LensOperationsMapToTypeAndCodeAndRefuseOthersWithoutASequenceNumber) {
    const int expected[6][2] = {{1, 1}, {2, 2}, {1, 3}, {2, 1}, {1, 2}, {2, 3}};
    for (int op = 0; op < 6; ++op) {
        const int seq = Facade().PtzControl("ch-0001", static_cast<Ptz_Operator_e>(op), op % 2 == 1, 7, "menu.ptz");
        auto result = WaitResult(CPtzParam::PTZ_EVENT_CAMERA, op + 1);
        EXPECT_EQ(result->GetSeq(), seq);
        EXPECT_EQ(result->GetEventResult(), 0);
        EXPECT_EQ(result->GetParam(), expected[op][1]) << "op " << op;
        EXPECT_EQ(result->GetEnable(), op % 2 == 0);
    }
    auto calls = Calls("ZRSDK_PtzOperateCamera");
    ASSERT_EQ(calls.size(), 6u);
    for (int op = 0; op < 6; ++op) {
        const auto& in = calls[op].input;
        ASSERT_EQ(in.size(), 352u);
        EXPECT_EQ(TextAt(in, 0, 64), "ch-0001");
        EXPECT_EQ(I32At(in, 64), expected[op][0]) << "op " << op;
        EXPECT_EQ(I32At(in, 68), op % 2 == 1 ? 0 : 1);
        EXPECT_EQ(I32At(in, 72), 7);
        EXPECT_EQ(I32At(in, 76), expected[op][1]) << "op " << op;
        EXPECT_TRUE(ZeroFrom(in, 80, 344));
        EXPECT_EQ(I32At(in, 344), 30000);
        EXPECT_EQ(I32At(in, 348), 0);
        EXPECT_STREQ(calls[op].OperateInfo().menuName, "PTZ control");
    }

    // Refused values neither post nor draw a sequence number.
    const int before = Facade().PtzSite("ch-0001", 0, 0, 1, 0);
    EXPECT_EQ(Facade().PtzControl("ch-0001", static_cast<Ptz_Operator_e>(6), false, 1, ""), -1);
    EXPECT_EQ(Facade().PtzControl("ch-0001", static_cast<Ptz_Operator_e>(-1), false, 1, ""), -1);
    const int after = Facade().PtzSite("ch-0001", 0, 0, 1, 0);
    EXPECT_EQ(after, before + 1);
    WaitIdle();
    EXPECT_EQ(control::CallCount("ZRSDK_PtzOperateCamera"), 6u);
    EXPECT_EQ(Results(CPtzParam::PTZ_EVENT_CAMERA).size(), 6u);
}

TEST_F(PtzOperationsTest, PlainPositioningSendsTheValueAsSignedText) {
    const int seq = Facade().PtzSite("ch-0001", 120.5, -30.25, 4.0, -5);
    auto result = WaitResult(CPtzParam::PTZ_EVENT_SITE);
    EXPECT_EQ(result->GetEventResult(), 0);
    EXPECT_EQ(result->GetSeq(), seq);
    EXPECT_EQ(result->GetCode(), "ch-0001");

    auto calls = Calls("ZRSDK_PtzSitPosition");
    ASSERT_EQ(calls.size(), 1u);
    const auto& in = calls[0].input;
    ASSERT_EQ(in.size(), 344u);
    EXPECT_EQ(TextAt(in, 0, 64), "ch-0001");
    EXPECT_EQ(DoubleAt(in, 64), 120.5);
    EXPECT_EQ(DoubleAt(in, 72), -30.25);
    EXPECT_EQ(DoubleAt(in, 80), 4.0);
    EXPECT_EQ(in[88], '-');
    EXPECT_EQ(in[89], '5');
    EXPECT_TRUE(ZeroFrom(in, 90, 344));
    EXPECT_TRUE(calls[0].operateInfo.empty());  // the plain call takes no operator record
    EXPECT_EQ(control::CallCount("ZRSDK_PtzSitPositionEx"), 0u);
}

// Only extValues elements 2 and 3 choose the extended call.
TEST_F(PtzOperationsTest, ExtendedPositioningOnlyWhenTheLastTwoExtendedValuesAreSet) {
    PtzSiteParam param;
    param.code = "ch-0001";
    param.x = 10;
    param.y = 20;
    param.z = 2;
    param.value = 42;
    param.extA = 1.5;
    param.extB = 2.5;
    param.extValues[0] = 11;
    param.extValues[1] = 12;
    param.extFlag = 3;
    const int plainSeq = Facade().PtzSiteEx(param, "menu.ptz");
    EXPECT_EQ(param.seq, plainSeq);
    WaitResult(CPtzParam::PTZ_EVENT_SITE);
    ASSERT_EQ(control::CallCount("ZRSDK_PtzSitPosition"), 1u);
    EXPECT_EQ(control::CallCount("ZRSDK_PtzSitPositionEx"), 0u);
    const auto plain = Calls("ZRSDK_PtzSitPosition").at(0).input;
    EXPECT_EQ(DoubleAt(plain, 64), 10.0);
    EXPECT_EQ(TextAt(plain, 88, 256), "42");

    param.extValues[3] = 14;
    const int extSeq = Facade().PtzSiteEx(param, "menu.ptz");
    EXPECT_EQ(param.seq, extSeq);
    EXPECT_NE(extSeq, plainSeq);
    auto result = WaitResult(CPtzParam::PTZ_EVENT_SITE, 2);
    EXPECT_EQ(result->GetSeq(), extSeq);
    EXPECT_EQ(result->GetEventResult(), 0);
    EXPECT_EQ(control::CallCount("ZRSDK_PtzSitPosition"), 1u);
    auto calls = Calls("ZRSDK_PtzSitPositionEx");
    ASSERT_EQ(calls.size(), 1u);
    const auto& in = calls[0].input;
    ASSERT_EQ(in.size(), 104u);
    EXPECT_EQ(TextAt(in, 0, 64), "ch-0001");
    EXPECT_EQ(DoubleAt(in, 64), 1.5);
    EXPECT_EQ(DoubleAt(in, 72), 2.5);
    EXPECT_EQ(I32At(in, 80), 11);
    EXPECT_EQ(I32At(in, 84), 12);
    EXPECT_EQ(I32At(in, 88), 0);
    EXPECT_EQ(I32At(in, 92), 14);
    EXPECT_EQ(in[96], 3);
    EXPECT_TRUE(ZeroFrom(in, 97, 104));
    EXPECT_STREQ(calls[0].OperateInfo().menuKey, "M-PTZ-01");
}

// Each auxiliary operation fills only its own fields of the record.
TEST_F(PtzOperationsTest, WiperScanMarginAndAutoScanFillTheirFieldsOnly) {
    PtzOperation op;
    op.mode = 9;
    op.margin = 2;
    op.action = 1;
    op.value = 40;
    Facade().RainWiper("ch-0001", op);
    auto wiper = WaitResult(CPtzParam::PTZ_EVENT_RAIN_WIPER);
    Facade().SetScanMargin("ch-0001", op);
    auto margin = WaitResult(CPtzParam::PTZ_EVENT_SCAN_MARGIN);
    op.action = 0;
    op.mode = 3;
    Facade().AutoScan("ch-0001", op);
    auto scan = WaitResult(CPtzParam::PTZ_EVENT_AUTO_SCAN);

    EXPECT_EQ(wiper->GetEventResult(), 0);
    EXPECT_EQ(wiper->GetCode(), "ch-0001");
    EXPECT_FALSE(wiper->GetEnable());  // action 1
    EXPECT_EQ(wiper->GetSeq(), 0);
    EXPECT_EQ(margin->GetEventResult(), 0);
    EXPECT_EQ(margin->GetParam(), 2);
    EXPECT_EQ(scan->GetEventResult(), 0);
    EXPECT_TRUE(scan->GetEnable());  // action 0

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
        const auto& in = calls[0].input;
        ASSERT_EQ(in.size(), 80u);
        EXPECT_EQ(TextAt(in, 0, 64), "ch-0001");
        EXPECT_EQ(I32At(in, 64), e.mode) << e.function;
        EXPECT_EQ(I32At(in, 68), e.action) << e.function;
        EXPECT_EQ(I32At(in, 72), e.margin) << e.function;
        EXPECT_EQ(I32At(in, 76), e.value) << e.function;
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
    for (const Line& expected : lines) {
        auto written = log.LinesOf(expected.function);
        ASSERT_EQ(written.size(), 1u) << expected.function;
        EXPECT_EQ(written[0].level, 4);
        EXPECT_EQ(written[0].source, "Ptz");
        EXPECT_EQ(written[0].line, expected.line);
        EXPECT_EQ(written[0].tag, "");
        EXPECT_EQ(written[0].text, expected.text);
    }
    EXPECT_TRUE(log.LinesOf("Kestrel::CPtz::HandlePtzOperateDirectReq").empty());

    // Successful calls log nothing.
    Facade().RainWiper("ch-0001", op);
    WaitResult(CPtzParam::PTZ_EVENT_RAIN_WIPER, 2);
    EXPECT_EQ(log.LinesOf("Kestrel::CPtz::HandleRainWiperReq").size(), 1u);
}

}  // namespace
}  // namespace Kestrel
