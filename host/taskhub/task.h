#pragma once
#include <boost/function.hpp>

#include "host_export.h"

namespace Taskhub {

// A unit of work handed to a loop or pool, which runs it once and deletes it.
class TASKHUB_API CTask {
public:
    virtual ~CTask();
    virtual void Exec() = 0;
    virtual bool IsLastTaskForWait();
    virtual void SetFunction(const boost::function<void()>& function);
};

class TASKHUB_API CFunctionTask : public CTask {
public:
    CFunctionTask(const boost::function<void()>& function, bool lastTaskForWait);
    ~CFunctionTask() override;
    void Exec() override;
    bool IsLastTaskForWait() override;
    void SetFunction(const boost::function<void()>& function) override;

private:
    boost::function<void()> m_function;
    bool m_lastTaskForWait;
};

// A process-wide number, different on every call.
TASKHUB_API int GetUniqueNum();

}  // namespace Taskhub
