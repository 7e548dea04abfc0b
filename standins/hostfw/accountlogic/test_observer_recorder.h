#pragma once
// Test observer that records the login events it receives.
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "accountlogic/login_param.h"
#include "datahub/observer.h"

namespace accountlogic_test {

struct ReceivedEvent {
    int observer;
    int business;
    int type;
    int result;
    const void* buf;
    unsigned int size;
    std::string bytes;  // the payload as read during the call
    std::thread::id thread;
    std::shared_ptr<Datahub::BaseParam> param;
};

// All observers of a test append to one journal, so the order across
// observers is visible too.
class Journal {
public:
    void Add(ReceivedEvent e) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.push_back(std::move(e));
        m_changed.notify_all();
    }
    bool WaitFor(std::size_t count) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(30),
                                  [&] { return m_events.size() >= count; });
    }
    std::vector<ReceivedEvent> Events() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<ReceivedEvent> m_events;
};

class Recorder : public Datahub::IObserver {
public:
    Recorder(Journal& journal, int id, std::function<void()> during = nullptr)
        : m_journal(journal), m_id(id), m_during(std::move(during)) {}
    void OnNotify(std::shared_ptr<Datahub::BaseParam> param) override {
        auto login = std::static_pointer_cast<AccountLogic::CLoginParam>(param);
        ReceivedEvent e{m_id, param->GetBusiness(), param->GetEventType(), param->GetEventResult(),
                        login->GetEventBuf(), login->GetBufSize(), std::string(),
                        std::this_thread::get_id(), param};
        if (e.buf) e.bytes.assign(static_cast<const char*>(e.buf), e.size);
        if (m_during) m_during();
        m_journal.Add(std::move(e));
    }

private:
    Journal& m_journal;
    int m_id;
    std::function<void()> m_during;
};

}  // namespace accountlogic_test
