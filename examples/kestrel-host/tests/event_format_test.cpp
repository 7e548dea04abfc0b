#include <gtest/gtest.h>

#include <boost/json/parse.hpp>
#include <boost/json/serialize.hpp>

#include "event_decoder.h"
#include "event_format.h"
#include "event_names.h"
#include "kestrel/device_function_param.h"
#include "kestrel/face_function_param.h"
#include "kestrel/ptz_param.h"

namespace kestrel_host {
namespace {

using Kestrel::CDeviceFunctionParam;
using Kestrel::CFaceFunctionParam;
using Kestrel::CPtzParam;

TEST(EventNamesTest, UnknownValuesAreNumberedAndOnlyStopAppRecordIsUnreachable) {
    EXPECT_EQ(EventName(Facade::Ptz, 99), "PTZ_EVENT_99");
    // The same value means different events on different façades.
    EXPECT_EQ(EventName(Facade::Device, 9), "DEVICE_EVENT_START_RECORD");
    EXPECT_EQ(EventName(Facade::Ptz, 9), "PTZ_EVENT_9");
    EXPECT_EQ(AllEventKinds().size(), 10u + 20u + 1u);
    std::size_t unreachable = 0;
    for (const EventKind& kind : AllEventKinds()) unreachable += IsUnreachable(kind.facade, kind.type);
    EXPECT_EQ(unreachable, 1u);
    EXPECT_TRUE(IsUnreachable(Facade::Device, CDeviceFunctionParam::DEVICE_EVENT_STOP_APP_RECORD));
}

TEST(EventDecoderTest, APtzLockResultKeepsItsMeaningfulFields) {
    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_LOCK, -501);
    param->SetCode("ch-0003");
    param->SetSeq(12);
    param->SetParam(1);
    param->SetMsg("supervisor");
    param->SetX(77);  // not part of a lock result
    const EventRecord e = DecodeEvent(Facade::Ptz, param, ThreadKind::UI);
    EXPECT_EQ(e.name, "PTZ_EVENT_LOCK");
    EXPECT_EQ(e.result, -501);
    EXPECT_EQ(boost::json::serialize(e.fields), R"({"code":"ch-0003","seq":12,"param":1,"msg":"supervisor"})");
    EXPECT_EQ(e.Int("seq"), 12);
    EXPECT_EQ(e.Text("msg"), "supervisor");
    EXPECT_EQ(e.Int("absent", -3), -3);
}

TEST(EventDecoderTest, DeviceRecordsAndFaceItemsAreCopiedOut) {
    auto binding = std::make_shared<CDeviceFunctionParam>(CDeviceFunctionParam::DEVICE_EVENT_BINDING_RESOURCE, 0);
    binding->SetCode("ch-0001");
    binding->SetBindResourceIDList({"ch-0002", "alarm-in-0001"});
    binding->SetBindChannelInfo({{"ch-0002", "Hall"}});
    binding->SetUi64Now(4711);
    EventRecord e = DecodeEvent(Facade::Device, binding, ThreadKind::Pool);
    EXPECT_EQ(boost::json::serialize(e.fields),
              R"({"code":"ch-0001","bindResourceIDList":["ch-0002","alarm-in-0001"],)"
              R"("bindChannelInfo":{"ch-0002":"Hall"},"ui64Now":4711})");
    EXPECT_EQ(e.thread, ThreadKind::Pool);

    auto face = std::make_shared<CFaceFunctionParam>(CFaceFunctionParam::FACE_EVENT_FACE_INFO, 0);
    Kestrel::FaceInfoNotify info;
    info.text1 = "ch-0001";
    info.items.resize(2);
    info.items[1].text1 = "visitor 2";
    info.items[1].realValue = 0.93f;
    face->SetFaceInfoNotify(info);
    e = DecodeEvent(Facade::Face, face, ThreadKind::UI);
    const auto& items = e.fields.at("faceInfoNotify").at("items").as_array();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].at("text1").as_string(), "visitor 2");
    EXPECT_DOUBLE_EQ(items[1].at("realValue").as_double(), 0.93);
}

TEST(EventDecoderTest, AnObjectOfAnotherBusinessKeepsOnlyItsBaseValues) {
    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_SITE, 3);
    param->SetCode("ch-0001");
    const EventRecord e = DecodeEvent(Facade::Device, param, ThreadKind::UI);
    EXPECT_EQ(e.name, "DEVICE_EVENT_14");
    EXPECT_EQ(e.result, 3);
    EXPECT_TRUE(e.fields.empty());
    const EventRecord none = DecodeEvent(Facade::Ptz, nullptr, ThreadKind::UI);
    EXPECT_TRUE(none.fields.empty());
}

EventRecord Sample() {
    EventRecord e;
    e.facade = Facade::Ptz;
    e.type = CPtzParam::PTZ_EVENT_LOCK;
    e.name = "PTZ_EVENT_LOCK";
    e.result = -501;
    e.thread = ThreadKind::Pool;
    e.fields = {{"code", "ch-0003"}, {"msg", "two words"}, {"info", ""}, {"list", boost::json::array{1, "a"}},
                {"score", 0.93}};
    return e;
}

TEST(EventFormatTest, TextLineQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(FormatEventText(Sample(), std::nullopt),
              "PTZ_EVENT_LOCK result=-501 code=ch-0003 msg=\"two words\" info=\"\" list=[1,\"a\"] score=0.93 thread=pool");
    Answer answer;
    answer.operation = "SetLock";
    answer.latencyMs = 0.4149;
    answer.expectedResult = 0;
    answer.resultAsExpected = false;
    const std::string line = FormatEventText(Sample(), answer);
    EXPECT_NE(line.find("thread=pool  <- SetLock 0.41 ms  (expected result 0)"), std::string::npos) << line;
    EXPECT_EQ(TextValue(boost::json::value("a=b")), "\"a=b\"");
}

TEST(EventFormatTest, JsonLineCarriesEventAnswerAndFields) {
    Answer answer;
    answer.operation = "SetLock";
    answer.latencyMs = 1.2345;
    answer.expectedResult = -501;
    const boost::json::value json = boost::json::parse(boost::json::serialize(FormatEventJson(Sample(), answer)));
    EXPECT_EQ(json.at("event").as_string(), "PTZ_EVENT_LOCK");
    EXPECT_EQ(json.at("facade").as_string(), "ptz");
    EXPECT_EQ(json.at("type").as_int64(), 7);
    EXPECT_EQ(json.at("result").as_int64(), -501);
    EXPECT_EQ(json.at("thread").as_string(), "pool");
    EXPECT_EQ(json.at("fields").at("msg").as_string(), "two words");
    EXPECT_EQ(json.at("operation").as_string(), "SetLock");
    EXPECT_EQ(json.at("latency_us").as_int64(), 1235);
    EXPECT_EQ(json.at("expected_result").as_int64(), -501);
    EXPECT_FALSE(FormatEventJson(Sample(), std::nullopt).contains("operation"));
}

}  // namespace
}  // namespace kestrel_host
