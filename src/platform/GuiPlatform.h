#pragma once
// The seam of the rest of user32 and gdi32 that the toolkit uses beyond IWindowPlatform: the message loop,
// windows of the system's control classes, focus and activation, pop-up menus, cursors, painting, the
// program's icons and its PNG pictures. Each method is one platform call with the platform's arguments in
// the platform's order; the picture methods stand for the decoder behind them.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/WindowPlatform.h"

namespace tarnwick {

using HDC_T = std::uintptr_t;
using HGDIOBJ_T = std::uintptr_t; // a font, a brush or a bitmap
using HFONT_T = std::uintptr_t;
using HBRUSH_T = std::uintptr_t;
using HMENU_T = std::uintptr_t;
using HCURSOR_T = std::uintptr_t;
using HPICTURE_T = std::uintptr_t; // a decoded picture, ready to be drawn
using COLORREF_T = std::uint32_t;  // 0x00BBGGRR

// MSG of the platform.
struct TMsg {
    HWND_T hwnd = 0;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    std::uint32_t time = 0;
    TPoint pt{};
};

// The part of PAINTSTRUCT that painting reads.
struct TPaintStruct {
    HDC_T hdc = 0;
    bool fErase = false;
    TRect rcPaint{};
};

class IGuiPlatform {
public:
    virtual ~IGuiPlatform() = default;

    // The message loop. GetMessageW takes any window's messages: above 0 for a message, 0 for WM_QUIT,
    // -1 for an error.
    virtual std::int32_t GetMessageW(TMsg& lpMsg) = 0;
    virtual bool TranslateMessage(const TMsg& lpMsg) = 0;
    virtual std::intptr_t DispatchMessageW(const TMsg& lpMsg) = 0;
    virtual bool IsDialogMessageW(HWND_T hDlg, TMsg& lpMsg) = 0;
    virtual void PostQuitMessage(std::int32_t nExitCode) = 0;
    // 0 when the name cannot be registered.
    virtual std::uint32_t RegisterWindowMessageW(const char16_t* lpString) = 0;
    // False also where the platform has no message filter (before Windows Vista).
    virtual bool ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t dwFlag) = 0;

    // Windows of the system's classes ("Button"), made in the program's module; 0 on failure.
    virtual HWND_T CreateWindowExW(std::uint32_t dwExStyle, const char16_t* lpClassName,
                                   const char16_t* lpWindowName, std::uint32_t dwStyle, std::int32_t X,
                                   std::int32_t Y, std::int32_t nWidth, std::int32_t nHeight,
                                   HWND_T hWndParent, std::uintptr_t hMenu) = 0;
    virtual bool DestroyWindow(HWND_T hWnd) = 0;
    virtual HWND_T SetFocus(HWND_T hWnd) = 0;
    virtual bool SetForegroundWindow(HWND_T hWnd) = 0;
    virtual bool EnableWindow(HWND_T hWnd, bool bEnable) = 0;
    virtual bool IsWindowVisible(HWND_T hWnd) = 0;
    // The window size for a client area at a DPI (AdjustWindowRectExForDpi); where the system has no such
    // call (before Windows 10), AdjustWindowRectEx at the system's DPI.
    virtual bool AdjustWindowRectExForDpi(TRect& lpRect, std::uint32_t dwStyle, bool bMenu,
                                          std::uint32_t dwExStyle, std::uint32_t dpi) = 0;
    // The DPI of the monitor the window is on (GetDpiForWindow); where the system has no such call
    // (before Windows 10), the system's DPI (LOGPIXELSY of the screen).
    virtual std::uint32_t GetDpiForWindow(HWND_T hwnd) = 0;
    // Erase: whether the background is erased before painting.
    virtual bool InvalidateRect(HWND_T hWnd, const TRect* lpRect, bool bErase) = 0;

    // An icon of the program's module by resource name (LoadIconW); 0 when there is none.
    virtual HICON_T LoadIconW(const char16_t* lpIconName) = 0;
    // An icon of the program's module at the size the system asks for (LoadIconMetric): LIM_SMALL the
    // small-icon size (16 to 32 pixels by the display scale), LIM_LARGE the large one; 0 when there is
    // none. The caller owns it and gives it back with DestroyIcon.
    virtual HICON_T LoadIconMetric(const char16_t* pszName, std::int32_t lims) = 0;
    virtual bool DestroyIcon(HICON_T hIcon) = 0;
    // A system cursor by its number (LoadCursorW without a module).
    virtual HCURSOR_T LoadCursorW(std::uint16_t CursorId) = 0;
    virtual HCURSOR_T SetCursor(HCURSOR_T hCursor) = 0;
    // TrackMouseEvent with these flags for this window, no hover time.
    virtual bool TrackMouseEvent(std::uint32_t dwFlags, HWND_T hwndTrack) = 0;

