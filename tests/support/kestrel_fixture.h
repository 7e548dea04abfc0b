#pragma once
// A running plug-in inside a host in a box: the stand-in host framework, a
// logged-in user on the stand-in platform, and one CKestrel (created in
// process, not loaded) initialised with the account and resource-tree
// plug-ins, and the management server on loopback with the pass-through
// pointed at it. Tests reach the façades and the stand-ins' controls.
#include <cstdint>
#include <memory>

#include <gtest/gtest.h>

#include "hostfw/environment.h"
#include "kestrel/device_function_external.h"
#include "kestrel/device_function_manager_external.h"
#include "kestrel/face_function_external.h"
#include "kestrel/ptz_external.h"
#include "mgmt_server/server.h"
#include "plugin/kestrel.h"
#include "recording_observer.h"

namespace kestrel_test {

class KestrelFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Waits until the pool, the UI loop and the event delivery are idle.
    void WaitIdle();
    // Manual clock of the host's timers, starting at a whole second; the real
    // clock comes back in TearDown.
    void UseManualClock(int64_t startMs = 1700000000000);

    Kestrel::CDeviceFunctionExternal* Device() { return m_kestrel->GetManagerExternal()->GetDeviceFunction(); }
    Kestrel::CPtzExternal* Ptz() { return m_kestrel->GetManagerExternal()->GetPtz(); }
    Kestrel::CFaceFunctionExternal* Face() { return m_kestrel->GetManagerExternal()->GetFaceFunction(); }

    // Options of the host in a box, read by SetUp.
    hostfw::EnvironmentOptions m_options;
    std::unique_ptr<hostfw::Environment> m_env;
    mgmt::Server m_server;
    std::shared_ptr<Kestrel::CKestrel> m_kestrel;
    RecordingObserver m_deviceObserver;
    RecordingObserver m_ptzObserver;
    RecordingObserver m_faceObserver;

private:
    bool m_manualClock = false;
};

}  // namespace kestrel_test
