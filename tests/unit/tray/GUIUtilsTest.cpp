#include "tray/GUIUtils.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "testing/fixtures/HeadlessGuiPlatform.h"
#include "tests/unit/tray/Fakes.h"
#include "tests/unit/tray/LogRecorder.h"

namespace tarnwick {
namespace {

using test::Call;
using ::testing::ElementsAre;

constexpr HWND_T Taskbar = 0x77;
constexpr HMONITOR_T Primary = 7;

class PositionFormToTrayTest : public ::testing::Test {
protected:
    test::FakeWindowPlatform Windows;
    test::FakeWindowFactory Factory;
    test::FakeShellPlatform Shell;
    tarnwick::testing::THeadlessGuiPlatform Gui;
    TApplication App{Windows, Factory, Gui};
    TOwned<TForm> Form = MakeComponent<TForm>(App, &App);
    test::LogRecorder Log;

    PositionFormToTrayTest() { Form->SetBounds(-10000, -10000, 264, 112); }

    void Taskbar(TRect rect, TRect work) {
        Windows.ClassWindows[u"Shell_TrayWnd"] = tarnwick::Taskbar;
        Windows.WindowRects[tarnwick::Taskbar] = rect;
        Windows.ClientRects[tarnwick::Taskbar] = {0, 0, rect.Right - rect.Left, rect.Bottom - rect.Top};
        Windows.Monitors = {{Primary, {{0, 0, 1920, 1080}, work, 1}}};
        Windows.PointMonitor = Primary;
    }
};

TEST_F(PositionFormToTrayTest, PutsTheFormInTheCornerBesideTheNotificationArea) {
    struct Case {
        const char* name;
        TRect rect, work;
        bool center;
        std::int32_t cursorX;
        std::int32_t top, left;
    };
    const Case cases[] = {
        {"bottom", {0, 1040, 1920, 1080}, {0, 0, 1920, 1040}, false, 1000, 928, 1656},
        {"bottom, centred on the cursor", {0, 1040, 1920, 1080}, {0, 0, 1920, 1040}, true, 1000, 928, 868},
        {"bottom, cursor too far right", {0, 1040, 1920, 1080}, {0, 0, 1920, 1040}, true, 1800, 928, 1656},
        {"bottom, cursor at the edge of fitting",
         {0, 1040, 1920, 1080},
         {0, 0, 1920, 1040},
         true,
         1787,
         928,
         1655},
        {"bottom, cursor at the left end", {0, 1040, 1920, 1080}, {0, 0, 1920, 1040}, true, 10, 928, -122},
        {"top", {0, 0, 1920, 40}, {0, 40, 1920, 1080}, true, 1000, 40, 1656},
        {"left", {0, 0, 62, 1080}, {62, 0, 1920, 1080}, true, 1000, 968, 62},
        {"right", {1858, 0, 1920, 1080}, {0, 0, 1858, 1080}, true, 1000, 968, 1594},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Taskbar(c.rect, c.work);
        Windows.Cursor = {c.cursorX, 1060};
        Form->SetBounds(-10000, -10000, 264, 112);
        PositionFormToTray(Shell, Form.get(), c.center);
        EXPECT_EQ(Form->Top(), c.top);
        EXPECT_EQ(Form->Left(), c.left);
        EXPECT_EQ(Form->Width(), 264);
        EXPECT_EQ(Form->Height(), 112);
    }
}

TEST_F(PositionFormToTrayTest, MovesTheWindowWithoutShowingOrActivatingItAndWritesThreeDebugLines) {
    Taskbar({0, 832, 1536, 864}, {0, 0, 1920, 1040}); // scaled by 1.25
    const HWND_T wnd = Form->Handle();
    Windows.Calls.clear();
    PositionFormToTray(Shell, Form.get(), false);
    EXPECT_EQ(Windows.Count("ShowWindow"), 0u);
    EXPECT_EQ(Windows.Calls.back(),
              Call("SetWindowPos", {(long long)wnd, 0, 1656, 928, 264, 112, SWP_NOZORDER | SWP_NOACTIVATE}));
    EXPECT_THAT(
        Log.Lines,
        ElementsAre(std::make_pair(std::u16string(u"PositionFormToTray. TaskBarInfo.Rect: Top=832; Left=0; "
                                                  u"Right=1536; Bottom=864; Monitor.Width=1920; "
                                                  u"Monitor.Height=1080"),
                                   true),
                    std::make_pair(std::u16string(u"PositionFormToTray. TaskBarInfo.LRect: Top=1040; Left=0; "
                                                  u"Right=1920; Bottom=1080"),
                                   true),
                    std::make_pair(std::u16string(u"PositionFormToTray. Form position after correction: "
                                                  u"Top=928; Left=1656; Width=264; Height=112"),
                                   true)));
}

TEST_F(PositionFormToTrayTest, LeavesTheFormWhereItIsWithoutFormTaskbarOrMonitor) {
    Taskbar({0, 1040, 1920, 1080}, {0, 0, 1920, 1040});
    PositionFormToTray(Shell, nullptr, true);
    EXPECT_TRUE(Windows.Calls.empty());

    Windows.ClassWindows.clear();
    PositionFormToTray(Shell, Form.get(), true);
    EXPECT_EQ(Form->Top(), -10000);

    Taskbar({0, 1040, 1920, 1080}, {0, 0, 1920, 1040});
    Windows.Monitors.clear();
    Windows.PointMonitor = 0;
    PositionFormToTray(Shell, Form.get(), true);
    EXPECT_EQ(Form->Top(), -10000);
    EXPECT_EQ(Form->Left(), -10000);
}

TEST_F(PositionFormToTrayTest, TopMostKeepsPlaceAndSizeWithoutActivating) {
    const HWND_T wnd = Form->Handle();
    Windows.WindowRects[wnd] = {100, 200, 364, 312};
    Windows.Calls.clear();
    SetFormTopMost(*Form);
    EXPECT_THAT(Windows.Calls,
                ElementsAre(Call("GetWindowRect", {(long long)wnd}),
                            Call("SetWindowPos", {(long long)wnd, -1, 100, 200, 264, 112, 0x10})));
}

TEST(RemoveButtonShield, SendsSetShieldFalseToTheButton) {
    test::FakeWindowPlatform windows;
    RemoveButtonShield(windows, 0x333);
    EXPECT_THAT(windows.Calls, ElementsAre(Call("SendMessageW", {0x333, 0x160C, 0, 0})));
}

class TaskbarListTest : public ::testing::Test {
protected:
    test::FakeWindowPlatform Windows;
    test::FakeWindowFactory Factory;
    test::FakeShellPlatform Shell;
    tarnwick::testing::THeadlessGuiPlatform Gui;
    TApplication App{Windows, Factory, Gui};
    ~TaskbarListTest() override { FinalizeGUIUtils(); }
};

TEST_F(TaskbarListTest, IsMadeWhenATabIsFirstRemovedFromWindows7OnAndReleasedAtShutdown) {
    for (std::uint8_t code : {0, 5, 6}) {
        DeleteApplicationTaskBarTab(App, Shell, code);
        EXPECT_EQ(TaskbarList(), nullptr) << int(code);
    }
    EXPECT_TRUE(Shell.TaskbarLog.empty()) << "nothing to do before Windows 7, and no object needed";
    DeleteApplicationTaskBarTab(App, Shell, 7);
    DeleteApplicationTaskBarTab(App, Shell, 7);
    EXPECT_NE(TaskbarList(), nullptr);
    FinalizeGUIUtils();
    EXPECT_EQ(TaskbarList(), nullptr);
    const std::string tab = Call("DeleteTab", {(long long)App.Handle()});
    EXPECT_THAT(Shell.TaskbarLog, ElementsAre("CoCreate", "HrInit", tab, tab, "Release")) << "made once";
}

TEST_F(TaskbarListTest, AFailureToMakeItCarriesTheComResult) {
    Shell.CreateResult = std::int32_t(0x80040154); // class not registered
    Windows.ErrorTexts[0x80040154] = u"Class not registered";
    try {
        DeleteApplicationTaskBarTab(App, Shell, 7);
        FAIL() << "no error";
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode(), 0x80040154u);
        EXPECT_EQ(e.Message(), u"Windows error -2147221164 (Class not registered)");
    }
    EXPECT_EQ(TaskbarList(), nullptr);
}

} // namespace
} // namespace tarnwick
