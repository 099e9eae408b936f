#include "tests/unit/app/HeadlessDesktop.h"

#include <algorithm>
#include <utility>

#include "core/PlatformConstants.h"
#include "core/Text.h"

namespace tarnwick::test {

THeadlessDesktop::THeadlessDesktop() {
    TWindow taskbar;
    taskbar.Handle = TaskbarHandle;
    taskbar.ClassName = u"Shell_TrayWnd";
    taskbar.Rect = Taskbar;
    taskbar.Visible = true;
    Windows[TaskbarHandle] = taskbar;
}

std::vector<HWND_T> THeadlessDesktop::WindowsOfClass(const std::u16string& ClassName) const {
    std::vector<HWND_T> found;
    for (const auto& [handle, window] : Windows) {
        if (window.ClassName == ClassName && !(window.Style & WS_CHILD)) {
            found.push_back(handle);
        }
    }
    return found;
}

std::vector<HWND_T> THeadlessDesktop::Children(HWND_T Parent) const {
    std::vector<HWND_T> found;
    for (const auto& [handle, window] : Windows) {
        if (window.Parent == Parent && (window.Style & WS_CHILD)) {
            found.push_back(handle);
        }
    }
    return found;
}

bool THeadlessDesktop::OnScreen(HWND_T Handle) const {
    const auto it = Windows.find(Handle);
    if (it == Windows.end() || !it->second.Visible) {
        return false;
    }
    const TWindow& w = it->second;
    if (w.Style & WS_CHILD) {
        return OnScreen(w.Parent);
    }
    // Any part of it on the monitor.
    return w.Rect.Right > Screen.Left && w.Rect.Left < Screen.Right && w.Rect.Bottom > Screen.Top &&
           w.Rect.Top < Screen.Bottom && w.Rect.Right > w.Rect.Left && w.Rect.Bottom > w.Rect.Top;
}

std::intptr_t THeadlessDesktop::Send(HWND_T Handle, std::uint32_t Msg, std::uintptr_t WParam,
                                     std::intptr_t LParam) {
    const auto it = Windows.find(Handle);
    if (it == Windows.end()) {
        return 0;
    }
    if (!it->second.Method) {
        it->second.Received.emplace_back(Msg, static_cast<std::intptr_t>(WParam));
        return 0;
    }
    const TWndMethod method = it->second.Method; // the window may go while its method runs
    return method(Msg, WParam, LParam);
}

void THeadlessDesktop::Broadcast(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    for (const auto& [handle, window] : Windows) {
        if (window.Method && !(window.Style & WS_CHILD)) {
            Queue.push_back(TMsg{handle, Msg, WParam, LParam, 0, {}});
        }
    }
}

void THeadlessDesktop::Pump() {
    while (!Queue.empty()) {
        const TMsg msg = Queue.front();
        Queue.pop_front();
        DispatchMessageW(msg);
    }
}

void THeadlessDesktop::AdvanceTime(std::uint64_t Milliseconds) {
    const std::uint64_t end = Now + Milliseconds;
    for (;;) {
        auto next = std::min_element(Timers.begin(), Timers.end(),
                                     [](const TTimer& a, const TTimer& b) { return a.Due < b.Due; });
        if (next == Timers.end() || next->Due > end) {
            break;
        }
        Now = next->Due;
        next->Due += next->Interval;
        const HWND_T window = next->Window;
        const std::uintptr_t id = next->Id;
        Send(window, WM_TIMER, id, 0);
        Pump();
    }
    Now = std::max(Now, end); // a tick may have moved the clock further itself (a box left open)
}

bool THeadlessDesktop::TimerRunning(HWND_T Window, std::uintptr_t Id) const {
    return std::any_of(Timers.begin(), Timers.end(),
                       [&](const TTimer& t) { return t.Window == Window && t.Id == Id; });
}

void THeadlessDesktop::ClickButton(HWND_T Button) {
    const TWindow& button = Window(Button);
    Send(button.Parent, WM_COMMAND, (std::uintptr_t(BN_CLICKED) << 16) | button.Id,
         static_cast<std::intptr_t>(Button));
}

std::size_t THeadlessDesktop::Count(const std::string& Prefix) const {
    return std::size_t(std::count_if(Timeline.begin(), Timeline.end(),
                                     [&](const std::string& e) { return e.rfind(Prefix, 0) == 0; }));
}

// --- IWindowPlatform ---

HWND_T THeadlessDesktop::FindWindowW(const char16_t* lpClassName, const char16_t*) {
    const std::vector<HWND_T> found = WindowsOfClass(lpClassName ? lpClassName : u"");
    return found.empty() ? 0 : found.front();
}

void THeadlessDesktop::Activate(HWND_T Handle) {
    if (Active == Handle) {
        return;
    }
    const HWND_T previous = Active;
    Active = Handle;
    Foreground = Handle;
    if (previous && Exists(previous)) {
        Send(previous, WM_ACTIVATE, WA_INACTIVE, static_cast<std::intptr_t>(Handle));
    }
    Send(Handle, WM_ACTIVATE, 1 /* WA_ACTIVE */, static_cast<std::intptr_t>(previous));
}

bool THeadlessDesktop::ShowWindow(HWND_T hWnd, std::int32_t nCmdShow) {
    Record(CallText("ShowWindow", {(long long)hWnd, nCmdShow}));
    if (!Exists(hWnd)) {
        return false;
    }
    TWindow& w = Window(hWnd);
    const bool wasVisible = w.Visible;
    if (nCmdShow == std::int32_t(SW_HIDE)) {
        w.Visible = false;
        if (Active == hWnd) {
            Active = 0;
            Send(hWnd, WM_ACTIVATE, WA_INACTIVE, 0);
        }
        return wasVisible;
    }
    if (!wasVisible) {
        Send(hWnd, WM_SHOWWINDOW, 1, 0);
        if (!Exists(hWnd)) {
            return false;
        }
    }
    Window(hWnd).Visible = true;
    const bool activates = nCmdShow == std::int32_t(SW_SHOW) || nCmdShow == std::int32_t(SW_RESTORE) ||
                           nCmdShow == std::int32_t(SW_SHOWNORMAL);
    const TWindow& shown = Window(hWnd);
    if (activates && !(shown.Style & WS_CHILD) && shown.Enabled) {
        Activate(hWnd);
    }
    return wasVisible;
}

bool THeadlessDesktop::SetWindowPos(HWND_T hWnd, HWND_T hWndInsertAfter, std::int32_t X, std::int32_t Y,
                                    std::int32_t cx, std::int32_t cy, std::uint32_t uFlags) {
    Record(CallText("SetWindowPos", {(long long)hWnd, (long long)hWndInsertAfter, X, Y, cx, cy, uFlags}));
    if (!Exists(hWnd)) {
        return false;
    }
    TWindow& w = Window(hWnd);
    if (!(uFlags & SWP_NOSIZE)) {
        w.Rect = {X, Y, X + cx, Y + cy};
    }
    if (!(uFlags & SWP_NOZORDER) && hWndInsertAfter == HwndTopMost) {
        w.TopMost = true;
    }
    return true;
}

bool THeadlessDesktop::GetWindowRect(HWND_T hWnd, TRect& lpRect) {
    if (!Exists(hWnd)) {
        return false;
    }
    lpRect = Window(hWnd).Rect;
    return true;
}

bool THeadlessDesktop::GetClientRect(HWND_T hWnd, TRect& lpRect) {
    if (!Exists(hWnd)) {
        return false;
    }
    const TRect& r = Window(hWnd).Rect;
    lpRect = {0, 0, r.Right - r.Left, r.Bottom - r.Top};
    return true;
}

bool THeadlessDesktop::SetWindowTextW(HWND_T hWnd, const std::u16string& lpString) {
    if (!Exists(hWnd)) {
        return false;
    }
    Window(hWnd).Text = lpString;
    return true;
}

bool THeadlessDesktop::PostMessageW(HWND_T hWnd, std::uint32_t Msg, std::uintptr_t wParam,
                                    std::intptr_t lParam) {
    Record(CallText("PostMessageW", {(long long)hWnd, Msg, (long long)wParam, (long long)lParam}));
    Queue.push_back(TMsg{hWnd, Msg, wParam, lParam, 0, {}});
    return true;
}

std::intptr_t THeadlessDesktop::SendMessageW(HWND_T hWnd, std::uint32_t Msg, std::uintptr_t wParam,
                                             std::intptr_t lParam) {
    Record(CallText("SendMessageW", {(long long)hWnd, Msg, (long long)wParam, (long long)lParam}));
    if (Msg == WM_SETICON && Exists(hWnd)) {
        Window(hWnd).WindowIcons[wParam] = lParam;
    }
    return Send(hWnd, Msg, wParam, lParam);
}

std::intptr_t THeadlessDesktop::DefWindowProcW(HWND_T, std::uint32_t, std::uintptr_t, std::intptr_t) {
    return 0;
}

std::int32_t THeadlessDesktop::MessageBoxW(HWND_T hWnd, const std::u16string& lpText,
                                           const std::u16string& lpCaption, std::uint32_t uType) {
    Record("MessageBoxW(" + ToUtf8(lpText) + ")");
    Boxes.push_back({hWnd, lpText, lpCaption, uType});
    if (WhileBoxOpen) {
        ++OpenBoxes;
        MostOpenBoxes = std::max(MostOpenBoxes, OpenBoxes);
        WhileBoxOpen(Boxes.back());
        --OpenBoxes;
    }
    return 1; // IDOK
}

std::uintptr_t THeadlessDesktop::SetTimer(HWND_T hWnd, std::uintptr_t nIDEvent, std::uint32_t uElapse) {
    Record(CallText("SetTimer", {(long long)hWnd, (long long)nIDEvent, uElapse}));
    // A timer of the same window and identifier is replaced.
    std::erase_if(Timers, [&](const TTimer& t) { return t.Window == hWnd && t.Id == nIDEvent; });
    Timers.push_back({hWnd, nIDEvent, uElapse, Now + uElapse});
    return nIDEvent;
}

bool THeadlessDesktop::KillTimer(HWND_T hWnd, std::uintptr_t uIDEvent) {
    Record(CallText("KillTimer", {(long long)hWnd, (long long)uIDEvent}));
    const auto before = Timers.size();
    std::erase_if(Timers, [&](const TTimer& t) { return t.Window == hWnd && t.Id == uIDEvent; });
    return Timers.size() != before;
}

bool THeadlessDesktop::GetCursorPos(TPoint& lpPoint) {
    lpPoint = Cursor;
    return true;
}

HMONITOR_T THeadlessDesktop::MonitorFromPoint(TPoint Point, std::uint32_t Flags) {
    const bool onScreen =
        Point.X >= Screen.Left && Point.X < Screen.Right && Point.Y >= Screen.Top && Point.Y < Screen.Bottom;
    // One monitor: every point is nearest to it.
    return onScreen || Flags != MONITOR_DEFAULTTONULL ? MonitorHandle : 0;
}

bool THeadlessDesktop::GetMonitorInfoW(HMONITOR_T hMonitor, TMonitorInfo& lpmi) {
    if (hMonitor != MonitorHandle) {
        return false;
    }
    lpmi.rcMonitor = Screen;
    lpmi.rcWork = {0, 0, 1280, Taskbar.Top};
    lpmi.dwFlags = 1; // MONITORINFOF_PRIMARY
    return true;
}

// --- IWindowFactory ---

HWND_T THeadlessDesktop::CreateWindowHandle(const TCreateParams& Params, TWndMethod Method) {
    TWindow w;
    w.Handle = FNextHandle++;
    w.ClassName = Params.ClassName;
    w.Text = Params.Caption;
    w.Style = Params.Style;
    w.ExStyle = Params.ExStyle;
    w.Parent = Params.WndParent;
    w.Rect = {Params.X, Params.Y, Params.X + Params.Width, Params.Y + Params.Height};
    w.Visible = (Params.Style & WS_VISIBLE) != 0;
    w.Method = std::move(Method);
    Record("CreateWindow(" + ToUtf8(Params.ClassName) + ")");
    Windows[w.Handle] = std::move(w);
    return FNextHandle - 1;
}

void THeadlessDesktop::DestroyTree(HWND_T Handle) {
    for (HWND_T child : Children(Handle)) {
        DestroyTree(child);
    }
    std::erase_if(Timers, [&](const TTimer& t) { return t.Window == Handle; });
    if (Active == Handle) {
        Active = 0;
    }
    if (Focus == Handle) {
        Focus = 0;
    }
    Windows.erase(Handle);
}

void THeadlessDesktop::DestroyWindowHandle(HWND_T Handle) {
    if (Exists(Handle)) {
        Record("DestroyWindow(" + ToUtf8(Window(Handle).ClassName) + ")");
    }
    DestroyTree(Handle);
}

// --- IGuiPlatform ---

std::int32_t THeadlessDesktop::GetMessageW(TMsg& lpMsg) {
    if (GetMessageFailures > 0) {
        --GetMessageFailures;
        return -1;
    }
    for (;;) {
        if (!Queue.empty()) {
            lpMsg = Queue.front();
            Queue.pop_front();
            return 1;
        }
        if (QuitPosted) {
            QuitPosted = false;
            QuitSeen = true;
            lpMsg = TMsg{0, WM_QUIT, 0, 0, 0, {}};
            return 0;
        }
        if (!OnIdle || !OnIdle()) {
            lpMsg = TMsg{0, WM_QUIT, 0, 0, 0, {}};
            return 0;
        }
    }
}

std::intptr_t THeadlessDesktop::DispatchMessageW(const TMsg& lpMsg) {
    return Send(lpMsg.hwnd, lpMsg.message, lpMsg.wParam, lpMsg.lParam);
}

void THeadlessDesktop::PostQuitMessage(std::int32_t nExitCode) {
    Record(CallText("PostQuitMessage", {nExitCode}));
    QuitPosted = true;
}

std::uint32_t THeadlessDesktop::RegisterWindowMessageW(const char16_t* lpString) {
    if (std::u16string(lpString) == u"TaskbarCreated") {
        return TaskbarCreated;
    }
    // Every other name gets a number of its own in the platform's range, the same one each time.
    const auto [it, added] = FRegistered.emplace(lpString, 0xC200u + std::uint32_t(FRegistered.size()));
    return it->second;
}

bool THeadlessDesktop::ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t dwFlag) {
    MessageFilters.emplace_back(message, dwFlag);
    return true;
}

