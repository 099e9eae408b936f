#include "platform/win32/Win32Gui.h"

#include <windows.h>
// clang-format off
#include <commctrl.h>
// clang-format on

#include "platform/win32/Win32Accessible.h"
#include "platform/win32/Win32Text.h"

namespace tarnwick::win32 {

namespace {

HWND AsHwnd(HWND_T h) {
    return reinterpret_cast<HWND>(h);
}
HDC AsHdc(HDC_T h) {
    return reinterpret_cast<HDC>(h);
}
template <class T> std::uintptr_t Handle(T h) {
    return reinterpret_cast<std::uintptr_t>(h);
}
RECT ToRect(const TRect& r) {
    return RECT{r.Left, r.Top, r.Right, r.Bottom};
}
TRect FromRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}
MSG ToMsg(const TMsg& m) {
    MSG msg{};
    msg.hwnd = AsHwnd(m.hwnd);
    msg.message = m.message;
    msg.wParam = m.wParam;
    msg.lParam = m.lParam;
    msg.time = m.time;
    msg.pt = POINT{m.pt.X, m.pt.Y};
    return msg;
}
TMsg FromMsg(const MSG& msg) {
    return {Handle(msg.hwnd), msg.message, msg.wParam, msg.lParam, msg.time, {msg.pt.x, msg.pt.y}};
}
// A function of user32 that older versions of Windows lack, looked up by name; null where it is missing.
void* User32Function(const char* Name) {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<void*>(::GetProcAddress(user32, Name)) : nullptr;
}

} // namespace

std::int32_t TWin32GuiPlatform::GetMessageW(TMsg& lpMsg) {
    MSG msg{};
    const BOOL result = ::GetMessageW(&msg, nullptr, 0, 0);
    lpMsg = FromMsg(msg);
    return result;
}

bool TWin32GuiPlatform::TranslateMessage(const TMsg& lpMsg) {
    const MSG msg = ToMsg(lpMsg);
    return ::TranslateMessage(&msg) != FALSE;
}

std::intptr_t TWin32GuiPlatform::DispatchMessageW(const TMsg& lpMsg) {
    const MSG msg = ToMsg(lpMsg);
    return ::DispatchMessageW(&msg);
}

bool TWin32GuiPlatform::IsDialogMessageW(HWND_T hDlg, TMsg& lpMsg) {
    MSG msg = ToMsg(lpMsg);
    const BOOL result = ::IsDialogMessageW(AsHwnd(hDlg), &msg);
    lpMsg = FromMsg(msg);
    return result != FALSE;
}

void TWin32GuiPlatform::PostQuitMessage(std::int32_t nExitCode) {
    ::PostQuitMessage(nExitCode);
}

std::uint32_t TWin32GuiPlatform::RegisterWindowMessageW(const char16_t* lpString) {
    return ::RegisterWindowMessageW(AsWide(lpString));
}

bool TWin32GuiPlatform::ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t dwFlag) {
    // Windows before Vista has no message filter and no such function.
    using TChangeWindowMessageFilter = BOOL(WINAPI*)(UINT, DWORD);
    const auto proc =
        reinterpret_cast<TChangeWindowMessageFilter>(User32Function("ChangeWindowMessageFilter"));
    return proc && proc(message, dwFlag) != FALSE;
}

void TWin32GuiPlatform::LoadCommonControls() noexcept {
    if (FCommonControlsLoaded) {
        return;
    }
    FCommonControlsLoaded = true;
    // By name through the manifest's activation context, which names version 6.
    const HMODULE library = ::LoadLibraryW(L"comctl32.dll");
    using TInit = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = library ? reinterpret_cast<TInit>(reinterpret_cast<void*>(
                                    ::GetProcAddress(library, "InitCommonControlsEx")))
                              : nullptr;
    if (init) {
        // The push button's classes.
        const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
        init(&controls);
    }
}

HWND_T TWin32GuiPlatform::CreateWindowExW(std::uint32_t dwExStyle, const char16_t* lpClassName,
                                          const char16_t* lpWindowName, std::uint32_t dwStyle, std::int32_t X,
                                          std::int32_t Y, std::int32_t nWidth, std::int32_t nHeight,
                                          HWND_T hWndParent, std::uintptr_t hMenu) {
    LoadCommonControls(); // the windows made here are of the system's classes
    return Handle(::CreateWindowExW(dwExStyle, AsWide(lpClassName), AsWide(lpWindowName), dwStyle, X, Y,
                                    nWidth, nHeight, AsHwnd(hWndParent), reinterpret_cast<HMENU>(hMenu),
                                    reinterpret_cast<HINSTANCE>(FModule), nullptr));
}

