#pragma once
// How the stand-ins' process-wide objects end with the process: the one place
// where the systems differ for them.
//
// On Windows every other thread of a process is gone before the statics of a
// DLL are destroyed: a condition variable a vanished thread waited on can be
// neither signalled nor destroyed, and an I/O context whose timers a vanished
// thread served never drains. Objects that own threads are therefore left to
// the system there; elsewhere they stop and join their threads at exit.

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
