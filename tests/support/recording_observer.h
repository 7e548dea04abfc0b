#pragma once
// An observer for tests: keeps every parameter object it receives with the
// thread kind it arrived on, and lets a test wait for a number of them.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "datahub/observer.h"

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
    bool WaitFor(std::size_t n, int eventType = kAnyType,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10));
    void Clear();
    // The last one of the type once at least n of the type have arrived;
    // null on time-out.
    template <class T>
    std::shared_ptr<T> WaitLast(int eventType, std::size_t n = 1) {
        if (!WaitFor(n, eventType)) return nullptr;
        return OfType(eventType).back().As<T>();
    }
    // The sequence numbers of those of one type, read as T.
    template <class T>
    std::multiset<int> Seqs(int eventType) {
        std::multiset<int> seqs;
        for (const Received& r : OfType(eventType)) seqs.insert(r.As<T>()->GetSeq());
        return seqs;
    }

    static constexpr int kAnyType = -1000;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Received> m_received;
};

}  // namespace kestrel_test
