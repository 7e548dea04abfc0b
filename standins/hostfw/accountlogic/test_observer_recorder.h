#pragma once
// Test observer that records the login events it receives.
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "accountlogic/login_param.h"
#include "datahub/observer.h"

namespace accountlogic_test {

struct ReceivedEvent {
    int observer;
    int type;
    std::string bytes;  // the payload as read during the call
    std::shared_ptr<Datahub::BaseParam> param;
};

// All observers of a test append to one journal, so the order across
// observers is visible too.
class Journal {
public:
    void Add(ReceivedEvent e) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.push_back(std::move(e));
    }
    std::vector<ReceivedEvent> Events() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }

private:
    std::mutex m_mutex;
    std::vector<ReceivedEvent> m_events;
};

// Records each event, after running `during` (which may throw).
class Recorder : public Datahub::IObserver {
public:
    Recorder(Journal& journal, int id, std::function<void()> during = nullptr)
        : m_journal(journal), m_id(id), m_during(std::move(during)) {}
    void OnNotify(std::shared_ptr<Datahub::BaseParam> param) override {
        auto login = std::static_pointer_cast<AccountLogic::CLoginParam>(param);
        const char* buf = static_cast<const char*>(login->GetEventBuf());
        ReceivedEvent e{m_id, param->GetEventType(), buf ? std::string(buf, login->GetBufSize()) : "", param};
        if (m_during) m_during();
        m_journal.Add(std::move(e));
    }

private:
    Journal& m_journal;
    int m_id;
    std::function<void()> m_during;
};

}  // namespace accountlogic_test
