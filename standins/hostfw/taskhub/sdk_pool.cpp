#include "sdk_pool.h"

#include <algorithm>

#include <boost/asio/post.hpp>

#include "activity.h"
#include "vkl/log.h"

namespace Taskhub {

namespace {
thread_local bool t_poolThread = false;
constexpr std::size_t kMinimumThreads = 2;
}  // namespace

SdkPool& SdkPool::Instance() { return standins::ProcessWide<SdkPool>(); }

// The activity count is made first so that it outlives the pool at exit,
// when a pool that was never stopped still discards its tasks.
SdkPool::SdkPool() { Activity::Instance(); }

// A host that never stopped the pool still exits cleanly.
SdkPool::~SdkPool() {
    if (!m_threads.empty()) Stop();
}

bool SdkPool::OnPoolThread() { return t_poolThread; }

bool SdkPool::Post(const std::string& key, CTask* task) {
    if (!task) return false;
    std::unique_lock<std::mutex> lock(m_mutex);
    switch (m_state) {
    case State::NotStarted:
        m_waiting.emplace_back(key, TaskHolder(task, "the SDK pool"));
        return true;
    case State::Running:
    case State::Draining:
        PostLocked(key, TaskHolder(task, "the SDK pool"));
        return true;
    case State::Stopped:
        break;
    }
    lock.unlock();
    delete task;
    return false;
}

void SdkPool::PostLocked(const std::string& key, TaskHolder holder) {
    auto it = m_strands.find(key);
    if (it == m_strands.end()) {
        it = m_strands.emplace(key, boost::asio::make_strand(m_io->get_executor())).first;
    }
    boost::asio::post(it->second, [holder = std::move(holder)]() mutable { holder.Run(); });
}

void SdkPool::Start(std::size_t threads) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_state == State::Running || m_state == State::Draining) return;
    StartLocked(threads);
}

void SdkPool::StartLocked(std::size_t threads) {
    m_io = std::make_unique<boost::asio::io_context>();
    m_work.emplace(boost::asio::make_work_guard(*m_io));
    m_strands.clear();
    boost::asio::io_context* io = m_io.get();
    for (std::size_t i = 0; i < std::max(threads, kMinimumThreads); ++i) {
        m_threads.emplace_back([io] {
            t_poolThread = true;
            io->run();
        });
    }
    m_state = State::Running;
    auto waiting = std::move(m_waiting);
    m_waiting.clear();
    for (auto& [key, holder] : waiting) PostLocked(key, std::move(holder));
}

void SdkPool::Reopen() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_state == State::Stopped) m_state = State::NotStarted;
}

void SdkPool::Stop() {
    if (OnPoolThread()) {
        vkl::DPrintLog::instance()->Log("Taskhub", __LINE__, "Taskhub::SdkPool::Stop", "", vkl::LOG_LEVEL_ERROR,
                                        "the SDK pool cannot be stopped from its own thread");
        return;
    }
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_state == State::NotStarted) {
            if (m_waiting.empty()) {
                m_state = State::Stopped;
                return;
            }
            StartLocked(kMinimumThreads);  // what was posted still runs
        }
        if (m_state != State::Running) return;
        m_state = State::Draining;
        m_work.reset();
        threads = std::move(m_threads);
        m_threads.clear();
    }
    for (std::thread& t : threads) t.join();

    std::unordered_map<std::string, Strand> strands;
    std::unique_ptr<boost::asio::io_context> io;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_state = State::Stopped;
        strands = std::move(m_strands);
        m_strands.clear();
        io = std::move(m_io);
    }
    // Tasks that slipped in after the threads left are deleted unrun here,
    // outside the lock: their destructors may post again.
    strands.clear();
    io.reset();
}

}  // namespace Taskhub
