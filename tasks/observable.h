#pragma once
#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include <boost/thread/mutex.hpp>

namespace Taskhub {

// The observers of one worker, called in registration order.
//
// A delivery holds the list's mutex for the whole walk, so once
// RemoveObserver has returned on another thread the observer is no longer
// being called and may be destroyed. An observer may register or unregister
// (itself or another) from inside its own notification: that change takes
// effect from the next delivery instead of deadlocking.
//
// The list is copied on change, not on delivery: a delivery walks the list
// it found, so a change made from inside it replaces the list without
// disturbing the walk, and delivering costs no allocation.
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
        auto changed = std::make_shared<List>(*m_observers);
        changed->push_back(observer);
        m_observers = std::move(changed);
        return true;
    }

    // Removes the first registration of the observer, if any; always true.
    bool RemoveObserver(Observer* observer) {
        Locked lock(*this);
        auto it = std::find(m_observers->begin(), m_observers->end(), observer);
        if (it == m_observers->end()) return true;
        auto changed = std::make_shared<List>(*m_observers);
        changed->erase(changed->begin() + (it - m_observers->begin()));
        m_observers = std::move(changed);
        return true;
    }

    // Calls (observer->*method)(arg) on every observer, each with its own copy
    // of arg, in registration order.
    template <class Method, class Arg>
    void NotifyObservers(Method method, const Arg& arg) {
        Locked lock(*this);
        const std::shared_ptr<const List> walked = m_observers;
        for (Observer* observer : *walked) (observer->*method)(arg);
    }

    std::size_t ObserverCount() {
        Locked lock(*this);
        return m_observers->size();
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

    using List = std::vector<Observer*>;
    std::shared_ptr<const List> m_observers = std::make_shared<const List>();
    boost::mutex m_mutex;
    std::atomic<std::thread::id> m_owner{};
};

}  // namespace Taskhub
