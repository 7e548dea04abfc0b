#include <gtest/gtest.h>

#include "kestrel/device_function_param.h"
#include "kestrel/face_function_param.h"
#include "kestrel/ptz_param.h"

namespace Kestrel {
namespace {

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
