#pragma once
#include <memory>

#include "kestrel/kestrel_export.h"

namespace Datahub { class IObserver; }

namespace Kestrel {

class CFaceFunctionDelegate;
class CFaceFunctionExternalPrivate;

// Face events pushed by the server reach the registered observers on the UI
// loop as CFaceFunctionParam objects.
class KESTREL_API CFaceFunctionExternal {
public:
    explicit CFaceFunctionExternal(std::shared_ptr<CFaceFunctionDelegate> delegate);
    ~CFaceFunctionExternal();
    CFaceFunctionExternal& operator=(const CFaceFunctionExternal& other);
    CFaceFunctionExternal(const CFaceFunctionExternal&) = delete;

    bool RegisterObserver(Datahub::IObserver* observer);
    bool UnRegisterObserver(Datahub::IObserver* observer);

private:
    CFaceFunctionExternalPrivate* d_func();
    const CFaceFunctionExternalPrivate* d_func() const;
    CFaceFunctionExternalPrivate* d_ptr;
};

}  // namespace Kestrel
