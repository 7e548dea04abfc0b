#include "ptz_fixture.h"

namespace kestrel_test {

void PtzFixture::SetUp() {
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

void PtzFixture::TearDown() {
    if (m_env) WaitIdle();
    if (m_delegate) m_delegate->UnInit();
    if (m_env) WaitIdle();
    m_facade.reset();
    m_delegate.reset();
    KestrelFixture::TearDown();
}

std::vector<std::shared_ptr<Kestrel::CPtzParam>> PtzFixture::Results(int eventType) {
    std::vector<std::shared_ptr<Kestrel::CPtzParam>> out;
    for (const Received& r : m_observer.OfType(eventType)) out.push_back(r.As<Kestrel::CPtzParam>());
    return out;
}

}  // namespace kestrel_test
