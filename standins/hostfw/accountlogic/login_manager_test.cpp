#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "../../common/test_gate.h"
#include "accountlogic/login_manager.h"
#include "hostfw/account_plugin.h"
#include "hostfw/vkl_host.h"
#include "test_observer_recorder.h"

namespace {

using namespace accountlogic_test;
using standins_test::Gate;
using standins_test::kPatience;

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

}  // namespace
