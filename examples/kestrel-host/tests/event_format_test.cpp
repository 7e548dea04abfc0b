#include <gtest/gtest.h>

#include <boost/json/serialize.hpp>

#include "event_decoder.h"
#include "event_format.h"
#include "event_names.h"
#include "kestrel/ptz_param.h"

namespace kestrel_host {
namespace {

using Kestrel::CPtzParam;

// Only the fields that belong to an event's kind are kept: none for an
// object of another business or no object at all.
TEST(EventDecoderTest, KeepsOnlyTheFieldsOfTheEventsKind) {
    auto lock = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_LOCK, -501);
    lock->SetCode("ch-0003");
    lock->SetSeq(12);
    lock->SetParam(1);
    lock->SetMsg("supervisor");
    lock->SetX(77);  // not part of a lock result
    EXPECT_EQ(boost::json::serialize(DecodeEvent(Facade::Ptz, lock, ThreadKind::UI).fields),
              R"({"code":"ch-0003","seq":12,"param":1,"msg":"supervisor"})");

    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_SITE, 3);
    param->SetCode("ch-0001");
    const EventRecord e = DecodeEvent(Facade::Device, param, ThreadKind::UI);
    EXPECT_EQ(e.name, "DEVICE_EVENT_14");  // a value the façade does not name is numbered
    EXPECT_EQ(e.result, 3);
    EXPECT_TRUE(e.fields.empty());
    EXPECT_TRUE(DecodeEvent(Facade::Ptz, nullptr, ThreadKind::UI).fields.empty());
    EXPECT_EQ(EventName(Facade::Ptz, 99), "PTZ_EVENT_99");
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

}  // namespace
}  // namespace kestrel_host
