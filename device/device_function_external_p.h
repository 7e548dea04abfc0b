#pragma once
#include "device/device_function_delegate.h"
#include "kestrel/device_function_external.h"
#include "tasks/facade_private.h"

namespace Kestrel {

class CDeviceFunctionExternalPrivate
    : public CFacadePrivate<CDeviceFunctionExternal, CDeviceFunctionDelegate> {
public:
    using CFacadePrivate::CFacadePrivate;
};

}  // namespace Kestrel
