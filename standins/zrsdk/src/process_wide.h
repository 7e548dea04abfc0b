#pragma once
// How the stand-in platform's process-wide state ends with the process: the
// one place where the systems differ for it.
//
// On Windows every other thread of a process is gone before the statics of a
// DLL are destroyed, and a condition variable that a vanished thread waited
// on can be neither signalled nor destroyed any more. State that owns threads
// is therefore left to the system there; elsewhere it stops and joins its
// threads when the process exits.

namespace zrsdk {

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

}  // namespace zrsdk
