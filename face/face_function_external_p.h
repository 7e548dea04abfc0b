#pragma once
#include "face/face_function_delegate.h"
#include "kestrel/face_function_external.h"
#include "tasks/facade_private.h"

namespace Kestrel {

class CFaceFunctionExternalPrivate : public CFacadePrivate<CFaceFunctionExternal, CFaceFunctionDelegate> {
public:
    using CFacadePrivate::CFacadePrivate;
};

}  // namespace Kestrel
