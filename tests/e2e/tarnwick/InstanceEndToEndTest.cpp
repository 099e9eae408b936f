// One instance per user session, as a user meets it on the Wine desktop: later starts hand their command
// line to the running tarnwick.exe and end with its result.

#include "SessionFixture.h"

#include "tests/win32/common/Screenshot.h"

namespace tarnwick::e2e {
namespace {

using SingleInstance = Session;

TEST_F(SingleInstance, TwoStartsGiveOneTrayIconAndOneWindow) {
    TProgram first(machine, L"-elevation");
    HWND window = TheMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil(Patience, [&] { return !::IsWindowVisible(window); }));

    TProgram second(machine, L"-elevation");
    ASSERT_TRUE(second.WaitForExit(Patience)) << "the second start stayed";
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(WindowsOfClass(L"TarnwickMainWindow").size(), 1u);
    EXPECT_EQ(TarnwickProcesses().size(), 1u) << "one process, so one tray icon";
    test::TakeScreenshot(L"e2e-one-instance-tray");
}

TEST_F(SingleInstance, ATurnOffGivenWhileAnInstanceRunsSwitchesThroughItAndEndsWithZero) {
    TProgram first(machine, L"-elevation");
    ASSERT_NE(TheMainWindow(), nullptr);
    ASSERT_TRUE(AdaptersAre(0));

    TProgram later(machine, L"-elevation -action turnoff");
    ASSERT_TRUE(later.WaitForExit(Patience * 2)) << "the later start did not end";
    EXPECT_EQ(later.ExitCode(), 0u);
    EXPECT_TRUE(AdaptersAre(22)) << "switched before the later start ended";
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(TarnwickProcesses().size(), 1u);
}

TEST_F(SingleInstance, ASecondStartWithoutArgumentsShowsTheFirstOnesWindow) {
    TProgram first(machine, L"-elevation");
    HWND window = TheMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil(Patience, [&] { return !::IsWindowVisible(window); }));

    TProgram second(machine, L"");
    ASSERT_TRUE(second.WaitForExit(Patience));
    EXPECT_EQ(second.ExitCode(), 0u);
    ASSERT_TRUE(WaitUntil(Patience, [&] { return ::IsWindowVisible(window) != FALSE; }));
    RECT r{};
    ::GetWindowRect(window, &r);
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.right, 1280);
    EXPECT_LE(r.bottom, 800);
    test::TakeScreenshot(L"e2e-second-start-shows-window");
}

} // namespace
} // namespace tarnwick::e2e
