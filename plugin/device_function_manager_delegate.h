#pragma once
#include <memory>
#include <string>

#include <boost/shared_ptr.hpp>

#include "datahub/observer.h"
#include "kmpluginapi/plugin_api.h"

namespace Datahub { class CInterfaceSetManager; }
namespace AccountLogic { class CLoginManagerExternal; }

namespace Kestrel {

class CDeviceFunctionManager;
class CDeviceFunctionExternal;
class CPtzExternal;
class CFaceFunctionExternal;

// Kestrel's resource manager as the host sees it, and Kestrel's listener on
// the login connection. Owns the function manager and the three façades.
class CDeviceFunctionManagerDelegate : public KMPluginAPI::IAbstractResourceManager,
                                       public Datahub::IObserver {
public:
    explicit CDeviceFunctionManagerDelegate(Datahub::CInterfaceSetManager* set);
    // Deletes the device, PTZ and face façades in that order, then releases
    // the function manager. If the host never called UnInit, the login
    // registration is withdrawn here so that no event reaches a dead object.
    ~CDeviceFunctionManagerDelegate() override;

    bool Init();
    void UnInit();

    // Null before Init (nothing cached then). A façade created earlier is
    // returned again after UnInit; a second Init rebinds it to the new
    // workers, so pointers the client holds keep working.
    CDeviceFunctionExternal* GetDeviceFunction();
    CPtzExternal* GetPtz();
    CFaceFunctionExternal* GetFaceFunction();

    std::string GetManagerName() override;
    // Server events of the login connection (see event_routing.cpp).
    void OnNotify(std::shared_ptr<Datahub::BaseParam> param) override;

    CDeviceFunctionManagerDelegate(const CDeviceFunctionManagerDelegate&) = delete;
    CDeviceFunctionManagerDelegate& operator=(const CDeviceFunctionManagerDelegate&) = delete;

private:
    AccountLogic::CLoginManagerExternal* FindLoginManager() const;
    void RebindFacades();

    Datahub::CInterfaceSetManager* m_pInterfaceSetManager;
    boost::shared_ptr<CDeviceFunctionManager> m_spFunctionManager;
    CDeviceFunctionExternal* m_pDeviceFunction = nullptr;
    CPtzExternal* m_pPtz = nullptr;
    CFaceFunctionExternal* m_pFaceFunction = nullptr;
    // The login manager this object is registered with, if any.
    AccountLogic::CLoginManagerExternal* m_pRegisteredLogin = nullptr;
};

}  // namespace Kestrel
