#include "tasks/task_worker.h"

#include "taskhub/task.h"

namespace Kestrel {

void PostToPool(const std::string& key, const boost::function<void()>& function) {
    Taskhub::CSingleton<Taskhub::CMessageLoopPoolForSDK>::GetInstance()->PostTask(
        key, new Taskhub::CFunctionTask(function, false));
}

void PostToUI(const boost::function<void()>& function) {
    Taskhub::CSingleton<Taskhub::CMessageLoopForUI>::GetInstance()->PostTask(
        new Taskhub::CFunctionTask(function, false));
}

void PostTaskToPool(const std::string& key, Taskhub::CTask* task) {
    Taskhub::CSingleton<Taskhub::CMessageLoopPoolForSDK>::GetInstance()->PostTask(key, task);
}

void PostTaskToUI(Taskhub::CTask* task) {
    Taskhub::CSingleton<Taskhub::CMessageLoopForUI>::GetInstance()->PostTask(task);
}

}  // namespace Kestrel
