#pragma once
// A headless desktop behind the toolkit's seams: windows with their class, parent, text, place,
// visibility and enabled state; activation and focus; a message queue with WM_QUIT; window-message timers
// on a clock that the test moves; pop-up menus whose choice the test makes; message boxes; painting that
// is only recorded; a taskbar at the bottom of one 1280 x 800 monitor. Everything that matters to the
// tests is kept as data, and notable calls go into one timeline that other stand-ins can write to too.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/GuiPlatform.h"
#include "platform/WindowPlatform.h"
#include "tests/unit/CallText.h"
#include "toolkit/WindowFactory.h"

namespace tarnwick::test {

class THeadlessDesktop : public IWindowPlatform, public IWindowFactory, public IGuiPlatform {
public:
    struct TWindow {
        HWND_T Handle = 0;
        std::u16string ClassName;
        std::u16string Text;
        std::uint32_t Style = 0;
        std::uint32_t ExStyle = 0;
        HWND_T Parent = 0;
        std::uintptr_t Id = 0;
        TRect Rect{};
        bool Visible = false;
        bool Enabled = true;
        bool TopMost = false;
        TWndMethod Method; // none for windows of the system's classes
        std::vector<std::pair<std::uint32_t, std::intptr_t>> Received; // messages sent to a system window
        std::map<std::uintptr_t, std::intptr_t> WindowIcons;           // WM_SETICON: kind to icon
        // The role its client answers assistive technology with (0: the platform's own answer); its name
        // is its text.
        std::uint32_t AccessibleRole = 0;
    };
    struct TMenuEntry {
        std::uint32_t Flags;
        std::uintptr_t Id;
        std::u16string Text;
    };
    struct TPopup {
        std::vector<TMenuEntry> Entries;
        std::int32_t X, Y;
        HWND_T Owner;
        std::uint32_t Flags;
    };
    struct TBox {
        HWND_T Owner;
        std::u16string Text, Caption;
        std::uint32_t Type;
    };
    struct TTimer {
        HWND_T Window;
        std::uintptr_t Id;
        std::uint32_t Interval;
        std::uint64_t Due;
    };
    // NotifyWinEvent, with the window's text when it was raised.
    struct TWinEvent {
        std::uint32_t Event;
        HWND_T Window;
        std::int32_t Object, Child;
        std::u16string TextThen;
    };
    struct TTextOut {
        HWND_T Window;
        std::u16string Text;
        COLORREF_T Color;
        HFONT_T Font;
        TRect Rect; // where it was drawn
    };

    static constexpr HWND_T TaskbarHandle = 0x7A5C;
    static constexpr HMONITOR_T MonitorHandle = 0x4D0;
    static constexpr TRect Screen{0, 0, 1280, 800};
    static constexpr TRect Taskbar{0, 770, 1280, 800};
    static constexpr std::uint32_t TaskbarCreated = 0xC1A5;

    THeadlessDesktop();

    // --- What the test sees and steers ---
    std::map<HWND_T, TWindow> Windows;
    std::vector<std::string> Timeline;
    HWND_T Active = 0;
    HWND_T Focus = 0;
    HWND_T Foreground = 0;
    TPoint Cursor{900, 785};
    std::deque<TMsg> Queue;
    bool QuitPosted = false; // WM_QUIT waits in the queue
    bool QuitSeen = false;   // the loop has taken WM_QUIT
    // Runs when the loop finds the queue empty; it returns false when the test has nothing more to do,
    // and the loop then ends (GetMessageW answers 0 as for WM_QUIT, without QuitSeen).
    std::function<bool()> OnIdle;
    // GetMessageW answers -1 (a message that could not be received) this many times before the queue.
    int GetMessageFailures = 0;
    std::vector<TPopup> Popups;
    // Picks the caption of the item to choose in a pop-up menu, or none to dismiss it.
    std::function<std::optional<std::u16string>(const TPopup&)> MenuChoice;
    std::vector<TBox> Boxes;
    // Runs while a message box is open, as its own message loop would (time may pass in it).
    std::function<void(const TBox&)> WhileBoxOpen;
    int OpenBoxes = 0;
    int MostOpenBoxes = 0;
    std::vector<TTimer> Timers;
    std::uint64_t Now = 0; // milliseconds
    std::map<std::u16string, HICON_T> Icons{
        {u"MAINICON", 0x1C0}, {u"ZTARNWICKICON", 0x1C1}, {u"ZINTERNETONICON", 0x1C2}};
    std::map<std::u16string, HPICTURE_T> Pictures{
        {u"PNG_INTERNET_ON", 0x9A1},     {u"PNG_INTERNET_OFF", 0x9A2},     {u"PNG_PRODUCT", 0x9A3},
        {u"PNG_INTERNET_ON_150", 0x9B1}, {u"PNG_INTERNET_OFF_150", 0x9B2}, {u"PNG_PRODUCT_150", 0x9B3},
        {u"PNG_INTERNET_ON_200", 0x9C1}, {u"PNG_INTERNET_OFF_200", 0x9C2}, {u"PNG_PRODUCT_200", 0x9C3}};
    std::multiset<HPICTURE_T> LoadedPictures;
    std::vector<std::uint8_t>
        VersionResource;               // what the program's RT_VERSION resource holds; none by default
    std::multiset<HICON_T> OwnedIcons; // loaded at a metric size and not destroyed yet
    std::vector<TTextOut> TextOuts;
    std::vector<TWinEvent> WinEvents;
    std::vector<std::pair<HWND_T, HPICTURE_T>> DrawnPictures;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> MessageFilters;
    std::multiset<HFONT_T> Fonts;                                        // alive
    std::map<HFONT_T, std::pair<std::int32_t, std::int32_t>> FontStyles; // height, weight
    HCURSOR_T CursorShape = 0;
    // The DPI of the monitor, which every window is on.
    std::uint32_t Dpi = 96;
    // The user's high-contrast theme is on.
    bool HighContrast = false;
    static constexpr HDC_T MeasuringDC = 0xDD;

