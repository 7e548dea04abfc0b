// The shell's command lines: words, their binding to parameters, the values'
// parsers, and the plans of the push command.
#include <gtest/gtest.h>

#include "command_line.h"
#include "kestrel/ptz_param.h"
#include "platform_events.h"
#include "value_parse.h"

namespace kestrel_host {
namespace {

using Words = std::vector<std::string>;

TEST(SplitWordsTest, QuotesKeepBlanksAndCommentsEndTheLine) {
    EXPECT_EQ(SplitWords("  PtzDirection   ch-0001\tup  "), (Words{"PtzDirection", "ch-0001", "up"}));
    EXPECT_EQ(SplitWords("echo \"two words\" 'single \"kept\"' x\"y z\""),
              (Words{"echo", "two words", "single \"kept\"", "xy z"}));
    EXPECT_EQ(SplitWords("echo \"a \\\"quote\\\" and \\\\\""), (Words{"echo", "a \"quote\" and \\"}));
    EXPECT_EQ(SplitWords("StartRecord ch-0001 # start it"), (Words{"StartRecord", "ch-0001"}));
    EXPECT_EQ(SplitWords("echo a#b"), (Words{"echo", "a#b"}));  // # inside a word is text
    EXPECT_EQ(SplitWords("echo \"\""), (Words{"echo", ""}));
    EXPECT_TRUE(SplitWords("   # only a comment").empty());
    for (const char* open : {"echo \"open", "echo 'open"}) EXPECT_THROW(SplitWords(open), UsageError) << open;
}

CommandSyntax Syntax() {
    return CommandSyntax("PtzDirection", "ptz", "move",
                         {{"code", std::nullopt, ""}, {"direction", std::nullopt, ""}, {"action", "start", ""},
                          {"speed", "5", ""}, {"menuKey", "", ""}});
}

TEST(ArgsTest, PositionalNamedDefaultsAndChoices) {
    const CommandSyntax syntax = Syntax();
    Args a = Args::Bind(syntax, {"ch-0001", "up"});
    EXPECT_EQ(a.Text("code"), "ch-0001");
    EXPECT_EQ(a.Text("action"), "start");
    EXPECT_EQ(a.Int("speed"), 5);
    EXPECT_FALSE(a.Given("speed"));

    // Named values may come anywhere; positions fill what is left, in order.
    a = Args::Bind(syntax, {"speed=9", "ch-0002", "action=stop", "left"});
    EXPECT_EQ(a.Text("code"), "ch-0002");
    EXPECT_EQ(a.Text("direction"), "left");
    EXPECT_EQ(a.Text("action"), "stop");
    EXPECT_EQ(a.Int("speed"), 9);
    EXPECT_TRUE(a.Given("speed"));

    // A word whose prefix is no parameter's name is a value.
    a = Args::Bind(syntax, {"x=1", "up"});
    EXPECT_EQ(a.Text("code"), "x=1");

    // Choices take names in any case, or numbers.
    const std::vector<std::pair<std::string, int>> names = {{"up", 1}, {"down", 2}};
    EXPECT_EQ(Args::Bind(syntax, {"c", "UP"}).Choice("direction", names), 1);
    EXPECT_EQ(Args::Bind(syntax, {"c", "7"}).Choice("direction", names), 7);
}

TEST(ArgsTest, VariadicTakesTheRestWordsWithEqualSignsIncluded) {
    const CommandSyntax syntax("OpenVehilceMonitor", "device", "", {{"codes", std::nullopt, ""}}, true);
    EXPECT_EQ(Args::Bind(syntax, {"a", "b=c"}).Rest(), (Words{"a", "b=c"}));
    EXPECT_EQ(syntax.Usage(), "OpenVehilceMonitor [codes...]");
}

// A number out of its range, and a word that is no boolean or number.
TEST(ArgsTest, ValuesOfTheWrongTypeOrRangeAreUsageErrors) {
    const Args a = Args::Bind(Syntax(), {"a", "b", "c", "fast"});
    EXPECT_THROW(Args::Bind(Syntax(), {"a", "b", "c", "4"}).Int("speed", 0, 3), UsageError);
    EXPECT_THROW(a.Bool("speed"), UsageError);
    EXPECT_THROW(a.Double("speed"), UsageError);
}

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
    for (const char* bad : {"12a", "", "99999999999"}) EXPECT_THROW(ParseInt(bad, "x"), std::invalid_argument) << bad;
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
