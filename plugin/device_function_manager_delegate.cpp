#include "plugin/device_function_manager_delegate.h"

#include "accountlogic/login_manager.h"
#include "accountlogic/user_manager.h"
#include "datahub/interface_set_manager.h"
#include "device/device_function_delegate.h"
#include "face/face_function_delegate.h"
#include "kestrel/device_function_external.h"
#include "kestrel/face_function_external.h"
#include "kestrel/ptz_external.h"
#include "plugin/device_function_manager.h"
#include "ptz/ptz_delegate.h"

namespace Kestrel {

CDeviceFunctionManagerDelegate::CDeviceFunctionManagerDelegate(Datahub::CInterfaceSetManager* set)
    : m_pInterfaceSetManager(set), m_spFunctionManager(new CDeviceFunctionManager()) {}

CDeviceFunctionManagerDelegate::~CDeviceFunctionManagerDelegate() {
    if (m_pRegisteredLogin != nullptr) {
        m_pRegisteredLogin->UnRegisterObserver(this);
        m_pRegisteredLogin = nullptr;
    }
    delete m_pDeviceFunction;
    m_pDeviceFunction = nullptr;
    delete m_pPtz;
    m_pPtz = nullptr;
    delete m_pFaceFunction;
    m_pFaceFunction = nullptr;
    m_spFunctionManager.reset();
    m_pInterfaceSetManager = nullptr;
}

AccountLogic::CLoginManagerExternal* CDeviceFunctionManagerDelegate::FindLoginManager() const {
    if (m_pInterfaceSetManager == nullptr) return nullptr;
    AccountLogic::CUserManagerExternal* user = m_pInterfaceSetManager->GetUserManagerExternal();
    return user != nullptr ? user->GetLoginManager() : nullptr;
}

bool CDeviceFunctionManagerDelegate::Init() {
    AccountLogic::CLoginManagerExternal* login = FindLoginManager();
    if (login != nullptr && m_pRegisteredLogin == nullptr) {
        login->RegisterObserver(this);
        m_pRegisteredLogin = login;
    }
    const bool ok = m_spFunctionManager->Init(m_pInterfaceSetManager);
    if (ok) RebindFacades();
    return ok;
}

void CDeviceFunctionManagerDelegate::UnInit() {
    AccountLogic::CLoginManagerExternal* login = FindLoginManager();
    if (login != nullptr) login->UnRegisterObserver(this);
    if (m_pRegisteredLogin != nullptr && m_pRegisteredLogin != login)
        m_pRegisteredLogin->UnRegisterObserver(this);
    m_pRegisteredLogin = nullptr;
    m_spFunctionManager->UnInit();
}

// Façades from an earlier Init are pointed at the delegates of this one.
void CDeviceFunctionManagerDelegate::RebindFacades() {
    if (m_pDeviceFunction != nullptr)
        *m_pDeviceFunction = CDeviceFunctionExternal(m_spFunctionManager->GetDeviceFunctionDelegate());
    if (m_pPtz != nullptr) *m_pPtz = CPtzExternal(m_spFunctionManager->GetPtzDelegate());
    if (m_pFaceFunction != nullptr)
        *m_pFaceFunction = CFaceFunctionExternal(m_spFunctionManager->GetFaceFunctionDelegate());
}

namespace {
template <class Facade, class Delegate>
Facade* GetOrCreate(Facade*& cached, std::shared_ptr<Delegate> delegate) {
    if (cached != nullptr) return cached;
    if (!delegate) return nullptr;
    cached = new Facade(std::move(delegate));
    return cached;
}
}  // namespace

CDeviceFunctionExternal* CDeviceFunctionManagerDelegate::GetDeviceFunction() {
    return GetOrCreate(m_pDeviceFunction, m_spFunctionManager->GetDeviceFunctionDelegate());
}

CPtzExternal* CDeviceFunctionManagerDelegate::GetPtz() {
    return GetOrCreate(m_pPtz, m_spFunctionManager->GetPtzDelegate());
}

CFaceFunctionExternal* CDeviceFunctionManagerDelegate::GetFaceFunction() {
    return GetOrCreate(m_pFaceFunction, m_spFunctionManager->GetFaceFunctionDelegate());
}

std::string CDeviceFunctionManagerDelegate::GetManagerName() { return "Kestrel"; }

}  // namespace Kestrel
