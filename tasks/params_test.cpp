#include <gtest/gtest.h>

#include "kestrel/device_function_param.h"
#include "kestrel/face_function_param.h"
#include "kestrel/ptz_param.h"

namespace Kestrel {
namespace {

TEST(ParamsTest, FreshObjectsCarryTheirBusinessTypeResultAndDefaults) {
    CPtzParam ptz(CPtzParam::PTZ_EVENT_NONE, -501);
    EXPECT_EQ(ptz.GetBusiness(), Datahub::BUSINESS_PTZ);
    EXPECT_EQ(ptz.GetEventType(), -1);
    EXPECT_EQ(ptz.GetEventResult(), -501);
    EXPECT_EQ(ptz.GetId(), 0xFFFFFFFFu);
    EXPECT_EQ(ptz.GetSeq(), 0);
    EXPECT_EQ(ptz.GetParam(), 0);
    EXPECT_EQ(ptz.GetX() + ptz.GetY() + ptz.GetZ(), 0);
    EXPECT_TRUE(ptz.GetCode().empty() && ptz.GetMsg().empty() && ptz.GetInfo().empty());
    EXPECT_FALSE(ptz.GetEnable());

    CDeviceFunctionParam device(CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_INFO, 7);
    EXPECT_EQ(device.GetBusiness(), Datahub::BUSINESS_DEVICE_FUNCTION);
    EXPECT_EQ(device.GetEventType(), 23);
    EXPECT_EQ(device.GetEventResult(), 7);
    EXPECT_EQ(device.GetId(), 0xFFFFFFFFu);
    EXPECT_EQ(device.GetUi64Now(), 0u);
    EXPECT_EQ(device.GetPlanId(), 0);
    EXPECT_FALSE(device.GetEnable());
    EXPECT_TRUE(device.GetBindResourceIDList().empty());
    EXPECT_TRUE(device.GetBindChannelInfo().empty());
    EXPECT_EQ(device.GetTrafficRealAlarmInfo().text45, "");

    CFaceFunctionParam face(CFaceFunctionParam::FACE_EVENT_FACE_INFO, 0);
    EXPECT_EQ(face.GetBusiness(), Datahub::BUSINESS_FACE_FUNCTION);
    EXPECT_EQ(face.GetEventType(), 0);
    EXPECT_TRUE(face.GetDeviceCode().empty());
}

TEST(ParamsTest, SettersStoreAndGettersHandOutIndependentCopies) {
    CDeviceFunctionParam param(CDeviceFunctionParam::DEVICE_EVENT_BINDING_RESOURCE, 0);
    param.SetBindResourceIDList({"B", "A"});
    param.SetBindChannelInfo({{"A", "N1"}});
    param.SetUi64Now(0x1122334455667788ull);
    param.SetId(42u);

    std::list<std::string> ids = param.GetBindResourceIDList();
    ids.push_back("changed");
    std::map<std::string, std::string> names = param.GetBindChannelInfo();
    names["A"] = "changed";
    EXPECT_EQ(param.GetBindResourceIDList(), (std::list<std::string>{"B", "A"}));
    EXPECT_EQ(param.GetBindChannelInfo().at("A"), "N1");
    EXPECT_EQ(param.GetUi64Now(), 0x1122334455667788ull);
    EXPECT_EQ(param.GetId(), 42u);

    TrafficInfoNotify traffic;
    traffic.items.push_back(TrafficInfoItem{1, "one", 2});
    param.SetTrafficInfoNotify(traffic);
    TrafficInfoNotify back = param.GetTrafficInfoNotify();
    back.items[0].itemText = "changed";
    EXPECT_EQ(param.GetTrafficInfoNotify().items[0].itemText, "one");
}

TEST(ParamsTest, CopiesOfParameterObjectsAreIndependent) {
    CPtzParam original(CPtzParam::PTZ_EVENT_LOCK, -501);
    original.SetCode("ch-0001");
    original.SetMsg("held by supervisor");

    CPtzParam copy(original);
    copy.SetCode("ch-0002");
    EXPECT_EQ(original.GetCode(), "ch-0001");
    EXPECT_EQ(copy.GetMsg(), "held by supervisor");
    EXPECT_EQ(copy.GetEventType(), CPtzParam::PTZ_EVENT_LOCK);
    EXPECT_EQ(copy.GetEventResult(), -501);

    CPtzParam assigned(CPtzParam::PTZ_EVENT_SITE, 0);
    assigned = original;
    original.SetCode("ch-0003");
    EXPECT_EQ(assigned.GetCode(), "ch-0001");
    EXPECT_EQ(assigned.GetEventType(), CPtzParam::PTZ_EVENT_LOCK);

    FaceInfoNotify info;
    info.items.resize(2);
    CFaceFunctionParam face(CFaceFunctionParam::FACE_EVENT_FACE_INFO, 0);
    face.SetFaceInfoNotify(info);
    CFaceFunctionParam faceCopy(face);
    face.SetFaceInfoNotify(FaceInfoNotify());
    EXPECT_EQ(faceCopy.GetFaceInfoNotify().items.size(), 2u);
}

TEST(RecordsTest, DefaultsAndDeepCopies) {
    const FaceInfoNotify face;
    EXPECT_EQ(face.value7 + face.value8 + face.value9 + face.value10, 4);
    EXPECT_EQ(face.value1 + face.value2 + face.value3 + face.value6 + face.value11 + face.value13, 0);
    EXPECT_EQ(face.time1 + face.time2, 0);
    EXPECT_EQ(FaceInfoItem().value4, 1);
    EXPECT_EQ(FaceInfoItem().realValue, 0.0f);

    TrafficInfoNotify traffic;
    traffic.items.push_back(TrafficInfoItem{3, "x", 4});
    TrafficInfoNotify copy = traffic;
    copy.items[0].itemValue1 = 99;
    EXPECT_EQ(traffic.items[0].itemValue1, 3u);

    const TrafficRealAlarmInfo real;
    EXPECT_TRUE(real.text01.empty() && real.text45.empty() && real.payloadText.empty());
    EXPECT_FALSE(real.flag1 || real.flag2 || real.flag3);
    const TrafficScoreAlarmInfo score;
    EXPECT_TRUE(score.text16.empty());
    EXPECT_EQ(score.number3, 0);
}

}  // namespace
}  // namespace Kestrel
