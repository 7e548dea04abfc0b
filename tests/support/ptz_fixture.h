#pragma once
// The PTZ worker under test, reachable directly: a host in a box with a
// running plug-in (KestrelFixture) plus a PTZ delegate of the test's own on
// the same account and resource-tree plug-ins, with its façade and an
// observer. The plug-in's own PTZ worker stays idle; server events still
// reach it (and m_ptzObserver) through the login connection.
#include <memory>
#include <string>
#include <vector>

#include "datahub/interface_set_manager.h"
#include "hostfw/vkl_host.h"
#include "kestrel/ptz_external.h"
#include "kestrel/ptz_param.h"
#include "kestrel_fixture.h"
#include "ptz/ptz_delegate.h"
#include "ptz_test_util.h"
#include "zrsdk/zrsdk_control.h"

namespace kestrel_test {

class PtzFixture : public KestrelFixture {
protected:
    void SetUp() override {
        KestrelFixture::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(m_set.AddLogicalPlugin(m_env->AccountPlugin()));
        ASSERT_TRUE(m_set.AddLogicalPlugin(m_env->ResourceTreePlugin()));
        m_delegate = std::make_shared<Kestrel::CPtzDelegate>(&m_set);
        m_facade = std::make_unique<Kestrel::CPtzExternal>(m_delegate);
        ASSERT_TRUE(m_facade->RegisterObserver(&m_observer));
        WaitIdle();
        zrsdk::control::ClearCaptures();
    }
    void TearDown() override {
        if (m_env) WaitIdle();
        if (m_delegate) m_delegate->UnInit();
        if (m_env) WaitIdle();
        m_facade.reset();
        m_delegate.reset();
        KestrelFixture::TearDown();
    }

    Kestrel::CPtz& Worker() { return *m_delegate->GetWorker(); }
    Kestrel::CPtzExternal& Facade() { return *m_facade; }

    // The nth result of the type that reached m_observer, once it has.
    std::shared_ptr<Kestrel::CPtzParam> WaitResult(int eventType, std::size_t n = 1) {
        return m_observer.Wait<Kestrel::CPtzParam>(eventType, n);
    }
    // The captured inputs of one platform function, oldest first.
    static std::vector<zrsdk::control::CapturedCall> Calls(const std::string& function) {
        return zrsdk::control::CapturedCalls(function);
    }

    void AdvanceSeconds(int seconds) { vkl::Host::AdvanceClock(int64_t(seconds) * 1000); }

    Datahub::CInterfaceSetManager m_set;
    std::shared_ptr<Kestrel::CPtzDelegate> m_delegate;
    std::unique_ptr<Kestrel::CPtzExternal> m_facade;
    RecordingObserver m_observer;
};

}  // namespace kestrel_test