bool TWin32GuiPlatform::DestroyWindow(HWND_T hWnd) {
    return ::DestroyWindow(AsHwnd(hWnd)) != FALSE;
}

HWND_T TWin32GuiPlatform::SetFocus(HWND_T hWnd) {
    return Handle(::SetFocus(AsHwnd(hWnd)));
}

bool TWin32GuiPlatform::SetForegroundWindow(HWND_T hWnd) {
    return ::SetForegroundWindow(AsHwnd(hWnd)) != FALSE;
}

bool TWin32GuiPlatform::EnableWindow(HWND_T hWnd, bool bEnable) {
    return ::EnableWindow(AsHwnd(hWnd), bEnable) != FALSE;
}

bool TWin32GuiPlatform::IsWindowVisible(HWND_T hWnd) {
    return ::IsWindowVisible(AsHwnd(hWnd)) != FALSE;
}

bool TWin32GuiPlatform::AdjustWindowRectExForDpi(TRect& lpRect, std::uint32_t dwStyle, bool bMenu,
                                                 std::uint32_t dwExStyle, std::uint32_t dpi) {
    using TAdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi =
        reinterpret_cast<TAdjustForDpi>(User32Function("AdjustWindowRectExForDpi"));
    RECT r = ToRect(lpRect);
    const BOOL done = adjustForDpi ? adjustForDpi(&r, dwStyle, bMenu, dwExStyle, dpi)
                                   : ::AdjustWindowRectEx(&r, dwStyle, bMenu, dwExStyle);
    if (!done) {
        return false;
    }
    lpRect = FromRect(r);
    return true;
}

std::uint32_t TWin32GuiPlatform::GetDpiForWindow(HWND_T hwnd) {
    using TGetDpiForWindow = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<TGetDpiForWindow>(User32Function("GetDpiForWindow"));
    if (getDpiForWindow) {
        return getDpiForWindow(AsHwnd(hwnd));
    }
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return static_cast<std::uint32_t>(dpi);
}

bool TWin32GuiPlatform::InvalidateRect(HWND_T hWnd, const TRect* lpRect, bool bErase) {
    RECT r{};
    if (lpRect) {
        r = ToRect(*lpRect);
    }
    return ::InvalidateRect(AsHwnd(hWnd), lpRect ? &r : nullptr, bErase) != FALSE;
}

HICON_T TWin32GuiPlatform::LoadIconW(const char16_t* lpIconName) {
    return Handle(::LoadIconW(reinterpret_cast<HINSTANCE>(FModule), AsWide(lpIconName)));
}

HICON_T TWin32GuiPlatform::LoadIconMetric(const char16_t* pszName, std::int32_t lims) {
    // What LoadIconMetric does, without loading Common Controls for it at start: the icon at the small or
    // large icon size, owned by the caller. The program's icons come at every size it asks for.
    if (lims != LIM_SMALL && lims != LIM_LARGE) {
        return 0;
    }
    const bool small = lims == LIM_SMALL;
    const int width = ::GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    const int height = ::GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON);
    return Handle(::LoadImageW(reinterpret_cast<HINSTANCE>(FModule), AsWide(pszName), IMAGE_ICON, width,
                               height, LR_DEFAULTCOLOR));
}

bool TWin32GuiPlatform::DestroyIcon(HICON_T hIcon) {
    return ::DestroyIcon(reinterpret_cast<HICON>(hIcon)) != FALSE;
}

HCURSOR_T TWin32GuiPlatform::LoadCursorW(std::uint16_t CursorId) {
    return Handle(::LoadCursorW(nullptr, MAKEINTRESOURCEW(CursorId)));
}

HCURSOR_T TWin32GuiPlatform::SetCursor(HCURSOR_T hCursor) {
    return Handle(::SetCursor(reinterpret_cast<HCURSOR>(hCursor)));
}

bool TWin32GuiPlatform::TrackMouseEvent(std::uint32_t dwFlags, HWND_T hwndTrack) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = dwFlags;
    track.hwndTrack = AsHwnd(hwndTrack);
    track.dwHoverTime = HOVER_DEFAULT;
    return ::TrackMouseEvent(&track) != FALSE;
}

HMENU_T TWin32GuiPlatform::CreatePopupMenu() {
    return Handle(::CreatePopupMenu());
}

bool TWin32GuiPlatform::AppendMenuW(HMENU_T hMenu, std::uint32_t uFlags, std::uintptr_t uIDNewItem,
                                    const char16_t* lpNewItem) {
    return ::AppendMenuW(reinterpret_cast<HMENU>(hMenu), uFlags, uIDNewItem, AsWide(lpNewItem)) != FALSE;
}

