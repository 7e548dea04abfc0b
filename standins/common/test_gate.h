#pragma once
// For the stand-ins' tests: a one-shot gate, to hold a thread inside a
// callback or task until the test lets it go.
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace standins_test {

constexpr auto kPatience = std::chrono::seconds(30);  // only bounds a hang

// Wait blocks until Open, or gives up after kPatience.
class Gate {
public:
    void Open() {
        // Notifies under the lock: a waiter may destroy the gate once it wakes.
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_cv.notify_all();
    }
    bool Wait() {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, kPatience, [&] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_open = false;
};

}  // namespace standins_test
