#pragma once
// How the stand-ins' process-wide objects end with the process: the one place
// where the systems differ for them.
//
// Their threads are stopped and joined before main returns, by the host
// (hostfw::StopHostThreads). On Windows every other thread of a process is
// gone before the statics of a DLL are destroyed, ended wherever it stood: a
// host that did not stop them would leave a condition variable that a
// vanished thread waited on, or an I/O context whose timers it served, to a
// destructor that cannot finish. The objects themselves are therefore left to
// the system there; elsewhere their destructors stop and join what still runs.

namespace standins {

template <class T>
T& ProcessWide() {
#if defined(_WIN32)
    static T* const instance = new T();
    return *instance;
#else
    static T instance;
    return instance;
#endif
}

}  // namespace standins
