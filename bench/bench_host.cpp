#include "bench_host.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "bench_config.h"
#include "hostfw/environment.h"
#include "hostfw/rest_host.h"
#include "hostfw/vkl_host.h"
#include "kestrel/device_function_external.h"
#include "kestrel/device_function_manager_external.h"
#include "kestrel/face_function_external.h"
#include "kestrel/ptz_external.h"
#include "mgmt_server/server.h"
#include "plugin/kestrel.h"
#include "taskhub/message_loop.h"
#include "taskhub/task.h"
#include "zrsdk/zrsdk_control.h"

namespace bench {

namespace {
std::unique_ptr<BenchHost>& Instance() {
    static std::unique_ptr<BenchHost> instance;
    return instance;
}

std::atomic<uint64_t> g_logLines{0};
std::mutex g_firstLineMutex;
std::string g_firstLine;

void Require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "kestrel-bench: %s\n", what);
    std::exit(2);
}
}  // namespace

BenchHost& BenchHost::Get() {
    auto& instance = Instance();
    if (!instance) instance.reset(new BenchHost());
    return *instance;
}

void BenchHost::Release() { Instance().reset(); }

uint64_t BenchHost::LogLines() { return g_logLines.load(); }

std::string BenchHost::FirstLogLine() {
    std::lock_guard<std::mutex> lock(g_firstLineMutex);
    return g_firstLine;
}

BenchHost::BenchHost() {
    vkl::Host::SetLogSink([](const vkl::Host::LogRecord& record) {
        if (g_logLines.fetch_add(1) != 0) return;
        std::lock_guard<std::mutex> lock(g_firstLineMutex);
        g_firstLine = record.function + ": " + record.text;
    });
    zrsdk::control::Reset();
    // The start of a platform recording is answered at once with success
    // (the plan book is left alone), so that it can be repeated endlessly.
    zrsdk::control::FailNextCalls("ZRSDK_StartRemoteRecord", INT_MAX, 0);

    hostfw::EnvironmentOptions options;
    options.poolThreads = kPoolThreads;
    m_env = std::make_unique<hostfw::Environment>(options);
    Require(m_env->SessionId() != 0, "the stand-in platform refused the login");

    m_server = std::make_unique<mgmt::Server>();
    Require(m_server->Start(), "the management server stand-in cannot listen on loopback");
    m_server->AddSession(m_env->SessionId());
    Datahub::Host::SetServerAddress("127.0.0.1", m_server->Port());

    m_kestrel = std::make_shared<Kestrel::CKestrel>();
    Require(m_kestrel->AddLogicalPlugin(m_env->AccountPlugin()), "AddLogicalPlugin (account)");
    Require(m_kestrel->AddLogicalPlugin(m_env->ResourceTreePlugin()), "AddLogicalPlugin (resource tree)");
    Require(m_kestrel->Init(), "CKestrel::Init");
    Require(Device() && Ptz() && Face(), "the façades");
    Device()->RegisterObserver(&m_deviceObserver);
    Ptz()->RegisterObserver(&m_ptzObserver);
    Face()->RegisterObserver(&m_faceObserver);
    WaitIdle();
}

BenchHost::~BenchHost() {
    WaitIdle();
    Device()->UnRegisterObserver(&m_deviceObserver);
    Ptz()->UnRegisterObserver(&m_ptzObserver);
    Face()->UnRegisterObserver(&m_faceObserver);
    m_kestrel->UnInit();
    m_env->Shutdown();
    Datahub::Host::ClearServerAddress();
    m_server->Stop();
    m_kestrel.reset();
    m_env.reset();
    vkl::Host::SetLogSink(nullptr);
}

hostfw::Environment& BenchHost::Env() { return *m_env; }
mgmt::Server& BenchHost::Server() { return *m_server; }
int BenchHost::SessionId() const { return m_env->SessionId(); }

Kestrel::CDeviceFunctionExternal* BenchHost::Device() {
    return m_kestrel->GetManagerExternal()->GetDeviceFunction();
}
Kestrel::CPtzExternal* BenchHost::Ptz() { return m_kestrel->GetManagerExternal()->GetPtz(); }
Kestrel::CFaceFunctionExternal* BenchHost::Face() {
    return m_kestrel->GetManagerExternal()->GetFaceFunction();
}

Datahub::IObserver* BenchHost::LoginListener() {
    return dynamic_cast<Datahub::IObserver*>(m_kestrel->GetResourceManager());
}

std::shared_ptr<Gate> BenchHost::HoldQueue(const std::string& key) {
    auto gate = std::make_shared<Gate>();
    Taskhub::CSingleton<Taskhub::CMessageLoopPoolForSDK>::GetInstance()->PostTask(
        key, new Taskhub::CFunctionTask([gate] { gate->Hold(); }, false));
    gate->WaitHeld();
    return gate;
}

void BenchHost::WaitIdle() { Require(m_env->WaitIdle(std::chrono::seconds(120)), "the host did not become idle"); }

}  // namespace bench
