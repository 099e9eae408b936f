#include "tray/TaskBarInfo.h"

#include <cmath>
#include <limits>

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "diag/EasyLog.h"
#include "support/SupportUtils.h"

namespace tarnwick {

namespace {

constexpr char16_t NoMonitorWarning[] = u"[Warning] GetTaskBarInfo, for unknown reason MonitorFromWindow "
                                        u"function have not returned a monitor. The "
                                        u"latest error: %d - %s, Result params: handle: %d, bAlwaysOnTop: "
                                        u"%s, bAutoHide: %s, clRect: %s, rect: %s";
constexpr char16_t BadSizeWarning[] = u"[Warning] GetTaskBarInfo: Incorrect TaskBar Size. The latest error: "
                                      u"%d - %s, Result params: handle: %d, "
                                      u"bAlwaysOnTop: %s, bAutoHide: %s, clRect: %s, rect: %s";

void WriteWarning(std::u16string_view Pattern, IWindowPlatform& Windows, const TTaskBarInfo& Info) {
    const std::int64_t code = Windows.GetLastError();
    const std::u16string text = Windows.SysErrorMessage(Windows.GetLastError());
    const std::u16string alwaysOnTop = BoolToText(Info.bAlwaysOnTop);
    const std::u16string autoHide = BoolToText(Info.bAutoHide);
    const std::u16string clRect = RectToText(Info.clRect);
    const std::u16string rect = RectToText(Info.Rect);
    WriteToLog(FormatText(Pattern, {code, std::u16string_view(text), static_cast<std::int64_t>(Info.Handle),
                                    std::u16string_view(alwaysOnTop), std::u16string_view(autoHide),
                                    std::u16string_view(clRect), std::u16string_view(rect)}));
}

TRect Scale(const TRect& R, double K) {
    return {RoundHalfEven(R.Left * K), RoundHalfEven(R.Top * K), RoundHalfEven(R.Right * K),
            RoundHalfEven(R.Bottom * K)};
}

} // namespace

std::int32_t RoundHalfEven(double Value) noexcept {
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    const double rounded = std::nearbyint(Value); // the default rounding mode sends halves to even
    if (!(rounded >= low)) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (rounded > high) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(rounded);
}

TTaskBarInfo GetTaskBarInfo(IWindowPlatform& Windows, IShellPlatform& Shell, TScreen& Screen) {
    TTaskBarInfo info;
    info.Handle = Windows.FindWindowW(TaskbarWindowClassName, nullptr);

    APPBARDATA appBar;
    appBar.cbSize = AppBarDataSize;
    appBar.hWnd = info.Handle;
    info.bAlwaysOnTop = (Shell.SHAppBarMessage(ABM_GETSTATE, appBar) & ABS_ALWAYSONTOP) != 0;
    info.bAutoHide = (Shell.SHAppBarMessage(ABM_GETSTATE, appBar) & ABS_AUTOHIDE) != 0;

    Windows.GetClientRect(info.Handle, info.clRect);
    Windows.GetWindowRect(info.Handle, info.Rect);

    info.Monitor = Screen.MonitorFromPoint({info.Rect.Left, info.Rect.Top}, MONITOR_DEFAULTTONEAREST);
    if (!info.Monitor && Screen.MonitorCount() > 0) {
        info.Monitor = Screen.Monitors(0);
    }
    if (!info.Monitor) {
        WriteWarning(NoMonitorWarning, Windows, info);
        info.Edge = ABE_BOTTOM;
        return info;
    }
    const TMonitor& monitor = *info.Monitor;

    // The taskbar's rectangle may come in another scale than the monitor's (a process that the system
    // scales); k maps it onto the monitor along the taskbar's long side.
    const std::int64_t width = std::int64_t(info.Rect.Right) - info.Rect.Left;
    const std::int64_t height = std::int64_t(info.Rect.Bottom) - info.Rect.Top;
    double k = 1.0;
    if (width == 0 || height == 0) {
        WriteWarning(BadSizeWarning, Windows, info);
    } else if (width > height) {
        k = double(monitor.Width()) / double(width);
    } else {
        k = double(monitor.Height()) / double(height);
    }
    info.LclRect = Scale(info.clRect, k);
    info.LRect = Scale(info.Rect, k);

    if (info.LRect.Top > monitor.Top()) {
        info.Edge = ABE_BOTTOM;
    } else if (std::int64_t(info.LRect.Bottom) + 5 < monitor.Height()) {
        info.Edge = ABE_TOP;
    } else if (std::int64_t(info.LRect.Right) + 5 < monitor.WorkareaRect.Right) {
        info.Edge = ABE_LEFT;
    } else {
        info.Edge = ABE_RIGHT;
    }
    return info;
}

} // namespace tarnwick
