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

}  // namespace Kestrel
