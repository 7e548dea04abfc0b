#pragma once
#include <string>

#include "host_export.h"
#include "taskhub/task.h"

namespace Taskhub {

// Thread pool of the SDK calls. Tasks posted under one key run one at a time
// in the order posted; different keys run in parallel. The pool takes
// ownership of the task whatever it answers.
class TASKHUB_API CCachedThreadPool {
public:
    CCachedThreadPool();
    virtual ~CCachedThreadPool();
    bool PostTask(const std::string& key, CTask* task);

    CCachedThreadPool(const CCachedThreadPool&) = delete;
    CCachedThreadPool& operator=(const CCachedThreadPool&) = delete;
};

class TASKHUB_API CMessageLoopPoolForSDK : public CCachedThreadPool {
public:
    CMessageLoopPoolForSDK();
    ~CMessageLoopPoolForSDK() override;
};

// A loop run by one thread that the host owns; tasks run in the order posted.
class TASKHUB_API CBaseMessageLoop {
public:
    CBaseMessageLoop();
    virtual ~CBaseMessageLoop();
    bool PostTask(CTask* task);

    CBaseMessageLoop(const CBaseMessageLoop&) = delete;
    CBaseMessageLoop& operator=(const CBaseMessageLoop&) = delete;
};

class TASKHUB_API CMessageLoopForUI : public CBaseMessageLoop {
public:
    CMessageLoopForUI();
    ~CMessageLoopForUI() override;
};

// The one process-wide instance of T, owned by the host framework.
template <class T>
class CSingleton {
public:
    static T* GetInstance();
};

extern template class TASKHUB_API CSingleton<CMessageLoopPoolForSDK>;
extern template class TASKHUB_API CSingleton<CMessageLoopForUI>;

}  // namespace Taskhub
