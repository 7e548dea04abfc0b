#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "accountlogic/user_manager.h"
#include "datahub/interface_set_manager.h"
#include "kmpluginapi/plugin_api.h"

namespace {

class FakeUserManager : public AccountLogic::CUserManagerExternal {
public:
    int GetUserSessionId() override { return 77; }
    AccountLogic::CLoginManagerExternal* GetLoginManager() override { return nullptr; }
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
