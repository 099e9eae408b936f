#pragma once
// The window-manager seam on Windows.

#include "platform/WindowPlatform.h"

namespace tarnwick::win32 {

class TWin32WindowPlatform final : public IWindowPlatform {
public:
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
    std::uint32_t GetTickCount() override;
    HMONITOR_T MonitorFromPoint(TPoint pt, std::uint32_t dwFlags) override;
    bool GetMonitorInfoW(HMONITOR_T hMonitor, TMonitorInfo& lpmi) override;
    std::vector<HMONITOR_T> EnumDisplayMonitors() override;
    std::uint32_t GetLastError() override;
    std::u16string SysErrorMessage(std::uint32_t ErrorCode) override;
};

} // namespace tarnwick::win32