    // Pop-up menus. TrackPopupMenu without TPM_RETURNCMD: the chosen item's WM_COMMAND is posted to hWnd.
    virtual HMENU_T CreatePopupMenu() = 0;
    virtual bool AppendMenuW(HMENU_T hMenu, std::uint32_t uFlags, std::uintptr_t uIDNewItem,
                             const char16_t* lpNewItem) = 0;
    virtual bool TrackPopupMenu(HMENU_T hMenu, std::uint32_t uFlags, std::int32_t x, std::int32_t y,
                                HWND_T hWnd) = 0;
    virtual bool DestroyMenu(HMENU_T hMenu) = 0;

    // Painting.
    virtual HDC_T BeginPaint(HWND_T hWnd, TPaintStruct& lpPaint) = 0;
    virtual bool EndPaint(HWND_T hWnd, const TPaintStruct& lpPaint) = 0;
    virtual COLORREF_T GetSysColor(std::int32_t nIndex) = 0;
    // SystemParametersInfoW(SPI_GETHIGHCONTRAST): whether a high-contrast theme is on (HCF_HIGHCONTRASTON).
    virtual bool GetHighContrastOn() = 0;
    virtual HBRUSH_T CreateSolidBrush(COLORREF_T color) = 0;
    virtual std::int32_t FillRect(HDC_T hDC, const TRect& lprc, HBRUSH_T hbr) = 0;
    // The other fields of the font: no width, escapement or orientation, not italic, underlined or struck
    // out, the default character set, precisions, quality and pitch.
    virtual HFONT_T CreateFontW(std::int32_t cHeight, std::int32_t cWeight, const char16_t* pszFaceName) = 0;
    virtual HGDIOBJ_T SelectObject(HDC_T hdc, HGDIOBJ_T h) = 0;
    virtual bool DeleteObject(HGDIOBJ_T ho) = 0;
    virtual COLORREF_T SetTextColor(HDC_T hdc, COLORREF_T color) = 0;
    virtual std::int32_t SetBkMode(HDC_T hdc, std::int32_t mode) = 0;
    // With DT_CALCRECT nothing is drawn: the rectangle's right and bottom edges are set to the text's extent.
    virtual std::int32_t DrawTextW(HDC_T hdc, const std::u16string& lpchText, TRect& lprc,
                                   std::uint32_t format) = 0;
    // A memory device context compatible with hdc (0: with the screen), where text is measured.
    virtual HDC_T CreateCompatibleDC(HDC_T hdc) = 0;
    virtual bool DeleteDC(HDC_T hdc) = 0;
    virtual bool DrawEdge(HDC_T hdc, TRect& qrc, std::uint32_t edge, std::uint32_t grfFlags) = 0;

    // Active Accessibility. The window answers WM_GETOBJECT for its client area (OBJID_CLIENT) with the
    // platform's standard object for it (CreateStdAccessibleObject), which gives Role as its role and the
    // window's text, read when asked, as its name; every other message goes on to its window procedure.
    // Asked again, the window answers with the new role.
    virtual bool SetAccessibleRole(HWND_T hwnd, std::uint32_t Role) = 0;
    virtual void NotifyWinEvent(std::uint32_t event, HWND_T hwnd, std::int32_t idObject,
                                std::int32_t idChild) = 0;

    // A PNG picture kept as raw data (RT_RCDATA) in the program's module, decoded with its alpha channel;
    // 0 when it is missing or cannot be decoded.
    virtual HPICTURE_T LoadPngResource(const char16_t* lpName) = 0;
    // Draws the picture at its own size with its top-left corner at (X, Y), blended over what is there.
    virtual bool DrawPicture(HDC_T hdc, HPICTURE_T Picture, std::int32_t X, std::int32_t Y) = 0;
    virtual void FreePicture(HPICTURE_T Picture) = 0;
    // The program's version resource (RT_VERSION 1, a VS_VERSIONINFO block) as stored in its module; empty
    // when it has none.
    virtual std::vector<std::uint8_t> LoadVersionResource() = 0;
};

} // namespace tarnwick
