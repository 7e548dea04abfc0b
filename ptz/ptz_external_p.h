#pragma once
#include "kestrel/ptz_external.h"
#include "ptz/ptz_delegate.h"
#include "tasks/facade_private.h"

namespace Kestrel {

class CPtzExternalPrivate : public CFacadePrivate<CPtzExternal, CPtzDelegate> {
public:
    using CFacadePrivate::CFacadePrivate;
};

}  // namespace Kestrel