HWND_T THeadlessDesktop::CreateWindowExW(std::uint32_t dwExStyle, const char16_t* lpClassName,
                                         const char16_t* lpWindowName, std::uint32_t dwStyle, std::int32_t X,
                                         std::int32_t Y, std::int32_t nWidth, std::int32_t nHeight,
                                         HWND_T hWndParent, std::uintptr_t hMenu) {
    TWindow w;
    w.Handle = FNextHandle++;
    w.ClassName = lpClassName;
    w.Text = lpWindowName ? lpWindowName : u"";
    w.Style = dwStyle;
    w.ExStyle = dwExStyle;
    w.Parent = hWndParent;
    w.Id = hMenu;
    w.Rect = {X, Y, X + nWidth, Y + nHeight};
    w.Visible = (dwStyle & WS_VISIBLE) != 0;
    Record("CreateWindow(" + ToUtf8(w.ClassName) + ")");
    Windows[w.Handle] = std::move(w);
    return FNextHandle - 1;
}

bool THeadlessDesktop::DestroyWindow(HWND_T hWnd) {
    const bool existed = Exists(hWnd);
    DestroyWindowHandle(hWnd);
    return existed;
}

HWND_T THeadlessDesktop::SetFocus(HWND_T hWnd) {
    Record(CallText("SetFocus", {(long long)hWnd}));
    return std::exchange(Focus, hWnd);
}

