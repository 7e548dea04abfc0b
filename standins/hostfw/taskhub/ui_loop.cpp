#include "ui_loop.h"

#include <boost/asio/post.hpp>

#include "activity.h"
#include "task_holder.h"
#include "vkl/log.h"

namespace Taskhub {

namespace {
thread_local bool t_uiThread = false;

// Marks the calling thread as the UI thread while it runs UI tasks.
class UiThreadScope {
public:
    UiThreadScope() { t_uiThread = true; }
    ~UiThreadScope() { t_uiThread = false; }
};

void Warn(int line, const char* what) {
    vkl::DPrintLog::instance()->Log("Taskhub", line, "Taskhub::UiLoop", "", vkl::LOG_LEVEL_WARN, "%s", what);
}
}  // namespace

UiLoop& UiLoop::Instance() { return standins::ProcessWide<UiLoop>(); }

// The activity count is made first so that it outlives the loop at exit.
UiLoop::UiLoop() : m_io(std::make_unique<boost::asio::io_context>()) { Activity::Instance(); }

// A host that never stopped its loop thread still exits cleanly.
UiLoop::~UiLoop() {
    if (m_thread.joinable()) Stop();
}

bool UiLoop::OnUiThread() { return t_uiThread; }

bool UiLoop::Post(CTask* task) {
    if (!task) return false;
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_state == State::Stopped) {
        lock.unlock();
        delete task;
        return false;
    }
    boost::asio::post(*m_io, [holder = TaskHolder(task, "the UI loop", &m_queued)]() mutable {
        holder.Run();
    });
    return true;
}

bool UiLoop::ClaimLoopLocked() {
    if (m_runner != Runner::None || m_state == State::Stopping) return false;
    if (m_state == State::Stopped) {
        m_io = std::make_unique<boost::asio::io_context>();
        m_state = State::Open;
    }
    m_runner = Runner::Loop;
    m_work.emplace(boost::asio::make_work_guard(*m_io));
    return true;
}

void UiLoop::Run() {
    boost::asio::io_context* io = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!ClaimLoopLocked()) {
            Warn(__LINE__, "RunUILoop: the UI loop is already being run");
            return;
        }
        io = m_io.get();
    }
    RunLoop(io);
}

void UiLoop::StartThread() {
    JoinFinishedThread();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_thread.joinable() || !ClaimLoopLocked()) {
        Warn(__LINE__, "StartUILoopThread: the UI loop is already being run");
        return;
    }
    boost::asio::io_context* io = m_io.get();
    m_thread = std::thread([this, io] { RunLoop(io); });
}

void UiLoop::RunLoop(boost::asio::io_context* io) {
    {
        UiThreadScope scope;
        io->restart();
        io->run();  // returns once the work guard is gone and the queue is empty
    }
    Finish();
}

void UiLoop::DrainAndFinish(boost::asio::io_context* io) {
    {
        UiThreadScope scope;
        io->restart();
        io->run();
    }
    Finish();
}

void UiLoop::Finish() {
    std::unique_ptr<boost::asio::io_context> old;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_runner = Runner::None;
        m_state = State::Stopped;
        m_work.reset();
        old = std::move(m_io);
    }
    m_changed.notify_all();
    // Tasks posted after the last run are deleted unrun, outside the lock.
    old.reset();
}

void UiLoop::Stop() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        if (m_state == State::Stopped) break;
        if (m_runner == Runner::Loop) {
            m_state = State::Stopping;
            m_work.reset();
            // From inside a UI task the loop ends after that task returns.
            if (OnUiThread()) return;
            m_changed.wait(lock, [&] { return m_runner != Runner::Loop; });
            continue;
        }
        if (m_runner == Runner::Pump) {
            if (OnUiThread()) {
                m_state = State::Stopping;  // the pump drains and stops when it ends
                return;
            }
            m_changed.wait(lock, [&] { return m_runner != Runner::Pump; });
            continue;
        }
        // Nobody runs the loop: drain it here.
        m_state = State::Stopping;
        m_runner = Runner::Pump;
        boost::asio::io_context* io = m_io.get();
        lock.unlock();
        DrainAndFinish(io);
        lock.lock();
    }
    lock.unlock();
    JoinFinishedThread();
}

void UiLoop::Reopen() {
    JoinFinishedThread();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_state != State::Stopped) return;
    m_io = std::make_unique<boost::asio::io_context>();
    m_state = State::Open;
}

void UiLoop::JoinFinishedThread() {
    std::thread finished;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_thread.joinable() || m_runner == Runner::Loop) return;
        if (m_thread.get_id() == std::this_thread::get_id()) return;
        finished = std::move(m_thread);
    }
    finished.join();
}

std::size_t UiLoop::RunPending() {
    boost::asio::io_context* io = nullptr;
    std::size_t queued = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_runner != Runner::None || m_state != State::Open) return 0;
        m_runner = Runner::Pump;
        io = m_io.get();
        queued = m_queued.load();
    }
    std::size_t ran = 0;
    {
        UiThreadScope scope;
        io->restart();
        while (ran < queued && io->poll_one() != 0) ++ran;
    }
    bool stopRequested = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        stopRequested = m_state == State::Stopping;
        if (!stopRequested) m_runner = Runner::None;
    }
    if (stopRequested) {
        DrainAndFinish(io);
    } else {
        m_changed.notify_all();
    }
    return ran;
}

}  // namespace Taskhub
