#include <gtest/gtest.h>

#include "kestrel/ptz_param.h"
#include "platform_events.h"
#include "value_parse.h"

namespace kestrel_host {
namespace {

TEST(PlatformEventsTest, ThePushedLockStatusIsToldFromThePlatformsOwn) {
    const PushPlan plan = BuildPush(*FindPushKind("lock-status"), {{"code", "ch-0001"}}, false);
    EventRecord ours;
    ours.facade = Facade::Ptz;
    ours.type = Kestrel::CPtzParam::PTZ_EVENT_LOCK_STATUS_CHANGED;
    ours.fields = {{"code", "ch-0001"}, {"param", 1}, {"msg", "console"}};
    EventRecord platforms = ours;
    platforms.fields["msg"] = "operator";
    ASSERT_TRUE(plan.match.accept);
    EXPECT_TRUE(plan.match.accept(ours));
    EXPECT_FALSE(plan.match.accept(platforms));
}

TEST(PlatformEventsTest, ABrokenEventIsCutToHalfWithoutPointers) {
    const PushPlan whole = BuildPush(*FindPushKind("traffic"), {{"items", "2"}}, false);
    EXPECT_FALSE(whole.event.pointers.empty());
    const PushPlan broken = BuildPush(*FindPushKind("traffic"), {{"items", "2"}}, true);
    EXPECT_EQ(broken.event.size, whole.event.size / 2);
    EXPECT_EQ(broken.event.bytes.size(), broken.event.size);
    EXPECT_TRUE(broken.event.pointers.empty());
}

TEST(ValueParseTest, WholeTextsOnly) {
    EXPECT_EQ(ParseInt("-501", "x"), -501);
    EXPECT_THROW(ParseInt("12a", "x"), std::invalid_argument);
    EXPECT_THROW(ParseInt("", "x"), std::invalid_argument);
    EXPECT_THROW(ParseInt("99999999999", "x"), std::invalid_argument);
    EXPECT_THROW(ParseInt("5", "x", 0, 3), std::invalid_argument);
    EXPECT_DOUBLE_EQ(ParseDouble("-10.5", "x"), -10.5);
    EXPECT_THROW(ParseDouble("nan", "x"), std::invalid_argument);
    EXPECT_TRUE(ParseBool("on", "x"));
    EXPECT_FALSE(ParseBool("0", "x"));
    EXPECT_THROW(ParseBool("maybe", "x"), std::invalid_argument);
    EXPECT_EQ(ParseIntList("0,0,1,0", "ext", 4), (std::vector<int>{0, 0, 1, 0}));
    EXPECT_THROW(ParseIntList("1,2,3,4,5", "ext", 4), std::invalid_argument);
    EXPECT_THROW(ParseIntList("1,,2", "ext", 4), std::invalid_argument);
}

}  // namespace
}  // namespace kestrel_host
