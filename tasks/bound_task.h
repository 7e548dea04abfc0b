#pragma once
// A function task that carries its own call: the static entry, the weak
// pointer to the worker and one copy of each argument live inside the task,
// and the task's function only points back at them. A post then costs one
// heap block and one copy of the request; the function is small enough for
// boost::function to hold in place, so neither it nor the copy the task's
// constructor makes allocates or touches a reference count. The host deletes
// the task after running it, or unrun, and the call goes with it.
#include <tuple>
#include <type_traits>
#include <utility>

#include "taskhub/task.h"

namespace Kestrel {

template <class Entry, class Weak, class... Args>
class CBoundTask final : public Taskhub::CFunctionTask {
public:
    template <class... Given>
    CBoundTask(Entry entry, Weak weak, Given&&... args)
        : Taskhub::CFunctionTask(Call{this}, false),
          m_entry(entry),
          m_weak(std::move(weak)),
          m_args(std::forward<Given>(args)...) {}

    CBoundTask(const CBoundTask&) = delete;
    CBoundTask& operator=(const CBoundTask&) = delete;

private:
    struct Call {
        CBoundTask* task;
        void operator()() const { task->Run(); }
    };

    // Runs once: the entry takes the weak pointer over.
    void Run() {
        std::apply([this](Args&... args) { m_entry(std::move(m_weak), args...); }, m_args);
    }

    Entry m_entry;
    Weak m_weak;
    std::tuple<Args...> m_args;
};

}  // namespace Kestrel
