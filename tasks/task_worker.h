#pragma once
// The one road of every request and event: a copy of the request is posted
// to the SDK pool under a queue key with a weak pointer to its worker; the
// handler's result travels as a parameter object to the UI loop, where the
// worker's observers receive it. A task whose worker is gone does nothing.
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include <boost/bind/bind.hpp>
#include <boost/enable_shared_from_this.hpp>
#include <boost/function.hpp>
#include <boost/weak_ptr.hpp>

#include "datahub/observer.h"
#include "taskhub/message_loop.h"
#include "tasks/bound_task.h"
#include "tasks/observable.h"

namespace Kestrel {

// Hands a function to the SDK pool under the key; the pool owns the task.
void PostToPool(const std::string& key, const boost::function<void()>& function);
// Hands a function to the UI loop; the loop owns the task.
void PostToUI(const boost::function<void()>& function);
// The same for a task already made; the pool or the loop owns it.
void PostTaskToPool(const std::string& key, Taskhub::CTask* task);
void PostTaskToUI(Taskhub::CTask* task);

template <class Worker>
class CTaskWorker : public boost::enable_shared_from_this<Worker>,
                    public Taskhub::CObservable<Datahub::IObserver> {
public:
    using WeakPtr = boost::weak_ptr<Worker>;

    // Posts entry(weak self, copy of args...) to the pool under the key.
    template <class Entry, class... Args>
    void PostRequest(const std::string& key, Entry entry, Args&&... args) {
        PostTaskToPool(key, MakeTask(entry, std::forward<Args>(args)...));
    }

    // Posts entry(weak self, copy of args...) straight to the UI loop.
    template <class Entry, class... Args>
    void PostToUILoop(Entry entry, Args&&... args) {
        PostTaskToUI(MakeTask(entry, std::forward<Args>(args)...));
    }

    // Delivers the parameter object to this worker's observers on the UI loop.
    void PostResultToUI(std::shared_ptr<Datahub::BaseParam> param) {
        PostToUILoop(&CTaskWorker::HandleResultOnUI, std::move(param));
    }

    // Delivers the parameter object to the observers on the calling thread.
    void NotifyNow(const std::shared_ptr<Datahub::BaseParam>& param) {
        NotifyObservers(&Datahub::IObserver::OnNotify, param);
    }

protected:
    WeakPtr Weak() { return this->weak_from_this(); }

private:
    // The task of one post: the request's copy is made here, once.
    template <class Entry, class... Args>
    Taskhub::CTask* MakeTask(Entry entry, Args&&... args) {
        return new CBoundTask<Entry, WeakPtr, std::decay_t<Args>...>(entry, Weak(), std::forward<Args>(args)...);
    }

    static void HandleResultOnUI(WeakPtr weak, const std::shared_ptr<Datahub::BaseParam>& param) {
        boost::shared_ptr<Worker> self = weak.lock();
        if (!self) return;
        self->NotifyNow(param);
    }
};

}  // namespace Kestrel
