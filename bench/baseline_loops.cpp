#include "baseline_loops.h"

#include <memory>

#include "bench_config.h"

namespace bench {

namespace {
std::unique_ptr<BaselineLoops>& Instance() {
    static std::unique_ptr<BaselineLoops> instance;
    return instance;
}
}  // namespace

BaselineLoops& BaselineLoops::Get() {
    auto& instance = Instance();
    if (!instance) instance.reset(new BaselineLoops());
    return *instance;
}

void BaselineLoops::Release() { Instance().reset(); }

BaselineLoops::BaselineLoops()
    : m_pool(kPoolThreads), m_strand(boost::asio::make_strand(m_pool.get_executor())) {
    m_work.emplace(boost::asio::make_work_guard(m_ui));
    m_uiThread = std::thread([this] { m_ui.run(); });
}

BaselineLoops::~BaselineLoops() {
    Drain();
    m_work.reset();
    m_uiThread.join();
    m_pool.join();
}

void BaselineLoops::Drain() {
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    PostToStrand([this, &done] { PostToUi([&done] { done.set_value(); }); });
    finished.wait();
}

std::shared_ptr<Gate> BaselineLoops::HoldStrand() {
    auto gate = std::make_shared<Gate>();
    PostToStrand([gate] { gate->Hold(); });
    gate->WaitHeld();
    return gate;
}

Gate::Gate() : m_openFuture(m_open.get_future().share()) {}

Gate::~Gate() { Open(); }

void Gate::Hold() {
    const std::shared_future<void> open = m_openFuture;
    m_held.set_value();
    open.wait();
}

void Gate::WaitHeld() { m_held.get_future().wait(); }

void Gate::Open() {
    if (m_opened) return;
    m_opened = true;
    m_open.set_value();
}

}  // namespace bench
