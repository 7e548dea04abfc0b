#pragma once
#include <cstddef>
#include <unordered_map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/strand.hpp>

#include "task_holder.h"
#include "taskhub/task.h"
#include "process_wide.h"

namespace Taskhub {

// The SDK thread pool behind every CCachedThreadPool handle. Each queue key
// has its own strand: tasks of one key run one at a time in the order posted,
// while different keys run in parallel on the pool's threads.
class SdkPool {
public:
    static SdkPool& Instance();

    // False (and the task deleted unrun) once the pool has been stopped.
    bool Post(const std::string& key, CTask* task);
    void Start(std::size_t threads);
    // Runs what was posted (and what that posts to the pool), joins the threads.
    void Stop();
    // A stopped pool queues posts again until the next Start.
    void Reopen();
    static bool OnPoolThread();

    ~SdkPool();
    SdkPool(const SdkPool&) = delete;
    SdkPool& operator=(const SdkPool&) = delete;

private:
    template <class T>
    friend T& standins::ProcessWide();
    enum class State { NotStarted, Running, Draining, Stopped };
    using Strand = boost::asio::strand<boost::asio::io_context::executor_type>;
    using WorkGuard = boost::asio::executor_work_guard<boost::asio::io_context::executor_type>;

    SdkPool();
    void StartLocked(std::size_t threads);
    void PostLocked(const std::string& key, TaskHolder holder);

    std::mutex m_mutex;
    State m_state = State::NotStarted;
    std::unique_ptr<boost::asio::io_context> m_io;
    std::optional<WorkGuard> m_work;
    std::vector<std::thread> m_threads;
    std::unordered_map<std::string, Strand> m_strands;
    std::vector<std::pair<std::string, TaskHolder>> m_waiting;  // posted before the start
};

}  // namespace Taskhub