bool TWin32GuiPlatform::TrackPopupMenu(HMENU_T hMenu, std::uint32_t uFlags, std::int32_t x, std::int32_t y,
                                       HWND_T hWnd) {
    return ::TrackPopupMenu(reinterpret_cast<HMENU>(hMenu), uFlags, x, y, 0, AsHwnd(hWnd), nullptr) != FALSE;
}

bool TWin32GuiPlatform::DestroyMenu(HMENU_T hMenu) {
    return ::DestroyMenu(reinterpret_cast<HMENU>(hMenu)) != FALSE;
}

HDC_T TWin32GuiPlatform::BeginPaint(HWND_T hWnd, TPaintStruct& lpPaint) {
    PAINTSTRUCT paint{};
    const HDC dc = ::BeginPaint(AsHwnd(hWnd), &paint);
    lpPaint.hdc = Handle(paint.hdc);
    lpPaint.fErase = paint.fErase != FALSE;
    lpPaint.rcPaint = FromRect(paint.rcPaint);
    return Handle(dc);
}

bool TWin32GuiPlatform::EndPaint(HWND_T hWnd, const TPaintStruct& lpPaint) {
    // EndPaint reads only the device context of the structure.
    PAINTSTRUCT paint{};
    paint.hdc = AsHdc(lpPaint.hdc);
    paint.fErase = lpPaint.fErase;
    paint.rcPaint = ToRect(lpPaint.rcPaint);
    return ::EndPaint(AsHwnd(hWnd), &paint) != FALSE;
}

COLORREF_T TWin32GuiPlatform::GetSysColor(std::int32_t nIndex) {
    return ::GetSysColor(nIndex);
}

bool TWin32GuiPlatform::GetHighContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

bool TWin32GuiPlatform::SetAccessibleRole(HWND_T hwnd, std::uint32_t Role) {
    return AnswerAccessibleRole(AsHwnd(hwnd), Role, FCom);
}

void TWin32GuiPlatform::NotifyWinEvent(std::uint32_t event, HWND_T hwnd, std::int32_t idObject,
                                       std::int32_t idChild) {
    ::NotifyWinEvent(event, AsHwnd(hwnd), idObject, idChild);
}

HBRUSH_T TWin32GuiPlatform::CreateSolidBrush(COLORREF_T color) {
    return Handle(::CreateSolidBrush(color));
}

std::int32_t TWin32GuiPlatform::FillRect(HDC_T hDC, const TRect& lprc, HBRUSH_T hbr) {
    const RECT r = ToRect(lprc);
    return ::FillRect(AsHdc(hDC), &r, reinterpret_cast<HBRUSH>(hbr));
}

HFONT_T TWin32GuiPlatform::CreateFontW(std::int32_t cHeight, std::int32_t cWeight,
                                       const char16_t* pszFaceName) {
    return Handle(::CreateFontW(cHeight, 0, 0, 0, cWeight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, AsWide(pszFaceName)));
}

HGDIOBJ_T TWin32GuiPlatform::SelectObject(HDC_T hdc, HGDIOBJ_T h) {
    return Handle(::SelectObject(AsHdc(hdc), reinterpret_cast<HGDIOBJ>(h)));
}

bool TWin32GuiPlatform::DeleteObject(HGDIOBJ_T ho) {
    return ::DeleteObject(reinterpret_cast<HGDIOBJ>(ho)) != FALSE;
}

COLORREF_T TWin32GuiPlatform::SetTextColor(HDC_T hdc, COLORREF_T color) {
    return ::SetTextColor(AsHdc(hdc), color);
}

std::int32_t TWin32GuiPlatform::SetBkMode(HDC_T hdc, std::int32_t mode) {
    return ::SetBkMode(AsHdc(hdc), mode);
}

std::int32_t TWin32GuiPlatform::DrawTextW(HDC_T hdc, const std::u16string& lpchText, TRect& lprc,
                                          std::uint32_t format) {
    RECT r = ToRect(lprc);
    const int result =
        ::DrawTextW(AsHdc(hdc), AsWide(lpchText), static_cast<int>(lpchText.size()), &r, format);
    lprc = FromRect(r);
    return result;
}

HDC_T TWin32GuiPlatform::CreateCompatibleDC(HDC_T hdc) {
    return Handle(::CreateCompatibleDC(AsHdc(hdc)));
}

bool TWin32GuiPlatform::DeleteDC(HDC_T hdc) {
    return ::DeleteDC(AsHdc(hdc)) != FALSE;
}

bool TWin32GuiPlatform::DrawEdge(HDC_T hdc, TRect& qrc, std::uint32_t edge, std::uint32_t grfFlags) {
    RECT r = ToRect(qrc);
    const BOOL result = ::DrawEdge(AsHdc(hdc), &r, edge, grfFlags);
    qrc = FromRect(r);
    return result != FALSE;
}

} // namespace tarnwick::win32
