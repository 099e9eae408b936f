#include "tray/TaskBarInfo.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/PlatformConstants.h"
#include "tests/unit/tray/Fakes.h"
#include "tests/unit/tray/LogRecorder.h"

namespace tarnwick {
namespace {

constexpr HWND_T Taskbar = 0x77;
constexpr HMONITOR_T Primary = 7;

class TaskBarInfoTest : public ::testing::Test {
protected:
    test::FakeWindowPlatform Windows;
    test::FakeShellPlatform Shell;
    TScreen Screen{Windows};
    test::LogRecorder Log;

    // A taskbar window with the given rectangle (client rectangle of the same size) on a 1920 x 1080
    // monitor at the origin.
    void Setup(TRect rect, TRect work = {0, 0, 1920, 1080}) {
        Windows.ClassWindows[u"Shell_TrayWnd"] = Taskbar;
        Windows.WindowRects[Taskbar] = rect;
        Windows.ClientRects[Taskbar] = {0, 0, rect.Right - rect.Left, rect.Bottom - rect.Top};
        Windows.Monitors = {{Primary, {{0, 0, 1920, 1080}, work, 1}}};
        Windows.PointMonitor = Primary;
    }
};

TEST_F(TaskBarInfoTest, FindsTheEdgeOfEachTaskbarPlacement) {
    struct Case {
        const char* name;
        TRect rect;
        TRect work;
        std::uint32_t edge;
    };
    const Case cases[] = {
        {"bottom", {0, 1040, 1920, 1080}, {0, 0, 1920, 1040}, ABE_BOTTOM},
        {"top", {0, 0, 1920, 40}, {0, 40, 1920, 1080}, ABE_TOP},
        {"left", {0, 0, 62, 1080}, {62, 0, 1920, 1080}, ABE_LEFT},
        {"right", {1858, 0, 1920, 1080}, {0, 0, 1858, 1080}, ABE_RIGHT},
        {"top, 5 px short of the bottom", {0, 0, 1920, 1074}, {0, 0, 1920, 1080}, ABE_TOP},
        {"right end 5 px short of the work area's", {0, 0, 1062, 1080}, {0, 0, 1067, 1080}, ABE_RIGHT},
        {"right end 6 px short of the work area's", {0, 0, 1062, 1080}, {0, 0, 1068, 1080}, ABE_LEFT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Setup(c.rect, c.work);
        const TTaskBarInfo info = GetTaskBarInfo(Windows, Shell, Screen);
        EXPECT_EQ(info.Handle, Taskbar);
        EXPECT_EQ(std::uint32_t(info.Edge), c.edge);
        EXPECT_EQ(info.Rect, c.rect);
        EXPECT_EQ(info.LRect, c.rect);
        ASSERT_TRUE(info.Monitor);
        EXPECT_EQ(info.Monitor->Handle, Primary);
        EXPECT_EQ(info.Monitor->WorkareaRect, c.work);
    }
    EXPECT_TRUE(Log.Lines.empty());
}

TEST_F(TaskBarInfoTest, AsksTheStateOnceForEachBitAndLooksUpTheMonitorAtTheTopLeftCorner) {
    struct Case {
        std::uintptr_t state;
        bool alwaysOnTop, autoHide;
    };
    const Case cases[] = {{0, false, false}, {1, false, true}, {2, true, false}, {3, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        Setup({0, 1040, 1920, 1080});
        Shell.AppBarCalls.clear();
        Windows.Calls.clear();
        Shell.AppBarState = c.state;
        const TTaskBarInfo info = GetTaskBarInfo(Windows, Shell, Screen);
        EXPECT_EQ(info.bAlwaysOnTop, c.alwaysOnTop);
        EXPECT_EQ(info.bAutoHide, c.autoHide);
        ASSERT_EQ(Shell.AppBarCalls.size(), 2u);
        for (const auto& [message, data] : Shell.AppBarCalls) {
            EXPECT_EQ(message, ABM_GETSTATE);
            EXPECT_EQ(data.cbSize, 48u);
            EXPECT_EQ(data.hWnd, Taskbar);
        }
        EXPECT_EQ(Windows.LastMonitorPoint, (TPoint{0, 1040}));
        EXPECT_EQ(Windows.Count(test::Call("MonitorFromPoint", {0, 1040, MONITOR_DEFAULTTONEAREST})), 1u);
    }
}

TEST_F(TaskBarInfoTest, ScalesByTheMonitorAlongTheTaskbarsLongSideRoundingHalvesToEven) {
    struct Case {
        const char* name;
        TRect rect, client;
        TRect lrect, lclient;
    };
    const Case cases[] = {
        // 1920 / 1536 = 1.25; 2 x 1.25 = 2.5 goes to 2, 6 x 1.25 = 7.5 goes to 8
        {"horizontal", {0, 832, 1536, 864}, {2, 6, 1536, 32}, {0, 1040, 1920, 1080}, {2, 8, 1920, 40}},
        // 1080 / 864 = 1.25 along the height
        {"vertical", {0, 0, 50, 864}, {0, 0, 50, 864}, {0, 0, 62, 1080}, {0, 0, 62, 1080}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Setup(c.rect);
        Windows.ClientRects[Taskbar] = c.client;
        const TTaskBarInfo info = GetTaskBarInfo(Windows, Shell, Screen);
        EXPECT_EQ(info.Rect, c.rect);
        EXPECT_EQ(info.clRect, c.client);
        EXPECT_EQ(info.LRect, c.lrect);
        EXPECT_EQ(info.LclRect, c.lclient);
    }
}

TEST(RoundHalfEven, SendsHalvesToTheEvenNeighbour) {
    const std::pair<double, std::int32_t> cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {7.5, 8}, {2.51, 3}, {1e12, 2147483647}, {-1e12, -2147483647 - 1}};
    for (const auto& [value, rounded] : cases) {
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
    }
}

TEST_F(TaskBarInfoTest, AZeroHeightTaskbarIsLoggedAndMeasuredUnscaled) {
    Setup({0, 1080, 1920, 1080});
    Shell.AppBarState = 3;
    Windows.LastError = 1400;
    Windows.ErrorTexts[1400] = u"Invalid window handle";
    const TTaskBarInfo info = GetTaskBarInfo(Windows, Shell, Screen);
    EXPECT_EQ(info.LRect, info.Rect);
    EXPECT_EQ(info.Edge, std::int32_t(ABE_BOTTOM));
    ASSERT_EQ(Log.Lines.size(), 1u);
    EXPECT_EQ(
        Log.Lines[0].first,
        u"[Warning] GetTaskBarInfo: Incorrect TaskBar Size. The latest error: 1400 - Invalid window handle, "
        u"Result params: handle: 119, bAlwaysOnTop: True, bAutoHide: True, clRect: Left: 0, Top: 0, "
        u"Right: 1920, Bottom: 0, rect: Left: 0, Top: 1080, Right: 1920, Bottom: 1080");
    EXPECT_FALSE(Log.Lines[0].second);
}

TEST_F(TaskBarInfoTest, WithoutAnyMonitorItLogsAndSaysBottom) {
    Setup({0, 1040, 1920, 1080});
    Windows.Monitors.clear();
    Windows.PointMonitor = 0;
    const TTaskBarInfo info = GetTaskBarInfo(Windows, Shell, Screen);
    EXPECT_FALSE(info.Monitor);
    EXPECT_EQ(info.Edge, std::int32_t(ABE_BOTTOM));
    EXPECT_EQ(info.LRect, TRect{});
    ASSERT_EQ(Log.Lines.size(), 1u);
    EXPECT_EQ(
        Log.Lines[0].first,
        u"[Warning] GetTaskBarInfo, for unknown reason MonitorFromWindow function have not returned a "
        u"monitor. The latest error: 0 - , Result params: handle: 119, bAlwaysOnTop: False, bAutoHide: "
        u"False, clRect: Left: 0, Top: 0, Right: 1920, Bottom: 40, rect: Left: 0, Top: 1040, Right: 1920, "
        u"Bottom: 1080");
}

TEST_F(TaskBarInfoTest, AMonitorMissingFromTheListIsLookedForAgainThenTheFirstIsTaken) {
    Setup({0, 1040, 1920, 1080});
    Windows.PointMonitor = 99;
    const TTaskBarInfo info = GetTaskBarInfo(Windows, Shell, Screen);
    ASSERT_TRUE(info.Monitor);
    EXPECT_EQ(info.Monitor->Handle, Primary);
    EXPECT_EQ(info.Monitor->MonitorNum, 0);
    EXPECT_EQ(Windows.Count("EnumDisplayMonitors"), 2u);
    EXPECT_TRUE(Log.Lines.empty());
}

// A point asked about with "no monitor" as the answer for nowhere (a window above the screen) is on no
// monitor; the list is not taken again for it. Any other point without a monitor takes the list again.
TEST_F(TaskBarInfoTest, APointOnNoMonitorIsNotLookedForAgain) {
    Setup({0, 1040, 1920, 1080});
    Windows.PointMonitor = 0;
    EXPECT_FALSE(Screen.MonitorFromPoint({0, -10000}, MONITOR_DEFAULTTONULL));
    EXPECT_EQ(Windows.Count("EnumDisplayMonitors"), 0u);
    EXPECT_FALSE(Screen.MonitorFromPoint({0, -10000}, MONITOR_DEFAULTTONEAREST));
    EXPECT_EQ(Windows.Count("EnumDisplayMonitors"), 2u);
}

TEST_F(TaskBarInfoTest, WithoutATaskbarWindowTheRectanglesStayEmpty) {
    Setup({0, 1040, 1920, 1080});
    Windows.ClassWindows.clear();
    const TTaskBarInfo info = GetTaskBarInfo(Windows, Shell, Screen);
    EXPECT_EQ(info.Handle, 0u);
    EXPECT_EQ(info.Rect, TRect{});
    EXPECT_EQ(info.clRect, TRect{});
    ASSERT_EQ(Log.Lines.size(), 1u); // a window of no size
}

} // namespace
} // namespace tarnwick
