#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>

#include "accountlogic/login_param.h"

namespace AccountLogic {

// Server events on their way from the SDK to the observers. Push copies the
// payload and returns at once; one delivery thread hands the events on in
// arrival order, each as a CLoginParam whose buffer points into the copy (the
// copy lives as long as any pointer to that parameter object).
class LoginEventQueue {
public:
    using Deliver = std::function<void(const std::shared_ptr<CLoginParam>&)>;

    explicit LoginEventQueue(Deliver deliver);
    // Delivers what is queued, then ends the delivery thread.
    ~LoginEventQueue();

    void Push(int eventType, int eventResult, const void* data, unsigned int size);
    bool WaitIdle(std::chrono::milliseconds timeout);
    std::size_t Pending() const;
    bool OnDeliveryThread() const;

    LoginEventQueue(const LoginEventQueue&) = delete;
    LoginEventQueue& operator=(const LoginEventQueue&) = delete;

private:
    Deliver m_deliver;
    mutable std::mutex m_mutex;
    std::condition_variable m_idle;
    std::size_t m_pending = 0;

    boost::asio::io_context m_io;
    std::optional<boost::asio::executor_work_guard<boost::asio::io_context::executor_type>> m_work;
    std::thread m_thread;
    std::thread::id m_threadId;
};

}  // namespace AccountLogic
