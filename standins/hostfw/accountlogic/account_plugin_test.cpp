#include <gtest/gtest.h>

#include <string>

#include "accountlogic/login_manager.h"
#include "hostfw/account_plugin.h"
#include "hostfw/vkl_host.h"
#include "test_observer_recorder.h"
#include "../../zrsdk/src/test_platform_fixture.h"

namespace {

using namespace accountlogic_test;
namespace control = zrsdk::control;
constexpr auto kPatience = std::chrono::seconds(30);

// A fresh platform with "operator" logged in.
class AccountPluginOverSdk : public zrsdk_test::PlatformTest {
protected:
    // Until the SDK has handed every event over and the plug-in delivered it.
    bool Settle(hostfw::AccountPlugin& plugin) {
        return control::WaitEventsDelivered(kPatience) && plugin.WaitIdle(kPatience);
    }
};

TEST_F(AccountPluginOverSdk, AfterUnInitTheSessionsEventsNoLongerArrive) {
    hostfw::AccountPlugin plugin(session, {});
    ASSERT_TRUE(plugin.Init());
    Journal journal;
    Recorder observer(journal, 1);
    plugin.LoginManager()->RegisterObserver(&observer);
    ASSERT_TRUE(control::PushLoginEvent(session, 167, 0, "early", 6));
    ASSERT_TRUE(Settle(plugin));
    plugin.UnInit();
    ASSERT_TRUE(control::PushLoginEvent(session, 167, 0, "late", 5));
    ASSERT_TRUE(Settle(plugin));
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
