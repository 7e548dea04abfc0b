#include "fuzz_host.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include "hostfw/environment.h"
#include "hostfw/vkl_host.h"
#include "kestrel/device_function_external.h"
#include "kestrel/device_function_manager_external.h"
#include "kestrel/face_function_external.h"
#include "kestrel/ptz_external.h"
#include "plugin/kestrel.h"
#include "zrsdk/zrsdk_control.h"
#include "zrsdk/zrsdk_types.h"

namespace kestrel_fuzz {

void Fail(const char* expectation, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: expectation failed: %s\n", file, line, expectation);
    std::fflush(stderr);
    std::abort();
}

std::string FieldText(const uint8_t* record, std::size_t size, std::size_t offset, std::size_t width) {
    if (record == nullptr || offset >= size) return std::string();
    if (width > size - offset) width = size - offset;
    std::size_t length = 0;
    while (length < width && record[offset + length] != 0) ++length;
    return std::string(reinterpret_cast<const char*>(record + offset), length);
}

uint32_t PlaceTrafficItems(uint8_t* payload, std::size_t size, bool nullItems) {
    if (size < sizeof(ZRSDK_TRAFFIC_INFO)) return 0;
    const std::size_t present = (size - sizeof(ZRSDK_TRAFFIC_INFO)) / sizeof(ZRSDK_TRAFFIC_ITEM);
    uint8_t* items = nullItems ? nullptr : payload + sizeof(ZRSDK_TRAFFIC_INFO);
    std::memcpy(payload + offsetof(ZRSDK_TRAFFIC_INFO, items), &items, sizeof(items));
    if (nullItems) return 0;
    uint32_t count = FieldValue<uint32_t>(payload, size, offsetof(ZRSDK_TRAFFIC_INFO, itemCount));
    count = present == 0 ? 0 : static_cast<uint32_t>(count % (present + 1));
    std::memcpy(payload + offsetof(ZRSDK_TRAFFIC_INFO, itemCount), &count, sizeof(count));
    return count;
}

void KeepingObserver::OnNotify(std::shared_ptr<Datahub::BaseParam> param) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_received.push_back(std::move(param));
}

std::vector<std::shared_ptr<Datahub::BaseParam>> KeepingObserver::Take() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::shared_ptr<Datahub::BaseParam>> out;
    out.swap(m_received);
    return out;
}

namespace {
FuzzHost* g_host = nullptr;
}  // namespace

FuzzHost& FuzzHost::Get() {
    if (g_host == nullptr) {
        g_host = new FuzzHost();
        // Runs before the statics of the stand-ins are destroyed, so that no
        // pool or delivery thread is left running into them.
        std::atexit(&FuzzHost::ShutDown);
    }
    return *g_host;
}

FuzzHost::FuzzHost() {
    vkl::Host::SetLogSink([](const vkl::Host::LogRecord&) {});
    zrsdk::control::Reset();
    m_env = std::make_unique<hostfw::Environment>();
    m_kestrel = std::make_shared<Kestrel::CKestrel>();
    FUZZ_CHECK(m_kestrel->AddLogicalPlugin(m_env->AccountPlugin()));
    FUZZ_CHECK(m_kestrel->AddLogicalPlugin(m_env->ResourceTreePlugin()));
    FUZZ_CHECK(m_kestrel->Init());
    Kestrel::CDeviceFunctionManagerExternal* manager = m_kestrel->GetManagerExternal();
    FUZZ_CHECK(manager->GetDeviceFunction()->RegisterObserver(&device));
    FUZZ_CHECK(manager->GetPtz()->RegisterObserver(&ptz));
    FUZZ_CHECK(manager->GetFaceFunction()->RegisterObserver(&face));
}

void FuzzHost::ShutDown() {
    FuzzHost* host = g_host;
    if (host == nullptr) return;
    host->m_env->WaitIdle();
    host->m_kestrel->UnInit();
    host->m_env->Shutdown();
    host->m_kestrel.reset();
    host->m_env.reset();
    host->device.Take();
    host->ptz.Take();
    host->face.Take();
    vkl::Host::SetLogSink(nullptr);
}

Datahub::IObserver& FuzzHost::LoginIntake() {
    auto* intake = dynamic_cast<Datahub::IObserver*>(m_kestrel->GetResourceManager());
    FUZZ_CHECK(intake != nullptr);
    return *intake;
}

void FuzzHost::Settle() { FUZZ_CHECK(m_env->WaitIdle(std::chrono::seconds(10))); }

}  // namespace kestrel_fuzz
