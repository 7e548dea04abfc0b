#include "kestrel/ptz_param.h"

#include "tasks/param_field.h"
#include "tasks/ptz_param_p.h"

namespace Kestrel {

KESTREL_PARAM_CLASS(CPtzParam, Datahub::BUSINESS_PTZ)

KESTREL_PARAM_VALUE(CPtzParam, std::string, Code)
KESTREL_PARAM_SCALAR(CPtzParam, unsigned int, Id)
KESTREL_PARAM_SCALAR(CPtzParam, int, Seq)
KESTREL_PARAM_SCALAR(CPtzParam, int, Param)
KESTREL_PARAM_VALUE(CPtzParam, std::string, Msg)
KESTREL_PARAM_VALUE(CPtzParam, std::string, Info)
KESTREL_PARAM_SCALAR(CPtzParam, int, X)
KESTREL_PARAM_SCALAR(CPtzParam, int, Y)
KESTREL_PARAM_SCALAR(CPtzParam, int, Z)
KESTREL_PARAM_SCALAR(CPtzParam, bool, Enable)

}  // namespace Kestrel
