#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>

#include "taskhub/task.h"
#include "process_wide.h"

namespace Taskhub {

// The UI loop behind every CBaseMessageLoop handle. Exactly one thread runs
// its tasks at a time: the loop (RunUILoop or the loop thread), or a pump
// (RunUIPending, a WaitIdle with nobody running the loop, or a stop that has
// to drain the queue itself).
class UiLoop {
public:
    static UiLoop& Instance();

    // False (and the task deleted unrun) once the loop has been stopped.
    bool Post(CTask* task);
    void Run();
    void StartThread();
    void Stop();
    // A stopped loop accepts posts again, queued until it runs or is pumped.
    void Reopen();
    // Runs the tasks queued now when nobody runs the loop; how many ran.
    std::size_t RunPending();
    static bool OnUiThread();

    ~UiLoop();
    UiLoop(const UiLoop&) = delete;
    UiLoop& operator=(const UiLoop&) = delete;

private:
    template <class T>
    friend T& standins::ProcessWide();
    enum class State { Open, Stopping, Stopped };
    enum class Runner { None, Loop, Pump };
    using WorkGuard = boost::asio::executor_work_guard<boost::asio::io_context::executor_type>;

    UiLoop();
    // Takes the loop role (with a work guard) under the lock; false if taken.
    bool ClaimLoopLocked();
    void RunLoop(boost::asio::io_context* io);
    // Runs everything queued and what that posts, then marks the loop stopped.
    void DrainAndFinish(boost::asio::io_context* io);
    void Finish();
    void JoinFinishedThread();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    State m_state = State::Open;
    Runner m_runner = Runner::None;
    std::unique_ptr<boost::asio::io_context> m_io;
    std::optional<WorkGuard> m_work;
    std::thread m_thread;
    std::atomic<std::size_t> m_queued{0};
};

}  // namespace Taskhub