bool THeadlessDesktop::SetForegroundWindow(HWND_T hWnd) {
    Record(CallText("SetForegroundWindow", {(long long)hWnd}));
    Foreground = hWnd;
    return true;
}

bool THeadlessDesktop::EnableWindow(HWND_T hWnd, bool bEnable) {
    if (!Exists(hWnd)) {
        return false;
    }
    TWindow& w = Window(hWnd);
    const bool wasDisabled = !w.Enabled;
    w.Enabled = bEnable;
    return wasDisabled;
}

bool THeadlessDesktop::IsWindowVisible(HWND_T hWnd) {
    return Exists(hWnd) && Window(hWnd).Visible;
}

bool THeadlessDesktop::AdjustWindowRectExForDpi(TRect& lpRect, std::uint32_t dwStyle, bool, std::uint32_t,
                                                std::uint32_t dpi) {
    // A 19-pixel caption and a 3-pixel frame, 4 pixels when it can be resized, at 96 DPI.
    const std::int32_t frame = std::int32_t(((dwStyle & WS_THICKFRAME) ? 4 : 3) * dpi / 96);
    const std::int32_t caption = std::int32_t(19 * dpi / 96);
    lpRect = {lpRect.Left - frame, lpRect.Top - frame - caption, lpRect.Right + frame, lpRect.Bottom + frame};
    return true;
}

