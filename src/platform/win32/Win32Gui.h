#pragma once
// The toolkit's GUI seam on Windows: user32 and gdi32 one call at a time, and PNG pictures decoded with the
// Windows Imaging Component into 32-bit bitmaps with premultiplied alpha (in a COM apartment the adapter
// enters at the first picture).

#include "platform/GuiPlatform.h"
#include "platform/win32/Win32ComApartment.h"

namespace tarnwick::win32 {

class TWin32GuiPlatform final : public IGuiPlatform {
public:
    // Module: the program's module (HINSTANCE), where the icons, pictures and windows belong.
    explicit TWin32GuiPlatform(std::uintptr_t Module) : FModule(Module) {}

    std::int32_t GetMessageW(TMsg& lpMsg) override;
    bool TranslateMessage(const TMsg& lpMsg) override;
    std::intptr_t DispatchMessageW(const TMsg& lpMsg) override;
    bool IsDialogMessageW(HWND_T hDlg, TMsg& lpMsg) override;
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
    HICON_T LoadIconMetric(const char16_t* pszName, std::int32_t lims) override;
    bool DestroyIcon(HICON_T hIcon) override;
    HCURSOR_T LoadCursorW(std::uint16_t CursorId) override;
    HCURSOR_T SetCursor(HCURSOR_T hCursor) override;
    bool TrackMouseEvent(std::uint32_t dwFlags, HWND_T hwndTrack) override;

    HMENU_T CreatePopupMenu() override;
    bool AppendMenuW(HMENU_T hMenu, std::uint32_t uFlags, std::uintptr_t uIDNewItem,
                     const char16_t* lpNewItem) override;
    bool TrackPopupMenu(HMENU_T hMenu, std::uint32_t uFlags, std::int32_t x, std::int32_t y,
                        HWND_T hWnd) override;
    bool DestroyMenu(HMENU_T hMenu) override;

    HDC_T BeginPaint(HWND_T hWnd, TPaintStruct& lpPaint) override;
    bool EndPaint(HWND_T hWnd, const TPaintStruct& lpPaint) override;
    COLORREF_T GetSysColor(std::int32_t nIndex) override;
    bool GetHighContrastOn() override;
    HBRUSH_T CreateSolidBrush(COLORREF_T color) override;
    std::int32_t FillRect(HDC_T hDC, const TRect& lprc, HBRUSH_T hbr) override;
    HFONT_T CreateFontW(std::int32_t cHeight, std::int32_t cWeight, const char16_t* pszFaceName) override;
    HGDIOBJ_T SelectObject(HDC_T hdc, HGDIOBJ_T h) override;
    bool DeleteObject(HGDIOBJ_T ho) override;
    COLORREF_T SetTextColor(HDC_T hdc, COLORREF_T color) override;
    std::int32_t SetBkMode(HDC_T hdc, std::int32_t mode) override;
    std::int32_t DrawTextW(HDC_T hdc, const std::u16string& lpchText, TRect& lprc,
                           std::uint32_t format) override;
    HDC_T CreateCompatibleDC(HDC_T hdc) override;
    bool DeleteDC(HDC_T hdc) override;
    bool DrawEdge(HDC_T hdc, TRect& qrc, std::uint32_t edge, std::uint32_t grfFlags) override;

    bool SetAccessibleRole(HWND_T hwnd, std::uint32_t Role) override;
    void NotifyWinEvent(std::uint32_t event, HWND_T hwnd, std::int32_t idObject,
                        std::int32_t idChild) override;

    HPICTURE_T LoadPngResource(const char16_t* lpName) override;
    bool DrawPicture(HDC_T hdc, HPICTURE_T Picture, std::int32_t X, std::int32_t Y) override;
    void FreePicture(HPICTURE_T Picture) override;
    std::vector<std::uint8_t> LoadVersionResource() override;

private:
    // Common Controls 6 (the manifest asks for it) is loaded when the first window of one of its classes is
    // made, not at start: a program resting in the tray never needs it, and under Wine it brings its
    // theme's pictures, some 1.7 MB. Once loaded it stays, as the windows of its classes need it.
    void LoadCommonControls() noexcept;

    std::uintptr_t FModule;
    bool FCommonControlsLoaded = false;
    // For the picture decoder and the accessible objects, entered when a picture is first decoded or an
    // object is first asked for.
    TComApartment FCom;
};

} // namespace tarnwick::win32
