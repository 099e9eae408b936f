#include "support/EasyCmdLine.h"

#include <gtest/gtest.h>

#include "tests/unit/support/FakeSystemPlatform.h"

namespace tarnwick {
namespace {

using Texts = std::vector<std::u16string>;

struct SplitCase {
    const char* Title;
    std::u16string Line;
    Texts Expected;
};

TEST(SplitCommandLine, FollowsTheRuntimeRules) {
    const SplitCase cases[] = {
        {"quoted program path and plain words",
         u"\"C:\\Program Files\\T.exe\" -action turnon 15",
         {u"C:\\Program Files\\T.exe", u"-action", u"turnon", u"15"}},
        {"runs of blanks, tabs and control characters separate",
         u"prog  a\tb\x01"
         u"c \r\n d",
         {u"prog", u"a", u"b", u"c", u"d"}},
        {"a stand-alone pair of quotes gives no argument", u"prog \"\" x \"\"", {u"prog", u"x"}},
        {"quotes inside an argument group and vanish", u"prog \"a b\"c x\"\"y", {u"prog", u"a bc", u"xy"}},
        {"an unterminated quote runs to the end", u"prog \"open ended", {u"prog", u"open ended"}},
        {"a lone quote at the end ends the list", u"prog a \"", {u"prog", u"a"}},
        {"NUL ends the command line", std::u16string(u"prog a\0b", 8), {u"prog", u"a"}},
        {"nothing at all", u"", {}},
        {"only blanks", u"   \t ", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitCommandLine(c.Line), c.Expected) << c.Title;
    }
}

struct SwitchCase {
    const char* Title;
    Texts Arguments; // without argument 0
    std::u16string Name;
    bool Present;
    Texts Values;
};

TEST(GetSwitchValues, TakesTheWordsUpToTheNextSwitch) {
    const SwitchCase cases[] = {
        {"two values", {u"-action", u"turnon", u"15"}, u"action", true, {u"turnon", u"15"}},
        {"slash and any ASCII case; values keep theirs",
         {u"/ACTION", u"TurnOff"},
         u"action",
         true,
         {u"TurnOff"}},
        {"a negative number is a value", {u"-action", u"turnon", u"-5"}, u"action", true, {u"turnon", u"-5"}},
        {"a slash word is switch-like", {u"-action", u"a", u"/b", u"c"}, u"action", true, {u"a"}},
        {"switch as the last argument", {u"-action"}, u"action", true, {}},
        {"first occurrence only", {u"-action", u"a", u"-action", u"b"}, u"action", true, {u"a"}},
        {"double dash is no match", {u"--action", u"x"}, u"action", false, {}},
        {"longer argument is no match", {u"-actions", u"x"}, u"action", false, {}},
        {"shorter argument is no match", {u"-actio", u"x"}, u"action", false, {}},
        {"the bare word is no switch", {u"action", u"x"}, u"action", false, {}},
        {"words before the switch are skipped", {u"x", u"-action", u"y"}, u"action", true, {u"y"}},
        {"another switch before it does not stop the search",
         {u"-elevation", u"-action", u"turnoff"},
         u"action",
         true,
         {u"turnoff"}},
        {"letters beyond ASCII must match exactly", {u"-\u00C4ction", u"x"}, u"\u00E4ction", false, {}},
        {"letters beyond ASCII that match", {u"-\u00E4ction", u"x"}, u"\u00E4ction", true, {u"x"}},
        {"an empty argument is an empty value", {u"-action", u"", u"b"}, u"action", true, {u"", u"b"}},
        {"no arguments", {}, u"action", false, {}},
    };
    for (const auto& c : cases) {
        Texts arguments{u"C:\\Tools\\Tarnwick.exe"};
        arguments.insert(arguments.end(), c.Arguments.begin(), c.Arguments.end());
        Texts values;
        EXPECT_EQ(GetSwitchValues(arguments, c.Name, values), c.Present) << c.Title;
        EXPECT_EQ(values, c.Values) << c.Title;
        EXPECT_EQ(SwitchPresent(arguments, c.Name), c.Present) << c.Title;
    }
}

TEST(GetSwitchValues, NeverLooksAtArgumentZero) {
    const Texts arguments{u"-action", u"x"};
    Texts values;
    EXPECT_FALSE(GetSwitchValues(arguments, u"action", values));
    EXPECT_TRUE(values.empty());
}

TEST(GetSwitchValues, AppendsWithoutClearingTheList) {
    const Texts arguments{u"prog", u"-action", u"turnon"};
    Texts values{u"earlier"};
    EXPECT_TRUE(GetSwitchValues(arguments, u"action", values));
    EXPECT_EQ(values, (Texts{u"earlier", u"turnon"}));
}

TEST(GetSwitchValues, ReadsTheProcessCommandLine) {
    testing::FakeSystemPlatform system;
    system.CommandLine = u"\"C:\\Program Files\\Tarnwick\\Tarnwick.exe\" -elevation -action turnon 30";
    Texts values;
    EXPECT_TRUE(GetSwitchValues(system, u"action", values));
    EXPECT_EQ(values, (Texts{u"turnon", u"30"}));
    EXPECT_TRUE(SwitchPresent(system, u"elevation"));
    EXPECT_FALSE(SwitchPresent(system, u"subscribeonstartup"));

    system.CommandLine = u"\"C:\\Program Files\\Tarnwick\\Tarnwick.exe\"";
    EXPECT_FALSE(SwitchPresent(system, u"action"));
}

} // namespace
} // namespace tarnwick