    // The extent of text in a font of this height (negative: the character height), as this desktop
    // measures it: each character half the height wide (bold: 11/20 of it), each line the height plus 2.
    static TRect TextExtent(const std::u16string& Text, std::int32_t Height, bool Bold);

    TWindow& Window(HWND_T Handle) { return Windows.at(Handle); }
    bool Exists(HWND_T Handle) const { return Windows.count(Handle) != 0; }
    // Top-level windows of the class, and the children of a window.
    std::vector<HWND_T> WindowsOfClass(const std::u16string& ClassName) const;
    std::vector<HWND_T> Children(HWND_T Parent) const;
    // The window is shown and all its owners with it; a top-level window on the screen counts.
    bool OnScreen(HWND_T Handle) const;
    // Delivers a message now, as SendMessageW would.
    std::intptr_t Send(HWND_T Handle, std::uint32_t Msg, std::uintptr_t WParam = 0, std::intptr_t LParam = 0);
    // Posts a message to every top-level window with a method, as a broadcast would.
    void Broadcast(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam);
    // Dispatches the queued messages (not WM_QUIT) until the queue is empty.
    void Pump();
    // Moves the clock, delivering every timer tick that falls due on the way, each followed by the
    // messages it caused.
    void AdvanceTime(std::uint64_t Milliseconds);
    bool TimerRunning(HWND_T Window, std::uintptr_t Id) const;
    // A click on a push button as the platform reports it to the button's parent.
    void ClickButton(HWND_T Button);
    std::size_t Count(const std::string& Prefix) const;

