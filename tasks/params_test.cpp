#include <cstdint>

#include <gtest/gtest.h>

#include "kestrel/device_function_param.h"
#include "kestrel/face_function_param.h"
#include "kestrel/ptz_param.h"

namespace Kestrel {
namespace {

// A new parameter object of every event type: its class's Business, the
// constructor's type and result, and every field at its initial value. An
// unset record reads as a new one; the records' members start where their
// declarations put them, and only those that start at 1 are checked.
TEST(ParamsTest, NewObjectsHoldTheirInitialValues) {
    for (CDeviceFunctionParam::EventType type :
         {CDeviceFunctionParam::DEVICE_EVENT_START_RECORD, CDeviceFunctionParam::DEVICE_EVENT_STOP_RECORD,
          CDeviceFunctionParam::DEVICE_EVENT_SMART_TRACK_OBJECT, CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_INFO,
          CDeviceFunctionParam::DEVICE_EVENT_BINDING_RESOURCE, CDeviceFunctionParam::DEVICE_EVENT_START_APP_RECORD,
          CDeviceFunctionParam::DEVICE_EVENT_STOP_APP_RECORD, CDeviceFunctionParam::DEVICE_EVENT_IMS_ALARM,
          CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_REAL_ALARM, CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_SCORE_ALARM}) {
        SCOPED_TRACE(type);
        CDeviceFunctionParam p(type, -501);
        EXPECT_EQ(p.GetBusiness(), 3);
        EXPECT_EQ(p.GetEventType(), type);
        EXPECT_EQ(p.GetEventResult(), -501);
        EXPECT_EQ(p.GetId(), 0xFFFFFFFFu);
        for (int value : {p.GetSeq(), p.GetSessionId(), p.GetParam(), p.GetStreamType(), p.GetPlanId(), p.GetGroup(),
                          p.GetSubscribeID(), p.GetObjectID()})
            EXPECT_EQ(value, 0);
        EXPECT_EQ(p.GetUi64Now(), 0u);
        EXPECT_FALSE(p.GetEnable());
        EXPECT_EQ(p.GetCode(), "");
        EXPECT_EQ(p.GetInfo(), "");
        EXPECT_TRUE(p.GetBindResourceIDList().empty());
        EXPECT_TRUE(p.GetBindChannelInfo().empty());
        EXPECT_TRUE(p.GetTrafficInfoNotify().items.empty());
        EXPECT_EQ(p.GetTrafficRealAlarmInfo().number3, 0);
        EXPECT_FALSE(p.GetTrafficScoreAlarmInfo().flag2);
        EXPECT_EQ(p.GetIMSAlarmInfoNotify().text6, "");
    }
    for (int type = CPtzParam::PTZ_EVENT_NONE; type <= CPtzParam::PTZ_EVENT_SET_IDLE_MONITOR; ++type) {
        SCOPED_TRACE(type);
        CPtzParam p(static_cast<CPtzParam::EventType>(type), 0);
        EXPECT_EQ(p.GetBusiness(), 28);
        EXPECT_EQ(p.GetEventType(), type);
        EXPECT_EQ(p.GetEventResult(), 0);
        EXPECT_EQ(p.GetId(), 0xFFFFFFFFu);
        for (int value : {p.GetSeq(), p.GetParam(), p.GetX(), p.GetY(), p.GetZ()}) EXPECT_EQ(value, 0);
        EXPECT_FALSE(p.GetEnable());
        EXPECT_EQ(p.GetCode(), "");
        EXPECT_EQ(p.GetMsg(), "");
        EXPECT_EQ(p.GetInfo(), "");
    }
    CFaceFunctionParam face(CFaceFunctionParam::FACE_EVENT_FACE_INFO, 1);
    EXPECT_EQ(face.GetBusiness(), 4);
    EXPECT_EQ(face.GetEventType(), 0);
    EXPECT_EQ(face.GetEventResult(), 1);
    EXPECT_EQ(face.GetDeviceCode(), "");
    const FaceInfoNotify info = face.GetFaceInfoNotify();
    for (int32_t value : {info.value7, info.value8, info.value9, info.value10, FaceInfoItem().value4})
        EXPECT_EQ(value, 1);
    EXPECT_TRUE(info.items.empty());
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

}  // namespace
}  // namespace Kestrel
