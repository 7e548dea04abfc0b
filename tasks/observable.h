#pragma once
#include <algorithm>
#include <atomic>
#include <list>
#include <thread>

#include <boost/thread/mutex.hpp>

namespace Taskhub {

// The observers of one worker, called in registration order.
//
// A delivery holds the list's mutex for the whole walk, so once
// RemoveObserver has returned on another thread the observer is no longer
// being called and may be destroyed. An observer may register or unregister
// (itself or another) from inside its own notification: that change takes
// effect from the next delivery instead of deadlocking.
template <class Observer>
class CObservable {
public:
    CObservable() = default;
    CObservable(const CObservable&) = delete;
    CObservable& operator=(const CObservable&) = delete;

    // False for a null observer; duplicates are allowed.
    bool AddObserver(Observer* observer) {
        if (observer == nullptr) return false;
        Locked lock(*this);
        m_observers.push_back(observer);
        return true;
    }

    // Removes the first registration of the observer, if any; always true.
    bool RemoveObserver(Observer* observer) {
        Locked lock(*this);
        auto it = std::find(m_observers.begin(), m_observers.end(), observer);
        if (it != m_observers.end()) m_observers.erase(it);
        return true;
    }

    // Calls (observer->*method)(arg) on every observer, each with its own copy
    // of arg, in registration order.
    template <class Method, class Arg>
    void NotifyObservers(Method method, const Arg& arg) {
        Locked lock(*this);
        const std::list<Observer*> snapshot = m_observers;
        for (Observer* observer : snapshot) (observer->*method)(arg);
    }

    std::size_t ObserverCount() {
        Locked lock(*this);
        return m_observers.size();
    }

private:
    // Takes the list mutex unless this thread already holds it (a change
    // made from inside a notification).
    class Locked {
    public:
        explicit Locked(CObservable& o) : m_o(o) {
            if (m_o.m_owner.load(std::memory_order_acquire) == std::this_thread::get_id()) return;
            m_o.m_mutex.lock();
            m_o.m_owner.store(std::this_thread::get_id(), std::memory_order_release);
            m_locked = true;
        }
        ~Locked() {
            if (!m_locked) return;
            m_o.m_owner.store(std::thread::id(), std::memory_order_release);
            m_o.m_mutex.unlock();
        }

    private:
        CObservable& m_o;
        bool m_locked = false;
    };

    std::list<Observer*> m_observers;
    boost::mutex m_mutex;
    std::atomic<std::thread::id> m_owner{};
};

}  // namespace Taskhub
