// The header list's order, and the interface set's lookups racing its changes.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "accountlogic/user_manager.h"
#include "datahub/head_param_list.h"
#include "datahub/interface_set_manager.h"
#include "hostfw/account_plugin.h"

namespace {

TEST(CHeadParamList, KeepsTheOrderAndReplacesInPlace) {
    Datahub::CHeadParamList headers;
    headers.SetParam("X-Operate-Code", "M-PTZ-01");
    headers.SetParam("X-Operate-Name", "PTZ control");
    headers.SetParam("X-Subject-Token", "t1");
    headers.SetParam("X-Operate-Code", "M-REC-01");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"X-Operate-Code", "M-REC-01"}, {"X-Operate-Name", "PTZ control"}, {"X-Subject-Token", "t1"}};
    EXPECT_EQ(headers.GetParams(), expected);
}

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
