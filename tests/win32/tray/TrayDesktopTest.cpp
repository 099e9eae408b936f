// The tray icon and the taskbar placement on a Wine virtual desktop with its taskbar.
#include <windows.h>
// clang-format off
#include <objbase.h>
#include <shellapi.h>
// clang-format on

#include <gtest/gtest.h>

#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32Windows.h"
#include "testing/fixtures/HeadlessGuiPlatform.h"
#include "tests/win32/common/MessageLoop.h"
#include "tests/win32/common/Screenshot.h"
#include "toolkit/win32/Win32WindowFactory.h"
#include "tray/GUIUtils.h"
#include "tray/gototray.h"

namespace tarnwick {
namespace {

class TrayDesktopTest : public ::testing::Test {
protected:
    win32::TWin32WindowPlatform Windows;
    win32::TWin32ShellPlatform Shell;
    win32::TWin32WindowFactory Factory{::GetModuleHandleW(nullptr)};
    tarnwick::testing::THeadlessGuiPlatform Gui;
    TApplication App{Windows, Factory, Gui};
    TOwned<TForm> Form = MakeComponent<TForm>(App, &App);
    TIcon Icon{reinterpret_cast<HICON_T>(::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)))};
    TIcon OtherIcon{reinterpret_cast<HICON_T>(::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_WARNING)))};

    TrayDesktopTest() {
        App.SetTitle(u"Tarnwick");
        App.SetMainForm(Form.get());
        Form->SetCaption(u"Tarnwick");
        // The main window's size: a 248 x 74 client area inside a dialog frame with a caption.
        RECT r{0, 0, 248, 74};
        ::AdjustWindowRectEx(&r, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME);
        Form->SetBounds(-10000, -10000, r.right - r.left, r.bottom - r.top);
    }

    // Whether the shell has an icon of the form (a modify of nothing changes nothing and is refused).
    bool IconShown() {
        NOTIFYICONDATAW probe;
        probe.cbSize = NotifyIconDataV2Size;
        probe.hWnd = Form->Handle();
        return Shell.Shell_NotifyIconW(NIM_MODIFY, probe);
    }
};

TEST_F(TrayDesktopTest, TheIconIsAddedChangedShownWithABalloonAndDeleted) {
    {
        TTunerTray tray(Shell, App, *Form, u"Power off the internet", Icon);
        EXPECT_FALSE(tray.ShowBalloonTrayIcon(0, u"Too early", u"Early", bitInfo));
        EXPECT_FALSE(IconShown());
        tray.CreateIcon();
        EXPECT_TRUE(IconShown());
        tray.ModifyIcon(OtherIcon);
        EXPECT_TRUE(tray.ShowBalloonTrayIcon(10, u"The internet is turned off now. Happy offline work!",
                                             u"Internet Off", bitInfo));
        test::PumpMessages(2500); // the shell shows a balloon a moment after it is asked
        test::TakeScreenshot(L"tray-balloon");
        tray.DeleteIcon();
        EXPECT_FALSE(IconShown());
        tray.CreateIcon();
    } // the destructor removes the icon
    EXPECT_FALSE(IconShown());
}

TEST_F(TrayDesktopTest, MeasuresWinesTaskbarAlongTheBottomOfTheScreen) {
    const TTaskBarInfo info = GetTaskBarInfo(Windows, Shell, App.Screen());
    ASSERT_EQ(info.Handle, reinterpret_cast<HWND_T>(::FindWindowW(L"Shell_TrayWnd", nullptr)));
    ASSERT_NE(info.Handle, 0u);
    EXPECT_TRUE(info.bAlwaysOnTop);
    EXPECT_TRUE(info.bAutoHide);
    ASSERT_TRUE(info.Monitor);
    EXPECT_EQ(info.Monitor->Width(), 1280);
    EXPECT_EQ(info.Monitor->Height(), 800);
    EXPECT_EQ(info.Edge, ABE_BOTTOM);
    EXPECT_EQ(info.Rect.Left, 0);
    EXPECT_EQ(info.Rect.Right, 1280);
    EXPECT_EQ(info.Rect.Bottom, 800);
    EXPECT_GT(info.Rect.Bottom - info.Rect.Top, 0);
    EXPECT_EQ(info.LRect.Top, info.Rect.Top); // nothing to scale: the same width as the monitor
    EXPECT_EQ(info.clRect.Right, 1280);
    EXPECT_EQ(info.Monitor->WorkareaRect.Bottom, info.Rect.Top);
}

TEST_F(TrayDesktopTest, PlacesTheMainWindowBesideTheNotificationAreaInsideTheScreen) {
    TTunerTray tray(Shell, App, *Form, u"Power off the internet", Icon);
    tray.CreateIcon();
    const TTaskBarInfo info = GetTaskBarInfo(Windows, Shell, App.Screen());

    PositionFormToTray(Shell, Form.get(), false);
    Form->SetVisible(true);
    SetFormTopMost(*Form);
    RECT r{};
    ::GetWindowRect(reinterpret_cast<HWND>(Form->Handle()), &r);
    EXPECT_EQ(r.right, info.Rect.Right);
    EXPECT_EQ(r.bottom, info.Rect.Top);
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_EQ(r.right - r.left, Form->Width());
    EXPECT_EQ(r.bottom - r.top, Form->Height());
    EXPECT_NE(::GetWindowLongW(reinterpret_cast<HWND>(Form->Handle()), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(test::TakeScreenshot(L"position-form-to-tray"));

    // Centred on a cursor over the taskbar, where the window still fits on the right.
    ASSERT_TRUE(::SetCursorPos(900, 790));
    PositionFormToTray(Shell, Form.get(), true);
    ::GetWindowRect(reinterpret_cast<HWND>(Form->Handle()), &r);
    EXPECT_EQ(r.left, 900 - Form->Width() / 2);
    EXPECT_EQ(r.bottom, info.Rect.Top);
    EXPECT_TRUE(test::TakeScreenshot(L"position-form-to-tray-centred"));
}

} // namespace
} // namespace tarnwick