    // --- IWindowPlatform ---
    HWND_T FindWindowW(const char16_t* lpClassName, const char16_t* lpWindowName) override;
    bool ShowWindow(HWND_T hWnd, std::int32_t nCmdShow) override;
    bool SetWindowPos(HWND_T hWnd, HWND_T hWndInsertAfter, std::int32_t X, std::int32_t Y, std::int32_t cx,
                      std::int32_t cy, std::uint32_t uFlags) override;
    bool GetWindowRect(HWND_T hWnd, TRect& lpRect) override;
    bool GetClientRect(HWND_T hWnd, TRect& lpRect) override;
    bool SetWindowTextW(HWND_T hWnd, const std::u16string& lpString) override;
    bool PostMessageW(HWND_T hWnd, std::uint32_t Msg, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t SendMessageW(HWND_T hWnd, std::uint32_t Msg, std::uintptr_t wParam,
                               std::intptr_t lParam) override;
    std::intptr_t DefWindowProcW(HWND_T hWnd, std::uint32_t Msg, std::uintptr_t wParam,
                                 std::intptr_t lParam) override;
    std::int32_t MessageBoxW(HWND_T hWnd, const std::u16string& lpText, const std::u16string& lpCaption,
                             std::uint32_t uType) override;
    std::uintptr_t SetTimer(HWND_T hWnd, std::uintptr_t nIDEvent, std::uint32_t uElapse) override;
    bool KillTimer(HWND_T hWnd, std::uintptr_t uIDEvent) override;
    bool GetCursorPos(TPoint& lpPoint) override;
    std::uint32_t GetTickCount() override { return static_cast<std::uint32_t>(Now); }
    HMONITOR_T MonitorFromPoint(TPoint pt, std::uint32_t dwFlags) override;
    bool GetMonitorInfoW(HMONITOR_T hMonitor, TMonitorInfo& lpmi) override;
    std::vector<HMONITOR_T> EnumDisplayMonitors() override { return {MonitorHandle}; }
    std::uint32_t GetLastError() override { return 0; }
    std::u16string SysErrorMessage(std::uint32_t) override { return u""; }

    // --- IWindowFactory ---
    HWND_T CreateWindowHandle(const TCreateParams& Params, TWndMethod Method) override;
    void DestroyWindowHandle(HWND_T Handle) override;

    // --- IGuiPlatform ---
    std::int32_t GetMessageW(TMsg& lpMsg) override;
    bool TranslateMessage(const TMsg&) override { return false; }
    std::intptr_t DispatchMessageW(const TMsg& lpMsg) override;
    bool IsDialogMessageW(HWND_T, TMsg&) override { return false; }
    void PostQuitMessage(std::int32_t nExitCode) override;
    std::uint32_t RegisterWindowMessageW(const char16_t* lpString) override;
    bool ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t dwFlag) override;
    HWND_T CreateWindowExW(std::uint32_t dwExStyle, const char16_t* lpClassName, const char16_t* lpWindowName,
                           std::uint32_t dwStyle, std::int32_t X, std::int32_t Y, std::int32_t nWidth,
                           std::int32_t nHeight, HWND_T hWndParent, std::uintptr_t hMenu) override;
    bool DestroyWindow(HWND_T hWnd) override;
    HWND_T SetFocus(HWND_T hWnd) override;
    bool SetForegroundWindow(HWND_T hWnd) override;
    bool EnableWindow(HWND_T hWnd, bool bEnable) override;
    bool IsWindowVisible(HWND_T hWnd) override;
    bool AdjustWindowRectExForDpi(TRect& lpRect, std::uint32_t dwStyle, bool bMenu, std::uint32_t dwExStyle,
                                  std::uint32_t dpi) override;
    std::uint32_t GetDpiForWindow(HWND_T hwnd) override;
    bool InvalidateRect(HWND_T hWnd, const TRect* lpRect, bool bErase) override;
    HICON_T LoadIconW(const char16_t* lpIconName) override;
    // The icons of the Icons map at the small size: the same handles, owned by the caller.
    HICON_T LoadIconMetric(const char16_t* pszName, std::int32_t lims) override;
    bool DestroyIcon(HICON_T hIcon) override;
    HCURSOR_T LoadCursorW(std::uint16_t CursorId) override { return 0xC000u + CursorId; }
    HCURSOR_T SetCursor(HCURSOR_T hCursor) override;
    bool TrackMouseEvent(std::uint32_t, HWND_T) override { return true; }
    HMENU_T CreatePopupMenu() override;
    bool AppendMenuW(HMENU_T hMenu, std::uint32_t uFlags, std::uintptr_t uIDNewItem,
                     const char16_t* lpNewItem) override;
    bool TrackPopupMenu(HMENU_T hMenu, std::uint32_t uFlags, std::int32_t x, std::int32_t y,
                        HWND_T hWnd) override;
    bool DestroyMenu(HMENU_T hMenu) override;
    HDC_T BeginPaint(HWND_T hWnd, TPaintStruct& lpPaint) override;
    bool EndPaint(HWND_T hWnd, const TPaintStruct& lpPaint) override;
    COLORREF_T GetSysColor(std::int32_t nIndex) override { return 0x00A00000u | std::uint32_t(nIndex); }
    bool GetHighContrastOn() override { return HighContrast; }
    HBRUSH_T CreateSolidBrush(COLORREF_T color) override { return 0xB0000000u | color; }
    std::int32_t FillRect(HDC_T, const TRect&, HBRUSH_T) override { return 1; }
    HFONT_T CreateFontW(std::int32_t cHeight, std::int32_t cWeight, const char16_t* pszFaceName) override;
    HGDIOBJ_T SelectObject(HDC_T hdc, HGDIOBJ_T h) override;
    bool DeleteObject(HGDIOBJ_T ho) override;
    COLORREF_T SetTextColor(HDC_T hdc, COLORREF_T color) override;
    std::int32_t SetBkMode(HDC_T, std::int32_t) override { return 1; }
    std::int32_t DrawTextW(HDC_T hdc, const std::u16string& lpchText, TRect& lprc,
                           std::uint32_t format) override;
    HDC_T CreateCompatibleDC(HDC_T hdc) override;
    bool DeleteDC(HDC_T hdc) override;
    bool DrawEdge(HDC_T, TRect&, std::uint32_t, std::uint32_t) override { return true; }
    HPICTURE_T LoadPngResource(const char16_t* lpName) override;
    bool DrawPicture(HDC_T hdc, HPICTURE_T Picture, std::int32_t X, std::int32_t Y) override;
    void FreePicture(HPICTURE_T Picture) override;
    std::vector<std::uint8_t> LoadVersionResource() override { return VersionResource; }
    bool SetAccessibleRole(HWND_T hwnd, std::uint32_t Role) override;
    void NotifyWinEvent(std::uint32_t event, HWND_T hwnd, std::int32_t idObject,
                        std::int32_t idChild) override;

private:
    void Record(std::string Entry) { Timeline.push_back(std::move(Entry)); }
    void Activate(HWND_T Handle);
    void DestroyTree(HWND_T Handle);

    HWND_T FNextHandle = 0x100;
    std::map<std::u16string, std::uint32_t> FRegistered;
    HMENU_T FNextMenu = 0x500;
    std::map<HMENU_T, std::vector<TMenuEntry>> FMenus;
    HFONT_T FNextFont = 0xF00;
    // The window being painted and the state of its device context.
    HWND_T FPainting = 0;
    HFONT_T FSelectedFont = 0;
    COLORREF_T FTextColor = 0;
};

} // namespace tarnwick::test
