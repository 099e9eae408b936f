#include "tray/GUIUtils.h"

#include <memory>

#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "diag/EasyLog.h"

namespace tarnwick {

namespace {
constexpr std::uint8_t Windows7VersionCode = 7;
std::unique_ptr<ITaskbarListObject> gTaskbarList; // the unit's TaskbarList

// The taskbar-list object, made and initialised when first needed.
ITaskbarListObject& MadeTaskbarList(IShellPlatform& Shell, IWindowPlatform& Windows) {
    if (!gTaskbarList) {
        std::unique_ptr<ITaskbarListObject> list;
        const HRESULT_T result = Shell.CoCreateTaskbarList(list);
        if (result < 0 || !list) {
            throw OsErrorOfResult(result, Windows.SysErrorMessage(static_cast<std::uint32_t>(result)));
        }
        (void)list->HrInit();
        gTaskbarList = std::move(list);
    }
    return *gTaskbarList;
}

} // namespace

void FinalizeGUIUtils() noexcept {
    gTaskbarList.reset();
}

ITaskbarListObject* TaskbarList() noexcept {
    return gTaskbarList.get();
}

void PositionFormToTray(IShellPlatform& Shell, TForm* Form, bool CenterOnCursor) {
    if (!Form) {
        return;
    }
    IWindowPlatform& windows = Form->Application().Windows();
    const TTaskBarInfo info = GetTaskBarInfo(windows, Shell, Form->Application().Screen());
    if (!info.Monitor || info.Handle == 0) {
        // Without a taskbar or the monitor under it there is no corner to go to: the form stays put.
        return;
    }
    const TMonitor& monitor = *info.Monitor;
    const TRect& R = info.LRect;
    const std::int32_t W = Form->Width();
    const std::int32_t H = Form->Height();

    WriteDebugToLog(u"PositionFormToTray. TaskBarInfo.Rect: Top=" + IntToText(info.Rect.Top) + u"; Left=" +
                    IntToText(info.Rect.Left) + u"; Right=" + IntToText(info.Rect.Right) + u"; Bottom=" +
                    IntToText(info.Rect.Bottom) + u"; Monitor.Width=" + IntToText(monitor.Width()) +
                    u"; Monitor.Height=" + IntToText(monitor.Height()));
    WriteDebugToLog(u"PositionFormToTray. TaskBarInfo.LRect: Top=" + IntToText(R.Top) + u"; Left=" +
                    IntToText(R.Left) + u"; Right=" + IntToText(R.Right) + u"; Bottom=" +
                    IntToText(R.Bottom));

    switch (info.Edge) {
    case ABE_LEFT:
        Form->SetTop(R.Bottom - H);
        Form->SetLeft(R.Right);
        break;
    case ABE_TOP:
        Form->SetTop(R.Bottom);
        Form->SetLeft(R.Right - W);
        break;
    case ABE_RIGHT:
        Form->SetTop(R.Bottom - H);
        Form->SetLeft(R.Left - W);
        break;
    default: // ABE_BOTTOM
        Form->SetTop(R.Top - H);
        Form->SetLeft(R.Right - W);
        if (CenterOnCursor) {
            TPoint cursor;
            windows.GetCursorPos(cursor);
            if (std::int64_t(monitor.Width()) > std::int64_t(cursor.X) + W / 2) {
                Form->SetLeft(cursor.X - W / 2);
            }
        }
        break;
    }

    WriteDebugToLog(u"PositionFormToTray. Form position after correction: Top=" + IntToText(Form->Top()) +
                    u"; Left=" + IntToText(Form->Left()) + u"; Width=" + IntToText(W) + u"; Height=" +
                    IntToText(H));
}

void SetWindowTopMost(IWindowPlatform& Windows, HWND_T Wnd) {
    TRect rect{};
    Windows.GetWindowRect(Wnd, rect);
    Windows.SetWindowPos(Wnd, HwndTopMost, rect.Left, rect.Top, rect.Right - rect.Left,
                         rect.Bottom - rect.Top, SWP_NOACTIVATE);
}

void SetFormTopMost(TForm& Form) {
    SetWindowTopMost(Form.Application().Windows(), Form.Handle());
}

void RemoveButtonShield(IWindowPlatform& Windows, HWND_T ButtonWnd) {
    Windows.SendMessageW(ButtonWnd, BCM_SETSHIELD, 0, 0);
}

void DeleteApplicationTaskBarTab(TApplication& Application, IShellPlatform& Shell,
                                 std::uint8_t WindowsVersionCode) {
    const HWND_T applicationWindow = Application.Handle();
    if (WindowsVersionCode < Windows7VersionCode) {
        return;
    }
    (void)MadeTaskbarList(Shell, Application.Windows()).DeleteTab(applicationWindow);
}

} // namespace tarnwick
