#include <gtest/gtest.h>

#include "hostfw/resource_tree_plugin.h"
#include "hostfw/vkl_host.h"
#include "resourcetree/group_manager.h"
#include "../../zrsdk/src/test_platform_fixture.h"

namespace {

namespace control = zrsdk::control;

using ResourceTreeOverSdk = zrsdk_test::PlatformTest;  // "operator" logged in

TEST_F(ResourceTreeOverSdk, ReloadSeesMoreChannelsThanTheFirstAnswerHolds) {
    // Code, id, and a name longer than the platform's name field.
    for (int i = 0; i < 300; ++i) {
        const std::string n = std::to_string(i);
        control::AddChannel({"bulk-" + n, "id-bulk-" + n, std::string(200, 'n'), "", 0, false});
    }
    hostfw::ResourceTreePlugin plugin(session);
    ASSERT_TRUE(plugin.Init());
    EXPECT_EQ(plugin.ChannelCount(), control::DefaultChannels().size() + 300);
    ResourceTree::ChannelInfo info;
    ASSERT_EQ(plugin.GroupManager()->GetChannelInfoByChannelID("id-bulk-299", info), 0);
    EXPECT_EQ(info.code, "bulk-299");
    EXPECT_LT(info.name.size(), 200u);  // cut to the field, never read past it

    ASSERT_TRUE(control::RemoveChannel("bulk-0"));
    ASSERT_TRUE(plugin.Reload());
    EXPECT_FALSE(plugin.GroupManager()->GetChannelInfoByCode("bulk-0", info));
    plugin.UnInit();
    EXPECT_EQ(plugin.ChannelCount(), 0u);
}

TEST_F(ResourceTreeOverSdk, ARefusedQueryLeavesAnEmptyTable) {
    vkl::Host::SetLogLevel(7);
    hostfw::ResourceTreePlugin plugin(session);
    ASSERT_TRUE(control::FailNextCalls("ZRSDK_QueryChannels", 1, 10002));
    EXPECT_FALSE(plugin.Init());
    EXPECT_EQ(plugin.ChannelCount(), 0u);
    EXPECT_FALSE(hostfw::ResourceTreePlugin(0).Init());
    vkl::Host::SetLogLevel(1);
    EXPECT_TRUE(plugin.Reload());
    EXPECT_EQ(plugin.ChannelCount(), control::DefaultChannels().size());
}

}  // namespace
