#include <gtest/gtest.h>

#include "support/ConsoleOutput.h"
#include "tests/unit/support/FakeConsolePlatform.h"

namespace tarnwick {
namespace {

using TPlace = testing::FakeConsolePlatform::TPlace;

TEST(ConsoleOutput, WritesToTheRedirectedOutputElseToTheParentsConsoleElseNowhere) {
    testing::FakeConsolePlatform redirected;
    redirected.Place = TPlace::Redirected;
    {
        TConsoleOutput output(redirected);
        ASSERT_TRUE(output.Available());
        output.WriteLine(u"Wi-Fi \u00e9t\u00e9");
        output.WriteLine(u"off");
    }
    EXPECT_EQ(redirected.FileBytes, "Wi-Fi \xc3\xa9t\xc3\xa9\r\noff\r\n") << "UTF-8 for a script to read";
    EXPECT_EQ(redirected.ConsoleText, u"");

    testing::FakeConsolePlatform console;
    console.Place = TPlace::ParentConsole;
    {
        TConsoleOutput output(console);
        output.WriteLine(u"on");
        output.WriteLine(u"\u0421\u0435\u0442\u044c");
        EXPECT_EQ(console.OpenHandles, 1) << "the console is opened once";
    }
    // A line break first: the shell has printed its prompt already.
    EXPECT_EQ(console.ConsoleText, u"\r\non\r\n\u0421\u0435\u0442\u044c\r\n");
    EXPECT_EQ(console.OpenHandles, 0) << "and closed with the output";

    testing::FakeConsolePlatform none;
    TConsoleOutput output(none);
    EXPECT_FALSE(output.Available());
    output.WriteLine(u"on");
    EXPECT_EQ(none.Output(), u"");
}

} // namespace
} // namespace tarnwick
