#pragma once
#include <memory>

namespace Kestrel {

class CDeviceFunctionManagerExternal;
class CDeviceFunctionManagerDelegate;

class CDeviceFunctionManagerExternalPrivate {
public:
    CDeviceFunctionManagerExternalPrivate(CDeviceFunctionManagerExternal* q,
                                          std::shared_ptr<CDeviceFunctionManagerDelegate> delegate)
        : q_ptr(q), m_delegate(std::move(delegate)) {}

    CDeviceFunctionManagerExternal* q_ptr;
    std::shared_ptr<CDeviceFunctionManagerDelegate> m_delegate;
};

}  // namespace Kestrel