std::uint32_t THeadlessDesktop::GetDpiForWindow(HWND_T hwnd) {
    return Exists(hwnd) ? Dpi : 0;
}

TRect THeadlessDesktop::TextExtent(const std::u16string& Text, std::int32_t Height, bool Bold) {
    const std::int32_t size = Height < 0 ? -Height : Height;
    std::int32_t longest = 0;
    std::int32_t lines = 1;
    std::int32_t line = 0;
    for (char16_t c : Text) {
        if (c == u'\n') {
            ++lines;
            line = 0;
        } else {
            longest = std::max(longest, ++line);
        }
    }
    const std::int32_t width = (longest * size * (Bold ? 11 : 10) + 19) / 20;
    return {0, 0, width, lines * (size + 2)};
}

HDC_T THeadlessDesktop::CreateCompatibleDC(HDC_T) {
    return MeasuringDC;
}

bool THeadlessDesktop::DeleteDC(HDC_T hdc) {
    return hdc == MeasuringDC;
}

bool THeadlessDesktop::InvalidateRect(HWND_T hWnd, const TRect*, bool) {
    Record(CallText("InvalidateRect", {(long long)hWnd}));
    return Exists(hWnd);
}

HICON_T THeadlessDesktop::LoadIconW(const char16_t* lpIconName) {
    const auto it = Icons.find(lpIconName);
    return it == Icons.end() ? 0 : it->second;
}

