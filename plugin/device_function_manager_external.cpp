#include "kestrel/device_function_manager_external.h"

#include "plugin/device_function_manager_delegate.h"
#include "plugin/device_function_manager_external_p.h"

namespace Kestrel {

CDeviceFunctionManagerExternal::CDeviceFunctionManagerExternal(
    std::shared_ptr<CDeviceFunctionManagerDelegate> delegate)
    : d_ptr(new CDeviceFunctionManagerExternalPrivate(this, std::move(delegate))) {}

CDeviceFunctionManagerExternal::~CDeviceFunctionManagerExternal() {
    delete d_ptr;
    d_ptr = nullptr;
}

CDeviceFunctionManagerExternalPrivate* CDeviceFunctionManagerExternal::d_func() { return d_ptr; }
const CDeviceFunctionManagerExternalPrivate* CDeviceFunctionManagerExternal::d_func() const { return d_ptr; }

CDeviceFunctionExternal* CDeviceFunctionManagerExternal::GetDeviceFunction() {
    return d_func()->m_delegate ? d_func()->m_delegate->GetDeviceFunction() : nullptr;
}

CPtzExternal* CDeviceFunctionManagerExternal::GetPtz() {
    return d_func()->m_delegate ? d_func()->m_delegate->GetPtz() : nullptr;
}

CFaceFunctionExternal* CDeviceFunctionManagerExternal::GetFaceFunction() {
    return d_func()->m_delegate ? d_func()->m_delegate->GetFaceFunction() : nullptr;
}

}  // namespace Kestrel
