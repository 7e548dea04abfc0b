#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "accountlogic/user_manager.h"
#include "datahub/interface_set_manager.h"
#include "hostfw/account_plugin.h"

namespace {

TEST(CInterfaceSetManager, LookupsRaceSafelyWithChanges) {
    hostfw::AccountPlugin account(1, {});
    AccountLogic::CUserManagerExternal* users = account.UserManager();
    Datahub::CInterfaceSetManager set;
    std::atomic<bool> stop{false};
    std::atomic<int> found{0}, wrong{0};
    std::thread reader([&] {
        while (!stop.load()) {
            auto* manager = set.GetUserManagerExternal();
            if (manager == users) ++found;
            if (manager != nullptr && manager != users) ++wrong;
        }
    });
    for (int i = 0; i < 2000; ++i) {
        ASSERT_TRUE(set.AddLogicalPlugin(&account));
        ASSERT_TRUE(set.RemoveLogicalPlugin(&account));
    }
    ASSERT_TRUE(set.AddLogicalPlugin(&account));
    while (found.load() == 0) std::this_thread::yield();  // the reader has seen the plug-in
    stop = true;
    reader.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(set.GetUserManagerExternal(), users);
}

}  // namespace
