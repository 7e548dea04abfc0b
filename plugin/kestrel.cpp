#include "plugin/kestrel.h"

// This file defines the exported alias. Where weak symbols cannot be exported
// (Windows DLLs made with GCC), Boost.DLL only declares the alias unless the
// one translation unit that defines it says so.
#define BOOST_DLL_FORCE_ALIAS_INSTANTIATION
#include <boost/dll/alias.hpp>

#include "datahub/interface_set_manager.h"
#include "kestrel/device_function_manager_external.h"
#include "plugin/device_function_manager_delegate.h"

namespace Kestrel {

namespace {
// Holds the interface set until the members after it are built, so that a
// throwing step leaves nothing behind.
std::unique_ptr<Datahub::CInterfaceSetManager> NewInterfaceSet() {
    return std::make_unique<Datahub::CInterfaceSetManager>();
}
}  // namespace

CKestrel::CKestrel() {
    std::unique_ptr<Datahub::CInterfaceSetManager> set = NewInterfaceSet();
    m_spManagerDelegate = std::make_shared<CDeviceFunctionManagerDelegate>(set.get());
    m_spManagerExternal = std::make_shared<CDeviceFunctionManagerExternal>(m_spManagerDelegate);
    m_pInterfaceSetManager = set.release();
}

CKestrel::~CKestrel() {
    m_spManagerExternal.reset();
    m_spManagerDelegate.reset();
    if (m_pInterfaceSetManager != nullptr) {
        delete m_pInterfaceSetManager;
        m_pInterfaceSetManager = nullptr;
    }
}

std::string CKestrel::GetPluginName() { return "Kestrel"; }

KMPluginAPI::IAbstractResourceManager* CKestrel::GetResourceManager() {
    return m_spManagerDelegate.get();
}

CDeviceFunctionManagerExternal* CKestrel::GetManagerExternal() { return m_spManagerExternal.get(); }

bool CKestrel::AddLogicalPlugin(KMPluginAPI::IClientLogicalPluginAPI* plugin) {
    if (m_pInterfaceSetManager == nullptr) return false;
    return m_pInterfaceSetManager->AddLogicalPlugin(plugin);
}

bool CKestrel::RemoveLogicalPlugin(KMPluginAPI::IClientLogicalPluginAPI* plugin) {
    if (m_pInterfaceSetManager == nullptr) return false;
    return m_pInterfaceSetManager->RemoveLogicalPlugin(plugin);
}

bool CKestrel::Init() {
    if (!m_spManagerDelegate) return false;
    return m_spManagerDelegate->Init();
}

void CKestrel::UnInit() {
    if (m_spManagerDelegate) m_spManagerDelegate->UnInit();
}

// The factory: one plug-in object per loaded module, created on first use
// and kept by this static until the module is unloaded.
std::shared_ptr<KMPluginAPI::IClientLogicalPluginAPI> GetInstance() {
    static std::shared_ptr<CKestrel> instance = std::make_shared<CKestrel>();
    return instance;
}

}  // namespace Kestrel

BOOST_DLL_ALIAS(Kestrel::GetInstance, GetInstance)
