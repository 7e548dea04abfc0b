#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <stdexcept>
#include <thread>

#include "accountlogic/login_manager.h"
#include "hostfw/account_plugin.h"
#include "hostfw/vkl_host.h"
#include "test_observer_recorder.h"

namespace {

using namespace accountlogic_test;
constexpr auto kPatience = std::chrono::seconds(30);

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
    ASSERT_EQ(events.size(), 5u);
    const int expected[][2] = {{167, 1}, {167, 2}, {167, 1}, {206, 2}, {206, 1}};
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].type, expected[i][0]) << i;
        EXPECT_EQ(events[i].observer, expected[i][1]) << i;
    }
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

// Blocks inside OnNotify until released; its wait touches its own state.
class SlowObserver : public Datahub::IObserver {
public:
    void OnNotify(std::shared_ptr<Datahub::BaseParam>) override {
        std::unique_lock<std::mutex> lock(m);
        entered = true;
        cv.notify_all();
        cv.wait(lock, [&] { return released; });
    }
    std::mutex m;
    std::condition_variable cv;
    bool entered = false, released = false;
};

TEST(LoginManager, UnregisterWaitsForADeliveryInProgress) {
    hostfw::AccountPlugin plugin(1, {});
    AccountLogic::CLoginManagerExternal* login = plugin.LoginManager();
    auto* observer = new SlowObserver;
    login->RegisterObserver(observer);
    plugin.QueueServerEvent(167, 0, "a", 1);
    std::unique_lock<std::mutex> lock(observer->m);
    ASSERT_TRUE(observer->cv.wait_for(lock, kPatience, [&] { return observer->entered; }));
    std::atomic<bool> unregistered{false};
    std::thread client([&] {
        login->UnRegisterObserver(observer);
        unregistered = true;
        delete observer;  // safe once UnRegisterObserver has returned
    });
    // While the observer is still inside OnNotify the unregistration must not finish.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(unregistered.load());
    observer->released = true;
    observer->cv.notify_all();
    lock.unlock();
    client.join();
    ASSERT_TRUE(plugin.WaitIdle(kPatience));
}

}  // namespace
