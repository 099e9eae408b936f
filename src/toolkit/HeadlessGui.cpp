#include "toolkit/Application.h"

namespace tarnwick {

namespace {

// No messages (the loop ends at once), no windows of its own, no menus, nothing painted or loaded.
class THeadlessGuiPlatform final : public IGuiPlatform {
public:
    std::int32_t GetMessageW(TMsg&) override { return 0; }
    bool TranslateMessage(const TMsg&) override { return false; }
    std::intptr_t DispatchMessageW(const TMsg&) override { return 0; }
    bool IsDialogMessageW(HWND_T, TMsg&) override { return false; }
    void PostQuitMessage(std::int32_t) override {}
    std::uint32_t RegisterWindowMessageW(const char16_t*) override { return 0; }
    bool ChangeWindowMessageFilter(std::uint32_t, std::uint32_t) override { return false; }
    HWND_T CreateWindowExW(std::uint32_t, const char16_t*, const char16_t*, std::uint32_t, std::int32_t,
                           std::int32_t, std::int32_t, std::int32_t, HWND_T, std::uintptr_t) override {
        return 0;
    }
    bool DestroyWindow(HWND_T) override { return false; }
    HWND_T SetFocus(HWND_T) override { return 0; }
    bool SetForegroundWindow(HWND_T) override { return false; }
    bool EnableWindow(HWND_T, bool) override { return false; }
    bool IsWindowVisible(HWND_T) override { return false; }
    bool AdjustWindowRectExForDpi(TRect&, std::uint32_t, bool, std::uint32_t, std::uint32_t) override {
        return false;
    }
    std::uint32_t GetDpiForWindow(HWND_T) override { return 96; }
    bool InvalidateRect(HWND_T, const TRect*, bool) override { return false; }
    HICON_T LoadIconW(const char16_t*) override { return 0; }
    HCURSOR_T LoadCursorW(std::uint16_t) override { return 0; }
    HCURSOR_T SetCursor(HCURSOR_T) override { return 0; }
    bool TrackMouseEvent(std::uint32_t, HWND_T) override { return false; }
    HMENU_T CreatePopupMenu() override { return 0; }
    bool AppendMenuW(HMENU_T, std::uint32_t, std::uintptr_t, const char16_t*) override { return false; }
    bool TrackPopupMenu(HMENU_T, std::uint32_t, std::int32_t, std::int32_t, HWND_T) override { return false; }
    bool DestroyMenu(HMENU_T) override { return false; }
    HDC_T BeginPaint(HWND_T, TPaintStruct&) override { return 0; }
    bool EndPaint(HWND_T, const TPaintStruct&) override { return false; }
    COLORREF_T GetSysColor(std::int32_t) override { return 0; }
    HBRUSH_T CreateSolidBrush(COLORREF_T) override { return 0; }
    std::int32_t FillRect(HDC_T, const TRect&, HBRUSH_T) override { return 0; }
    HFONT_T CreateFontW(std::int32_t, std::int32_t, const char16_t*) override { return 0; }
    HGDIOBJ_T SelectObject(HDC_T, HGDIOBJ_T) override { return 0; }
    bool DeleteObject(HGDIOBJ_T) override { return false; }
    COLORREF_T SetTextColor(HDC_T, COLORREF_T) override { return 0; }
    std::int32_t SetBkMode(HDC_T, std::int32_t) override { return 0; }
    std::int32_t DrawTextW(HDC_T, const std::u16string&, TRect&, std::uint32_t) override { return 0; }
    HDC_T CreateCompatibleDC(HDC_T) override { return 0; }
    bool DeleteDC(HDC_T) override { return false; }
    bool DrawEdge(HDC_T, TRect&, std::uint32_t, std::uint32_t) override { return false; }
    HPICTURE_T LoadPngResource(const char16_t*) override { return 0; }
    bool DrawPicture(HDC_T, HPICTURE_T, std::int32_t, std::int32_t) override { return false; }
    void FreePicture(HPICTURE_T) override {}
};

} // namespace

IGuiPlatform& HeadlessGuiPlatform() {
    static THeadlessGuiPlatform platform; // holds no state
    return platform;
}

} // namespace tarnwick
