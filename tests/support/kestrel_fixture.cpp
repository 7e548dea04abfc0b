#include "kestrel_fixture.h"

#include "hostfw/rest_host.h"
#include "hostfw/vkl_host.h"
#include "zrsdk/zrsdk_control.h"

namespace kestrel_test {

void KestrelFixture::SetUp() {
    zrsdk::control::Reset();
    m_env = std::make_unique<hostfw::Environment>(m_options);
    ASSERT_TRUE(m_server.Start());
    m_server.AddSession(m_env->SessionId());
    Datahub::Host::SetServerAddress("127.0.0.1", m_server.Port());
    m_kestrel = std::make_shared<Kestrel::CKestrel>();
    ASSERT_TRUE(m_kestrel->AddLogicalPlugin(m_env->AccountPlugin()));
    ASSERT_TRUE(m_kestrel->AddLogicalPlugin(m_env->ResourceTreePlugin()));
    ASSERT_TRUE(m_kestrel->Init());
    ASSERT_NE(Device(), nullptr);
    ASSERT_NE(Ptz(), nullptr);
    ASSERT_NE(Face(), nullptr);
    Device()->RegisterObserver(&m_deviceObserver);
    Ptz()->RegisterObserver(&m_ptzObserver);
    Face()->RegisterObserver(&m_faceObserver);
}

void KestrelFixture::TearDown() {
    if (m_manualClock) vkl::Host::UseRealClock();
    if (m_kestrel) {
        WaitIdle();
        m_kestrel->UnInit();
    }
    if (m_env) m_env->Shutdown();
    Datahub::Host::ClearServerAddress();
    m_server.Stop();
    m_kestrel.reset();
    m_env.reset();
}

void KestrelFixture::WaitIdle() { ASSERT_TRUE(m_env->WaitIdle()); }

void KestrelFixture::UseManualClock(int64_t startMs) {
    vkl::Host::UseManualClock(startMs);
    m_manualClock = true;
}

}  // namespace kestrel_test
