#pragma once
// What the three function delegates share: they create their worker, start
// it with the interface set, stop it on UnInit, and pass observer
// registrations to it.
#include <boost/shared_ptr.hpp>

#include "datahub/observer.h"

namespace Datahub { class CInterfaceSetManager; }

namespace Kestrel {

template <class Worker>
class CFunctionDelegate {
public:
    explicit CFunctionDelegate(Datahub::CInterfaceSetManager* set)
        : m_pInterfaceSetManager(set), m_spWorker(new Worker()) {
        m_spWorker->Init(set);
    }

    void UnInit() {
        if (m_spWorker) m_spWorker->UnInit();
    }
    bool RegisterObserver(Datahub::IObserver* observer) { return m_spWorker->AddObserver(observer); }
    bool UnRegisterObserver(Datahub::IObserver* observer) { return m_spWorker->RemoveObserver(observer); }

    // For tests and diagnostics inside the module.
    const boost::shared_ptr<Worker>& GetWorker() const { return m_spWorker; }

    CFunctionDelegate(const CFunctionDelegate&) = delete;
    CFunctionDelegate& operator=(const CFunctionDelegate&) = delete;

protected:
    Datahub::CInterfaceSetManager* m_pInterfaceSetManager;
    boost::shared_ptr<Worker> m_spWorker;
};

}  // namespace Kestrel
