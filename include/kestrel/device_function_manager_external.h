#pragma once
#include <memory>

#include "kestrel/kestrel_export.h"
#include "kmpluginapi/plugin_api.h"

namespace Kestrel {

class CDeviceFunctionExternal;
class CPtzExternal;
class CFaceFunctionExternal;
class CDeviceFunctionManagerDelegate;
class CDeviceFunctionManagerExternalPrivate;

// Hands out the three façades. They are null before Init; the plug-in owns
// them: never delete them, and do not use them after the plug-in is released.
class KESTREL_API CDeviceFunctionManagerExternal : public KMPluginAPI::IManagerExternal {
public:
    explicit CDeviceFunctionManagerExternal(std::shared_ptr<CDeviceFunctionManagerDelegate> delegate);
    ~CDeviceFunctionManagerExternal();
    CDeviceFunctionManagerExternal(const CDeviceFunctionManagerExternal&) = delete;
    CDeviceFunctionManagerExternal& operator=(const CDeviceFunctionManagerExternal&) = delete;

    CDeviceFunctionExternal* GetDeviceFunction();
    CPtzExternal* GetPtz();
    CFaceFunctionExternal* GetFaceFunction();

private:
    CDeviceFunctionManagerExternalPrivate* d_func();
    const CDeviceFunctionManagerExternalPrivate* d_func() const;
    CDeviceFunctionManagerExternalPrivate* d_ptr;
};

}  // namespace Kestrel