HICON_T THeadlessDesktop::LoadIconMetric(const char16_t* pszName, std::int32_t) {
    const HICON_T icon = LoadIconW(pszName);
    if (icon) {
        OwnedIcons.insert(icon);
    }
    return icon;
}

bool THeadlessDesktop::DestroyIcon(HICON_T hIcon) {
    const auto it = OwnedIcons.find(hIcon);
    if (it == OwnedIcons.end()) {
        return false;
    }
    OwnedIcons.erase(it);
    return true;
}

HCURSOR_T THeadlessDesktop::SetCursor(HCURSOR_T hCursor) {
    return std::exchange(CursorShape, hCursor);
}

HMENU_T THeadlessDesktop::CreatePopupMenu() {
    FMenus[FNextMenu] = {};
    return FNextMenu++;
}

bool THeadlessDesktop::AppendMenuW(HMENU_T hMenu, std::uint32_t uFlags, std::uintptr_t uIDNewItem,
                                   const char16_t* lpNewItem) {
    FMenus.at(hMenu).push_back({uFlags, uIDNewItem, lpNewItem ? lpNewItem : u""});
    return true;
}

bool THeadlessDesktop::TrackPopupMenu(HMENU_T hMenu, std::uint32_t uFlags, std::int32_t x, std::int32_t y,
                                      HWND_T hWnd) {
    Record(CallText("TrackPopupMenu", {x, y, (long long)hWnd}));
    Popups.push_back({FMenus.at(hMenu), x, y, hWnd, uFlags});
    if (MenuChoice) {
        if (const std::optional<std::u16string> choice = MenuChoice(Popups.back())) {
            for (const TMenuEntry& entry : Popups.back().Entries) {
                if (entry.Text == *choice) {
                    Queue.push_back(TMsg{hWnd, WM_COMMAND, entry.Id, 0, 0, {}});
                    return true;
                }
            }
        }
    }
    return true;
}

