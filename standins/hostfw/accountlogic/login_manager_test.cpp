// The login manager's observers, and the account plug-in over the SDK: the
// login events it delivers to them.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "../../common/test_gate.h"
#include "../../zrsdk/src/test_platform_fixture.h"
#include "accountlogic/login_manager.h"
#include "accountlogic/login_param.h"
#include "datahub/observer.h"
#include "hostfw/account_plugin.h"
#include "hostfw/vkl_host.h"

namespace {

namespace control = zrsdk::control;
using standins_test::Gate;
using standins_test::kPatience;

struct ReceivedEvent {
    int observer;
    int type;
    std::string bytes;  // the payload as read during the call
    std::shared_ptr<Datahub::BaseParam> param;
};

// All observers of a test append to one journal, so the order across
// observers is visible too.
struct Journal {
    std::vector<ReceivedEvent> Events() {
        std::lock_guard<std::mutex> lock(mutex);
        return events;
    }
    std::mutex mutex;
    std::vector<ReceivedEvent> events;
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
        std::lock_guard<std::mutex> lock(m_journal.mutex);
        m_journal.events.push_back(std::move(e));
    }

private:
    Journal& m_journal;
    int m_id;
    std::function<void()> m_during;
};

TEST(LoginManager, RegistrationFollowsTheObserverListRules) {
    hostfw::AccountPlugin plugin(1, {});
    AccountLogic::CLoginManagerExternal* login = plugin.LoginManager();
    Journal journal;
    std::atomic<bool> offThread{false};
    Recorder a(journal, 1, [&] { offThread = offThread || !plugin.IsDeliveryThread(); }), b(journal, 2);
    EXPECT_FALSE(login->RegisterObserver(nullptr));
    EXPECT_TRUE(login->UnRegisterObserver(&a));  // not registered: still true
    EXPECT_TRUE(login->UnRegisterObserver(nullptr));
    EXPECT_TRUE(login->RegisterObserver(&a));
    EXPECT_TRUE(login->RegisterObserver(&b));
    EXPECT_TRUE(login->RegisterObserver(&a));  // twice: delivered twice

    plugin.QueueServerEvent(167, 0, "x", 1);
    ASSERT_TRUE(plugin.WaitIdle(kPatience));
    EXPECT_TRUE(login->UnRegisterObserver(&a));  // removes the first registration only
    plugin.QueueServerEvent(206, 0, "y", 1);
    ASSERT_TRUE(plugin.WaitIdle(kPatience));

    const auto events = journal.Events();
    std::vector<std::pair<int, int>> seen;  // type, observer
    for (const ReceivedEvent& e : events) seen.emplace_back(e.type, e.observer);
    ASSERT_EQ(seen, (decltype(seen){{167, 1}, {167, 2}, {167, 1}, {206, 2}, {206, 1}}));
    // Every observer of one event gets the same parameter object, on the
    // delivery thread.
    EXPECT_EQ(events[0].param, events[1].param);
    EXPECT_FALSE(offThread.load());
}

TEST(LoginManager, ObserversMayUnregisterDuringDeliveryAndThrowingOnesAreSkipped) {
    hostfw::AccountPlugin plugin(1, {});
    AccountLogic::CLoginManagerExternal* login = plugin.LoginManager();
    Journal journal;
    vkl::Host::SetLogLevel(7);  // the expected error line stays out of the output
    Recorder thrower(journal, 1, [] { throw std::runtime_error("observer failed"); });
    Recorder last(journal, 3);
    Recorder remover(journal, 2, [&] {
        login->UnRegisterObserver(&last);  // on the delivery thread: no deadlock
    });
    login->RegisterObserver(&thrower);
    login->RegisterObserver(&remover);
    login->RegisterObserver(&last);
    plugin.QueueServerEvent(167, 0, "a", 1);
    ASSERT_TRUE(plugin.WaitIdle(kPatience));
    vkl::Host::SetLogLevel(1);
    const auto events = journal.Events();
    ASSERT_EQ(events.size(), 1u);  // the thrower recorded nothing, `last` was removed first
    EXPECT_EQ(events[0].observer, 2);
}

// Holds its delivery inside OnNotify until released.
class SlowObserver : public Datahub::IObserver {
public:
    void OnNotify(std::shared_ptr<Datahub::BaseParam>) override {
        entered.Open();
        release.Wait();
    }
    Gate entered, release;
};

TEST(LoginManager, UnregisterWaitsForADeliveryInProgress) {
    hostfw::AccountPlugin plugin(1, {});
    AccountLogic::CLoginManagerExternal* login = plugin.LoginManager();
    auto* observer = new SlowObserver;
    login->RegisterObserver(observer);
    plugin.QueueServerEvent(167, 0, "a", 1);
    ASSERT_TRUE(observer->entered.Wait());
    std::atomic<bool> unregistered{false};
    std::thread client([&] {
        login->UnRegisterObserver(observer);
        unregistered = true;
        delete observer;  // safe once UnRegisterObserver has returned
    });
    // While the observer is still inside OnNotify the unregistration must not finish.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(unregistered.load());
    observer->release.Open();
    client.join();
    ASSERT_TRUE(plugin.WaitIdle(kPatience));
}

using AccountPluginOverSdk = zrsdk_test::PlatformTest;  // "operator" logged in

TEST_F(AccountPluginOverSdk, AfterUnInitTheSessionsEventsNoLongerArrive) {
    hostfw::AccountPlugin plugin(session, {});
    ASSERT_TRUE(plugin.Init());
    // Until the SDK has handed every event over and the plug-in delivered it.
    const auto settle = [&] { return control::WaitEventsDelivered(kPatience) && plugin.WaitIdle(kPatience); };
    Journal journal;
    Recorder observer(journal, 1);
    plugin.LoginManager()->RegisterObserver(&observer);
    ASSERT_TRUE(control::PushLoginEvent(session, 167, 0, "early", 6));
    ASSERT_TRUE(settle());
    plugin.UnInit();
    ASSERT_TRUE(control::PushLoginEvent(session, 167, 0, "late", 5));
    ASSERT_TRUE(settle());
    const auto events = journal.Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].bytes, std::string("early") + '\0');
    plugin.LoginManager()->UnRegisterObserver(&observer);
}

TEST_F(AccountPluginOverSdk, InitFailsForASessionThePlatformDoesNotKnow) {
    vkl::Host::SetLogLevel(7);
    for (int id : {0, session + 1000}) EXPECT_FALSE(hostfw::AccountPlugin(id, {}).Init()) << id;
    vkl::Host::SetLogLevel(1);
}

TEST_F(AccountPluginOverSdk, ARefusedUnsubscribeLeavesNoDanglingCallback) {
    vkl::Host::SetLogLevel(7);
    {
        hostfw::AccountPlugin plugin(session, {});
        ASSERT_TRUE(plugin.Init());
        ASSERT_TRUE(control::FailNextCalls("ZRSDK_SetLoginEventCallback", 1, 10002));
    }  // the SDK still holds the callback of the destroyed plug-in
    vkl::Host::SetLogLevel(1);
    const auto before = control::GetEventCounters();
    ASSERT_TRUE(control::PushLoginEvent(session, 167, 0, "x", 1));
    ASSERT_TRUE(control::WaitEventsDelivered(kPatience));
    // The SDK did call the stale callback; it dropped the event without a crash.
    EXPECT_EQ(control::GetEventCounters().delivered, before.delivered + 1);
}

}  // namespace
