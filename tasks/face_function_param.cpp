#include "kestrel/face_function_param.h"

#include "tasks/face_function_param_p.h"
#include "tasks/param_field.h"

namespace Kestrel {

KESTREL_PARAM_CLASS(CFaceFunctionParam, Datahub::BUSINESS_FACE_FUNCTION)

KESTREL_PARAM_VALUE(CFaceFunctionParam, std::string, DeviceCode)
KESTREL_PARAM_VALUE(CFaceFunctionParam, FaceInfoNotify, FaceInfoNotify)

}  // namespace Kestrel
