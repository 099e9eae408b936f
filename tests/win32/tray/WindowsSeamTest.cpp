// What the window manager answers to the calls of the window seam.
#include "platform/win32/Win32Windows.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/win32/common/MessageLoop.h"

namespace tarnwick::win32 {
namespace {

class WindowsSeamTest : public ::testing::Test {
protected:
    TWin32WindowPlatform Windows;
    HWND Wnd = ::CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP, 10, 20, 200, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND_T H = reinterpret_cast<HWND_T>(Wnd);
    ~WindowsSeamTest() override { ::DestroyWindow(Wnd); }
};

TEST_F(WindowsSeamTest, PlacesAndMeasuresAWindow) {
    ASSERT_NE(Wnd, nullptr);
    EXPECT_TRUE(Windows.SetWindowPos(H, 0, 30, 40, 264, 112, 0x4 | 0x10));
    TRect rect{};
    ASSERT_TRUE(Windows.GetWindowRect(H, rect));
    EXPECT_EQ(rect, (TRect{30, 40, 294, 152}));
    ASSERT_TRUE(Windows.GetClientRect(H, rect));
    EXPECT_EQ(rect, (TRect{0, 0, 264, 112}));     // a pop-up without frame: all client
    EXPECT_FALSE(Windows.ShowWindow(H, SW_SHOW)); // the answer is the previous visibility
    EXPECT_TRUE(::IsWindowVisible(Wnd));
    EXPECT_TRUE(Windows.ShowWindow(H, SW_HIDE));
    EXPECT_FALSE(::IsWindowVisible(Wnd));
}

TEST_F(WindowsSeamTest, TopMostMovesIntoTheTopmostBand) {
    EXPECT_TRUE(Windows.SetWindowPos(H, HwndTopMost, 30, 40, 264, 112, 0x10));
    EXPECT_NE(::GetWindowLongW(Wnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(WindowsSeamTest, AnUnknownWindowOrHandleGivesNothing) {
    EXPECT_EQ(Windows.FindWindowW(u"TarnwickNoSuchClass", nullptr), 0u);
    TRect rect{1, 2, 3, 4};
    EXPECT_FALSE(Windows.GetWindowRect(0, rect));
    EXPECT_EQ(rect, (TRect{1, 2, 3, 4})); // left as it was
    EXPECT_EQ(Windows.GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(Windows.SysErrorMessage(ERROR_INVALID_WINDOW_HANDLE).empty());
}

TEST_F(WindowsSeamTest, TimersTickThroughTheQueueUnderTheirIdentifier) {
    EXPECT_EQ(Windows.SetTimer(H, 1, 20), 1u);
    MSG msg{};
    bool ticked = false;
    for (int i = 0; i < 400 && !ticked; ++i) {
        ticked = ::PeekMessageW(&msg, Wnd, WM_TIMER, WM_TIMER, PM_REMOVE) != FALSE;
        ::Sleep(5);
    }
    ASSERT_TRUE(ticked);
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_TRUE(Windows.KillTimer(H, 1));
    EXPECT_FALSE(Windows.KillTimer(H, 1));
}

TEST_F(WindowsSeamTest, PostedMessagesQueueAndSentOnesReturnTheResult) {
    EXPECT_TRUE(Windows.PostMessageW(H, 0x1137, 0, 0));
    MSG msg{};
    EXPECT_TRUE(::PeekMessageW(&msg, Wnd, 0x1137, 0x1137, PM_REMOVE));
    EXPECT_FALSE(Windows.PostMessageW(0x12345678, 0x1137, 0, 0));
    Windows.SetWindowTextW(H, u"Tarnwick");
    EXPECT_EQ(Windows.SendMessageW(H, WM_GETTEXTLENGTH, 0, 0), 8);
    EXPECT_EQ(Windows.DefWindowProcW(H, WM_GETTEXTLENGTH, 0, 0), 8);
}

TEST_F(WindowsSeamTest, TheScreenIsOneMonitorOfTheDisplaysSize) {
    const std::vector<HMONITOR_T> monitors = Windows.EnumDisplayMonitors();
    ASSERT_FALSE(monitors.empty());
    const HMONITOR_T nearest = Windows.MonitorFromPoint({-5000, 5000}, 2 /* nearest */);
    EXPECT_NE(std::find(monitors.begin(), monitors.end(), nearest), monitors.end());
    EXPECT_EQ(Windows.MonitorFromPoint({-5000, 5000}, 0 /* none */), 0u);
    TMonitorInfo info;
    ASSERT_TRUE(Windows.GetMonitorInfoW(nearest, info));
    EXPECT_EQ(info.rcMonitor.Right - info.rcMonitor.Left, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(info.rcMonitor.Bottom - info.rcMonitor.Top, ::GetSystemMetrics(SM_CYSCREEN));
    EXPECT_FALSE(Windows.GetMonitorInfoW(0, info));
}

TEST_F(WindowsSeamTest, TheCursorAndTheClockAnswer) {
    ASSERT_TRUE(::SetCursorPos(123, 234));
    TPoint p;
    ASSERT_TRUE(Windows.GetCursorPos(p));
    EXPECT_EQ(p, (TPoint{123, 234}));
    // The tick count moves on (Wine's ticks are coarse and a busy machine delays the sleeper, so only the
    // direction and a sane bound are checked).
    const std::uint32_t t0 = Windows.GetTickCount();
    ::Sleep(60);
    const std::uint32_t elapsed = Windows.GetTickCount() - t0;
    EXPECT_GT(elapsed, 0u);
    EXPECT_LT(elapsed, 60000u);
}

} // namespace
} // namespace tarnwick::win32
