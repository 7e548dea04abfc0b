#pragma once
// Recorders for tests: an observer that keeps every parameter object it
// receives with the thread kind it arrived on and lets a test wait for a
// number of them, and a capture of the host's log lines.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "datahub/observer.h"
#include "hostfw/vkl_host.h"

namespace kestrel_test {

enum class ThreadKind { UI, Pool, Other };

struct Received {
    std::shared_ptr<Datahub::BaseParam> param;
    ThreadKind thread;
    template <class T>
    std::shared_ptr<T> As() const { return std::static_pointer_cast<T>(param); }
};

class RecordingObserver : public Datahub::IObserver {
public:
    void OnNotify(std::shared_ptr<Datahub::BaseParam> param) override;

    // Those of one event type (or of any type: kAnyType), in arrival order.
    std::vector<Received> OfType(int eventType);
    // Everything received so far.
    std::vector<Received> All() { return OfType(kAnyType); }
    std::size_t Count() { return All().size(); }
    // The results, in arrival order.
    std::vector<int> Results(int eventType = kAnyType);
    // Waits until at least n objects of the type (or of any type for -1000)
    // have arrived; false on time-out.
    bool WaitFor(std::size_t n, int eventType = kAnyType, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    void Clear();
    // The nth of the type, as T (a parameter class), once it has arrived;
    // after a time-out, a failure and a placeholder that matches no answer.
    template <class T>
    std::shared_ptr<T> Wait(int eventType, std::size_t n = 1) {
        if (WaitFor(n, eventType)) return OfType(eventType)[n - 1].As<T>();
        ADD_FAILURE() << "no result " << n << " of event type " << eventType;
        return std::make_shared<T>(static_cast<typename T::EventType>(eventType), kNoAnswer);
    }
    // The one object of the type, as T; a failure when there is not exactly one.
    template <class T>
    std::shared_ptr<T> Only(int eventType) {
        EXPECT_EQ(OfType(eventType).size(), 1u) << "event type " << eventType;
        return Wait<T>(eventType);
    }
    // The sequence numbers of those of one type, read as T.
    template <class T>
    std::multiset<int> Seqs(int eventType) {
        std::multiset<int> seqs;
        for (const Received& r : OfType(eventType)) seqs.insert(r.As<T>()->GetSeq());
        return seqs;
    }

    static constexpr int kAnyType = -1000;
    static constexpr int kNoAnswer = -12345;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Received> m_received;
};

// Collects the log lines written while it lives.
class LogCapture {
public:
    LogCapture() {
        vkl::Host::SetLogSink([this](const vkl::Host::LogRecord& record) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_lines.push_back(record);
        });
    }
    ~LogCapture() { vkl::Host::SetLogSink({}); }
    std::vector<vkl::Host::LogRecord> Lines() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lines;
    }
    // The lines written by one function.
    std::vector<vkl::Host::LogRecord> LinesOf(const std::string& function) {
        std::vector<vkl::Host::LogRecord> out;
        for (const auto& line : Lines())
            if (line.function == function) out.push_back(line);
        return out;
    }

private:
    std::mutex m_mutex;
    std::vector<vkl::Host::LogRecord> m_lines;
};

}  // namespace kestrel_test
