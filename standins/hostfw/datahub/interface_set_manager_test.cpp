#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "accountlogic/user_manager.h"
#include "datahub/interface_set_manager.h"
#include "kmpluginapi/plugin_api.h"
#include "resourcetree/group_manager.h"

namespace {

class FakeUserManager : public AccountLogic::CUserManagerExternal {
public:
    int GetUserSessionId() override { return 77; }
    AccountLogic::CLoginManagerExternal* GetLoginManager() override { return nullptr; }
};

class FakeGroupManager : public ResourceTree::CGroupManagerExternal {
public:
    bool GetChannelInfoByCode(const std::string&, ResourceTree::ChannelInfo&) override { return false; }
    int GetChannelInfoByChannelID(const std::string&, ResourceTree::ChannelInfo&) override { return -1; }
};

// A plug-in whose external manager is whatever the test gives it.
class FakePlugin : public KMPluginAPI::IClientLogicalPluginAPI {
public:
    FakePlugin(std::string name, KMPluginAPI::IManagerExternal* manager)
        : m_name(std::move(name)), m_manager(manager) {}
    std::string GetPluginName() override { return m_name; }
    KMPluginAPI::IAbstractResourceManager* GetResourceManager() override { return nullptr; }
    KMPluginAPI::IManagerExternal* GetManagerExternal() override { return m_manager; }
    bool AddLogicalPlugin(IClientLogicalPluginAPI*) override { return false; }
    bool RemoveLogicalPlugin(IClientLogicalPluginAPI*) override { return false; }
    bool Init() override { return true; }
    void UnInit() override {}

private:
    std::string m_name;
    KMPluginAPI::IManagerExternal* m_manager;
};

TEST(CInterfaceSetManager, FindsTheSiblingManagersByPluginName) {
    FakeUserManager users;
    FakeGroupManager groups;
    FakePlugin account("AccountLogic", &users), tree("ResourceTree", &groups),
        other("Kestrel", nullptr);
    Datahub::CInterfaceSetManager set;
    EXPECT_EQ(set.GetUserManagerExternal(), nullptr);
    EXPECT_EQ(set.GetGroupManagerExternal(), nullptr);

    EXPECT_TRUE(set.AddLogicalPlugin(&other));
    EXPECT_EQ(set.GetUserManagerExternal(), nullptr);
    EXPECT_TRUE(set.AddLogicalPlugin(&account));
    EXPECT_TRUE(set.AddLogicalPlugin(&tree));
    ASSERT_EQ(set.GetUserManagerExternal(), &users);
    EXPECT_EQ(set.GetUserManagerExternal()->GetUserSessionId(), 77);
    EXPECT_EQ(set.GetGroupManagerExternal(), &groups);

    EXPECT_TRUE(set.RemoveLogicalPlugin(&account));
    EXPECT_EQ(set.GetUserManagerExternal(), nullptr);
    EXPECT_EQ(set.GetGroupManagerExternal(), &groups);
}

TEST(CInterfaceSetManager, RefusesNullDuplicatesAndUnknownRemovals) {
    FakeUserManager users;
    FakePlugin account("AccountLogic", &users);
    Datahub::CInterfaceSetManager set;
    EXPECT_FALSE(set.AddLogicalPlugin(nullptr));
    EXPECT_FALSE(set.RemoveLogicalPlugin(nullptr));
    EXPECT_FALSE(set.RemoveLogicalPlugin(&account));
    EXPECT_TRUE(set.AddLogicalPlugin(&account));
    EXPECT_FALSE(set.AddLogicalPlugin(&account));
    EXPECT_TRUE(set.RemoveLogicalPlugin(&account));
    EXPECT_FALSE(set.RemoveLogicalPlugin(&account));
}

TEST(CInterfaceSetManager, LookupsRaceSafelyWithChanges) {
    FakeUserManager users;
    FakePlugin account("AccountLogic", &users);
    Datahub::CInterfaceSetManager set;
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::thread reader([&] {
        while (!stop.load()) {
            auto* found = set.GetUserManagerExternal();
            if (found != nullptr && found != &users) ++wrong;
        }
    });
    for (int i = 0; i < 2000; ++i) {
        ASSERT_TRUE(set.AddLogicalPlugin(&account));
        ASSERT_TRUE(set.RemoveLogicalPlugin(&account));
    }
    stop = true;
    reader.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
