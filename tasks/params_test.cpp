#include <cstdint>
#include <initializer_list>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "kestrel/device_function_param.h"
#include "kestrel/face_function_param.h"
#include "kestrel/ptz_param.h"

namespace Kestrel {
namespace {

// What default construction gives, member by member.
template <class Record, class Member>
void ExpectAll(const Record& record, std::initializer_list<Member Record::*> members, const Member& expected) {
    int i = 0;
    for (Member Record::*member : members) EXPECT_EQ(record.*member, expected) << "member " << i++;
}

void ExpectDefault(const TrafficInfoNotify& r) {
    using R = TrafficInfoNotify;
    ExpectAll<R, std::string>(r, {&R::text1, &R::text2, &R::text3, &R::text4, &R::text5}, "");
    ExpectAll<R, int32_t>(r, {&R::value1, &R::value2, &R::value3, &R::value4, &R::value5, &R::value6}, 0);
    EXPECT_EQ(std::make_tuple(r.value64, r.itemCount, r.items.size()), std::make_tuple(0, 0u, 0u));
}

void ExpectDefault(const TrafficRealAlarmInfo& r) {
    using R = TrafficRealAlarmInfo;
    ExpectAll<R, std::string>(r, {&R::text01, &R::text02, &R::text03, &R::text04, &R::text05, &R::text06,
                                  &R::text07, &R::text08, &R::text09, &R::text10, &R::text11, &R::text12,
                                  &R::text13, &R::text14, &R::text15, &R::text16, &R::text17, &R::text18,
                                  &R::text19, &R::text20, &R::text21, &R::text22, &R::text23, &R::text24,
                                  &R::text25, &R::text26, &R::text27, &R::text28, &R::text29, &R::text30,
                                  &R::text31, &R::text32, &R::text33, &R::text34, &R::text35, &R::text36,
                                  &R::text37, &R::text38, &R::text39, &R::text40, &R::text41, &R::text42,
                                  &R::text43, &R::text44, &R::text45, &R::payloadText}, "");
    ExpectAll<R, int64_t>(r, {&R::number1, &R::number2, &R::number3}, 0);
    ExpectAll<R, int32_t>(r, {&R::value1, &R::value2, &R::value3, &R::value4, &R::value5, &R::value6, &R::value7}, 0);
    ExpectAll<R, bool>(r, {&R::flag1, &R::flag2, &R::flag3}, false);
}

void ExpectDefault(const TrafficScoreAlarmInfo& r) {
    using R = TrafficScoreAlarmInfo;
    ExpectAll<R, std::string>(r, {&R::text01, &R::text02, &R::text03, &R::text04, &R::text05, &R::text06,
                                  &R::text07, &R::text08, &R::text09, &R::text10, &R::text11, &R::text12,
                                  &R::text13, &R::text14, &R::text15, &R::text16, &R::payloadText}, "");
    ExpectAll<R, int64_t>(r, {&R::number1, &R::number2, &R::number3}, 0);
    ExpectAll<R, int32_t>(r, {&R::value1, &R::value2, &R::value3, &R::value4, &R::value5}, 0);
    ExpectAll<R, bool>(r, {&R::flag1, &R::flag2}, false);
}

void ExpectDefault(const IMSAlarmInfoNotify& r) {
    using R = IMSAlarmInfoNotify;
    ExpectAll<R, std::string>(r, {&R::text1, &R::text2, &R::text3, &R::text4, &R::text5, &R::text6}, "");
}

void ExpectDefault(const FaceInfoNotify& r) {
    using R = FaceInfoNotify;
    ExpectAll<R, std::string>(r, {&R::text1, &R::text2, &R::text3, &R::text4, &R::text5, &R::text6, &R::text7,
                                  &R::text8}, "");
    ExpectAll<R, int32_t>(r, {&R::value1, &R::value2, &R::value3, &R::value4, &R::value5, &R::value6, &R::value11,
                              &R::value12, &R::value13}, 0);
    ExpectAll<R, int32_t>(r, {&R::value7, &R::value8, &R::value9, &R::value10}, 1);
    EXPECT_EQ(std::make_tuple(r.time1, r.time2, r.flag, r.items.size()), std::make_tuple(0, 0, false, 0u));
}

void ExpectDefault(const FaceInfoItem& r) {
    using R = FaceInfoItem;
    ExpectAll<R, std::string>(r, {&R::text1, &R::text2, &R::text3, &R::text4, &R::text5, &R::text6, &R::text7,
                                  &R::text8, &R::text9, &R::text10, &R::text11}, "");
    ExpectAll<R, int32_t>(r, {&R::value1, &R::value2, &R::value3}, 0);
    EXPECT_EQ(std::tie(r.value4, r.realValue, r.flag), std::make_tuple(1, 0.0f, false));
}

// A new parameter object of every event type: its class's Business (the
// numbers the client reads), the constructor's type and result, and every
// field at its initial value.
TEST(ParamsTest, NewObjectsHoldTheirInitialValues) {
    for (CDeviceFunctionParam::EventType type :
         {CDeviceFunctionParam::DEVICE_EVENT_START_RECORD, CDeviceFunctionParam::DEVICE_EVENT_STOP_RECORD,
          CDeviceFunctionParam::DEVICE_EVENT_SMART_TRACK_OBJECT, CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_INFO,
          CDeviceFunctionParam::DEVICE_EVENT_BINDING_RESOURCE, CDeviceFunctionParam::DEVICE_EVENT_START_APP_RECORD,
          CDeviceFunctionParam::DEVICE_EVENT_STOP_APP_RECORD, CDeviceFunctionParam::DEVICE_EVENT_IMS_ALARM,
          CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_REAL_ALARM, CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_SCORE_ALARM}) {
        SCOPED_TRACE(type);
        CDeviceFunctionParam p(type, -501);
        EXPECT_EQ(std::make_tuple(p.GetBusiness(), p.GetEventType(), p.GetEventResult(), p.GetId(), p.GetUi64Now(),
                                  p.GetEnable(), p.GetCode(), p.GetInfo()),
                  std::make_tuple(3, type, -501, 0xFFFFFFFFu, 0u, false, "", ""));
        for (int value : {p.GetSeq(), p.GetSessionId(), p.GetParam(), p.GetStreamType(), p.GetPlanId(), p.GetGroup(),
                          p.GetSubscribeID(), p.GetObjectID()})
            EXPECT_EQ(value, 0);
        EXPECT_TRUE(p.GetBindResourceIDList().empty());
        EXPECT_TRUE(p.GetBindChannelInfo().empty());
        ExpectDefault(p.GetTrafficInfoNotify());
        ExpectDefault(p.GetTrafficRealAlarmInfo());
        ExpectDefault(p.GetTrafficScoreAlarmInfo());
        ExpectDefault(p.GetIMSAlarmInfoNotify());
    }
    for (int type = CPtzParam::PTZ_EVENT_NONE; type <= CPtzParam::PTZ_EVENT_SET_IDLE_MONITOR; ++type) {
        SCOPED_TRACE(type);
        CPtzParam p(static_cast<CPtzParam::EventType>(type), 0);
        EXPECT_EQ(std::make_tuple(p.GetBusiness(), p.GetEventType(), p.GetEventResult(), p.GetId(), p.GetEnable(),
                                  p.GetCode(), p.GetMsg(), p.GetInfo()),
                  std::make_tuple(28, type, 0, 0xFFFFFFFFu, false, "", "", ""));
        for (int value : {p.GetSeq(), p.GetParam(), p.GetX(), p.GetY(), p.GetZ()}) EXPECT_EQ(value, 0);
    }
    CFaceFunctionParam face(CFaceFunctionParam::FACE_EVENT_FACE_INFO, 1);
    EXPECT_EQ(std::make_tuple(face.GetBusiness(), face.GetEventType(), face.GetEventResult(), face.GetDeviceCode()),
              std::make_tuple(4, 0, 1, ""));
    ExpectDefault(face.GetFaceInfoNotify());
    ExpectDefault(FaceInfoItem());
    EXPECT_EQ(TrafficInfoItem().itemText, "");
}

TEST(ParamsTest, CopiesOfParameterObjectsAreIndependent) {
    CPtzParam original(CPtzParam::PTZ_EVENT_LOCK, -501);
    original.SetCode("ch-0001");
    original.SetMsg("held by supervisor");

    CPtzParam copy(original);
    copy.SetCode("ch-0002");
    EXPECT_EQ(original.GetCode(), "ch-0001");
    EXPECT_EQ(std::make_tuple(copy.GetMsg(), copy.GetEventType(), copy.GetEventResult()),
              std::make_tuple("held by supervisor", CPtzParam::PTZ_EVENT_LOCK, -501));

    CPtzParam assigned(CPtzParam::PTZ_EVENT_SITE, 0);
    assigned = original;
    original.SetCode("ch-0003");
    EXPECT_EQ(std::make_tuple(assigned.GetCode(), assigned.GetEventType()),
              std::make_tuple("ch-0001", CPtzParam::PTZ_EVENT_LOCK));

    FaceInfoNotify info;
    info.items.resize(2);
    CFaceFunctionParam face(CFaceFunctionParam::FACE_EVENT_FACE_INFO, 0);
    face.SetFaceInfoNotify(info);
    CFaceFunctionParam faceCopy(face);
    face.SetFaceInfoNotify(FaceInfoNotify());
    EXPECT_EQ(faceCopy.GetFaceInfoNotify().items.size(), 2u);
}

}  // namespace
}  // namespace Kestrel
