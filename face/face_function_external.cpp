#include "kestrel/face_function_external.h"

#include "face/face_function_external_p.h"

namespace Kestrel {

KESTREL_FACADE_BASICS(CFaceFunctionExternal, CFaceFunctionDelegate)

}  // namespace Kestrel
