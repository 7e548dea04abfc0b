#pragma once
// The best the machine does without Kestrel: a Boost.Asio thread pool with a
// strand (where Kestrel has the SDK pool and its queue key) and an
// io_context run by a thread of its own (where Kestrel has the UI loop).
// The pool has as many threads as the host's SDK pool.
#include <cstddef>
#include <future>
#include <memory>
#include <optional>
#include <thread>
#include <utility>

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/strand.hpp>
#include <boost/asio/thread_pool.hpp>

#include "arrival_counter.h"

namespace bench {

class Gate;

class BaselineLoops {
public:
    using Strand = boost::asio::strand<boost::asio::thread_pool::executor_type>;

    static BaselineLoops& Get();
    static void Release();

    Strand& PoolStrand() { return m_strand; }
    boost::asio::io_context& Ui() { return m_ui; }
    // Where the baselines' last hop arrives.
    ArrivalCounter& Arrivals() { return m_arrivals; }

    // First hop: the closure to the strand.
    template <class F>
    void PostToStrand(F&& f) {
        boost::asio::post(m_strand, std::forward<F>(f));
    }
    // Second hop: the closure to the UI thread.
    template <class F>
    void PostToUi(F&& f) {
        boost::asio::post(m_ui, std::forward<F>(f));
    }
    // Returns once everything posted so far to the strand, and what that
    // posted to the UI thread, has run.
    void Drain();
    // Holds the strand: returns once a closure that blocks until the gate
    // opens runs on it.
    std::shared_ptr<Gate> HoldStrand();

    ~BaselineLoops();
    BaselineLoops(const BaselineLoops&) = delete;
    BaselineLoops& operator=(const BaselineLoops&) = delete;

private:
    BaselineLoops();

    boost::asio::thread_pool m_pool;
    Strand m_strand;
    boost::asio::io_context m_ui;
    std::optional<boost::asio::executor_work_guard<boost::asio::io_context::executor_type>> m_work;
    std::thread m_uiThread;
    ArrivalCounter m_arrivals;
};

// Holds a queue: a task that blocks its thread until Open, so that what is
// posted behind it stays queued. Open is called by the destructor too. The
// task should own the gate (a shared_ptr), so that it never outlives it.
class Gate {
public:
    Gate();
    ~Gate();
    // The blocking task's body; it returns once the gate is open.
    void Hold();
    // Waits until Hold runs (the queue is held from then on).
    void WaitHeld();
    void Open();

    Gate(const Gate&) = delete;
    Gate& operator=(const Gate&) = delete;

private:
    std::promise<void> m_held;
    std::promise<void> m_open;
    std::shared_future<void> m_openFuture;
    bool m_opened = false;
};

}  // namespace bench
