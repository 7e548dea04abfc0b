#include "taskhub/message_loop.h"

#include "sdk_pool.h"
#include "ui_loop.h"

namespace Taskhub {

// Every pool object is a handle to the process's one SDK pool, and every
// loop object a handle to its one UI loop: the host runs exactly one of each.

CCachedThreadPool::CCachedThreadPool() = default;
CCachedThreadPool::~CCachedThreadPool() = default;

bool CCachedThreadPool::PostTask(const std::string& key, CTask* task) {
    return SdkPool::Instance().Post(key, task);
}

CMessageLoopPoolForSDK::CMessageLoopPoolForSDK() = default;
CMessageLoopPoolForSDK::~CMessageLoopPoolForSDK() = default;

CBaseMessageLoop::CBaseMessageLoop() = default;
CBaseMessageLoop::~CBaseMessageLoop() = default;

bool CBaseMessageLoop::PostTask(CTask* task) { return UiLoop::Instance().Post(task); }

CMessageLoopForUI::CMessageLoopForUI() = default;
CMessageLoopForUI::~CMessageLoopForUI() = default;

template <class T>
T* CSingleton<T>::GetInstance() {
    // Never destroyed: plug-ins may still post while the process exits.
    static T* const instance = new T();
    return instance;
}

template class CSingleton<CMessageLoopPoolForSDK>;
template class CSingleton<CMessageLoopForUI>;

}  // namespace Taskhub
