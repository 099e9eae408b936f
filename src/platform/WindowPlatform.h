#pragma once
// The window-manager seam: the user32 calls the tray, the timer, the taskbar geometry and the toolkit make.
// Each method is one platform call with the platform's arguments in the platform's order, so that a test
// sees exactly the calls the logic makes.

#include <cstdint>
#include <string>
#include <vector>

#include "core/Rect.h"

namespace tarnwick {

using HWND_T = std::uintptr_t;
using HICON_T = std::uintptr_t;
using HMONITOR_T = std::uintptr_t;

// HWND_TOPMOST of the platform, ((HWND)-1) (named apart, since <windows.h> defines the name as a macro).
inline constexpr HWND_T HwndTopMost = ~HWND_T(0);
// HWND_MESSAGE of the platform, ((HWND)-3): the parent of a window that only receives messages.
inline constexpr HWND_T HwndMessage = ~HWND_T(0) - 2;

// POINT of the platform: signed 32-bit screen coordinates (TRect is its RECT).
struct TPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// MONITORINFO without its size field: the adapter fills that in.
struct TMonitorInfo {
    TRect rcMonitor{};
    TRect rcWork{};
    std::uint32_t dwFlags = 0;
};

class IWindowPlatform {
public:
    virtual ~IWindowPlatform() = default;

    // Windows and their placement.
    virtual HWND_T FindWindowW(const char16_t* lpClassName, const char16_t* lpWindowName) = 0;
    virtual bool ShowWindow(HWND_T hWnd, std::int32_t nCmdShow) = 0;
    virtual bool SetWindowPos(HWND_T hWnd, HWND_T hWndInsertAfter, std::int32_t X, std::int32_t Y,
                              std::int32_t cx, std::int32_t cy, std::uint32_t uFlags) = 0;
    virtual bool GetWindowRect(HWND_T hWnd, TRect& lpRect) = 0;
    virtual bool GetClientRect(HWND_T hWnd, TRect& lpRect) = 0;
    virtual bool SetWindowTextW(HWND_T hWnd, const std::u16string& lpString) = 0;

    // Messages.
    virtual bool PostMessageW(HWND_T hWnd, std::uint32_t Msg, std::uintptr_t wParam,
                              std::intptr_t lParam) = 0;
    virtual std::intptr_t SendMessageW(HWND_T hWnd, std::uint32_t Msg, std::uintptr_t wParam,
                                       std::intptr_t lParam) = 0;
    virtual std::intptr_t DefWindowProcW(HWND_T hWnd, std::uint32_t Msg, std::uintptr_t wParam,
                                         std::intptr_t lParam) = 0;
    virtual std::int32_t MessageBoxW(HWND_T hWnd, const std::u16string& lpText,
                                     const std::u16string& lpCaption, std::uint32_t uType) = 0;

    // Window-message timers, without a callback: the window receives WM_TIMER.
    virtual std::uintptr_t SetTimer(HWND_T hWnd, std::uintptr_t nIDEvent, std::uint32_t uElapse) = 0;
    virtual bool KillTimer(HWND_T hWnd, std::uintptr_t uIDEvent) = 0;

    // Cursor and clock.
    virtual bool GetCursorPos(TPoint& lpPoint) = 0;
    virtual std::uint32_t GetTickCount() = 0;

    // Monitors and their work areas.
    virtual HMONITOR_T MonitorFromPoint(TPoint pt, std::uint32_t dwFlags) = 0;
    virtual bool GetMonitorInfoW(HMONITOR_T hMonitor, TMonitorInfo& lpmi) = 0;
    // EnumDisplayMonitors over the whole virtual screen: the monitors in the platform's order.
    virtual std::vector<HMONITOR_T> EnumDisplayMonitors() = 0;

    // The error the last window call left, and the system's text for an error code.
    virtual std::uint32_t GetLastError() = 0;
    virtual std::u16string SysErrorMessage(std::uint32_t ErrorCode) = 0;
};

} // namespace tarnwick