bool THeadlessDesktop::DestroyMenu(HMENU_T hMenu) {
    return FMenus.erase(hMenu) != 0;
}

HDC_T THeadlessDesktop::BeginPaint(HWND_T hWnd, TPaintStruct& lpPaint) {
    FPainting = hWnd;
    lpPaint.hdc = 0xDC;
    return lpPaint.hdc;
}

bool THeadlessDesktop::EndPaint(HWND_T, const TPaintStruct&) {
    FPainting = 0;
    return true;
}

HFONT_T THeadlessDesktop::CreateFontW(std::int32_t cHeight, std::int32_t cWeight, const char16_t*) {
    const HFONT_T font = FNextFont++;
    Fonts.insert(font);
    FontStyles[font] = {cHeight, cWeight};
    return font;
}

HGDIOBJ_T THeadlessDesktop::SelectObject(HDC_T, HGDIOBJ_T h) {
    return std::exchange(FSelectedFont, h);
}

bool THeadlessDesktop::DeleteObject(HGDIOBJ_T ho) {
    if (const auto it = Fonts.find(ho); it != Fonts.end()) {
        Fonts.erase(it);
    }
    return true;
}

COLORREF_T THeadlessDesktop::SetTextColor(HDC_T, COLORREF_T color) {
    return std::exchange(FTextColor, color);
}

std::int32_t THeadlessDesktop::DrawTextW(HDC_T hdc, const std::u16string& lpchText, TRect& lprc,
                                         std::uint32_t format) {
    const auto style = FontStyles.find(FSelectedFont);
    const TRect extent = style == FontStyles.end()
                             ? TRect{0, 0, 0, 0}
                             : TextExtent(lpchText, style->second.first, style->second.second >= 700);
    if (format & DT_CALCRECT) {
        if (hdc != MeasuringDC || style == FontStyles.end()) {
            return 0;
        }
        lprc.Right = lprc.Left + extent.Right;
        lprc.Bottom = lprc.Top + extent.Bottom;
        return extent.Bottom;
    }
    TextOuts.push_back({FPainting, lpchText, FTextColor, FSelectedFont, lprc});
    return extent.Bottom;
}

HPICTURE_T THeadlessDesktop::LoadPngResource(const char16_t* lpName) {
    const auto it = Pictures.find(lpName);
    if (it == Pictures.end()) {
        return 0;
    }
    LoadedPictures.insert(it->second);
    return it->second;
}

bool THeadlessDesktop::DrawPicture(HDC_T, HPICTURE_T Picture, std::int32_t, std::int32_t) {
    DrawnPictures.emplace_back(FPainting, Picture);
    return true;
}

void THeadlessDesktop::FreePicture(HPICTURE_T Picture) {
    if (const auto it = LoadedPictures.find(Picture); it != LoadedPictures.end()) {
        LoadedPictures.erase(it);
    }
}

bool THeadlessDesktop::SetAccessibleRole(HWND_T hwnd, std::uint32_t Role) {
    if (!Exists(hwnd)) {
        return false;
    }
    Window(hwnd).AccessibleRole = Role;
    return true;
}

void THeadlessDesktop::NotifyWinEvent(std::uint32_t event, HWND_T hwnd, std::int32_t idObject,
                                      std::int32_t idChild) {
    WinEvents.push_back({event, hwnd, idObject, idChild, Exists(hwnd) ? Window(hwnd).Text : u""});
}

} // namespace tarnwick::test
