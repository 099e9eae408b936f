#include "platform/win32/Win32Windows.h"

#include "platform/win32/Win32Text.h"

namespace tarnwick::win32 {

namespace {
HWND AsHwnd(HWND_T h) {
    return reinterpret_cast<HWND>(h);
}
HWND_T FromHwnd(HWND h) {
    return reinterpret_cast<HWND_T>(h);
}
TRect FromRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}
} // namespace

HWND_T TWin32WindowPlatform::FindWindowW(const char16_t* lpClassName, const char16_t* lpWindowName) {
    return FromHwnd(::FindWindowW(AsWide(lpClassName), AsWide(lpWindowName)));
}

bool TWin32WindowPlatform::ShowWindow(HWND_T hWnd, std::int32_t nCmdShow) {
    return ::ShowWindow(AsHwnd(hWnd), nCmdShow) != FALSE;
}

bool TWin32WindowPlatform::SetWindowPos(HWND_T hWnd, HWND_T hWndInsertAfter, std::int32_t X, std::int32_t Y,
                                        std::int32_t cx, std::int32_t cy, std::uint32_t uFlags) {
    return ::SetWindowPos(AsHwnd(hWnd), AsHwnd(hWndInsertAfter), X, Y, cx, cy, uFlags) != FALSE;
}

bool TWin32WindowPlatform::GetWindowRect(HWND_T hWnd, TRect& lpRect) {
    RECT r{};
    if (!::GetWindowRect(AsHwnd(hWnd), &r)) {
        return false;
    }
    lpRect = FromRect(r);
    return true;
}

bool TWin32WindowPlatform::GetClientRect(HWND_T hWnd, TRect& lpRect) {
    RECT r{};
    if (!::GetClientRect(AsHwnd(hWnd), &r)) {
        return false;
    }
    lpRect = FromRect(r);
    return true;
}

bool TWin32WindowPlatform::SetWindowTextW(HWND_T hWnd, const std::u16string& lpString) {
    return ::SetWindowTextW(AsHwnd(hWnd), AsWide(lpString)) != FALSE;
}

bool TWin32WindowPlatform::PostMessageW(HWND_T hWnd, std::uint32_t Msg, std::uintptr_t wParam,
                                        std::intptr_t lParam) {
    return ::PostMessageW(AsHwnd(hWnd), Msg, wParam, lParam) != FALSE;
}

std::intptr_t TWin32WindowPlatform::SendMessageW(HWND_T hWnd, std::uint32_t Msg, std::uintptr_t wParam,
                                                 std::intptr_t lParam) {
    return ::SendMessageW(AsHwnd(hWnd), Msg, wParam, lParam);
}

std::intptr_t TWin32WindowPlatform::DefWindowProcW(HWND_T hWnd, std::uint32_t Msg, std::uintptr_t wParam,
                                                   std::intptr_t lParam) {
    return ::DefWindowProcW(AsHwnd(hWnd), Msg, wParam, lParam);
}

std::int32_t TWin32WindowPlatform::MessageBoxW(HWND_T hWnd, const std::u16string& lpText,
                                               const std::u16string& lpCaption, std::uint32_t uType) {
    return ::MessageBoxW(AsHwnd(hWnd), AsWide(lpText), AsWide(lpCaption), uType);
}

std::uintptr_t TWin32WindowPlatform::SetTimer(HWND_T hWnd, std::uintptr_t nIDEvent, std::uint32_t uElapse) {
    return ::SetTimer(AsHwnd(hWnd), nIDEvent, uElapse, nullptr);
}

bool TWin32WindowPlatform::KillTimer(HWND_T hWnd, std::uintptr_t uIDEvent) {
    return ::KillTimer(AsHwnd(hWnd), uIDEvent) != FALSE;
}

bool TWin32WindowPlatform::GetCursorPos(TPoint& lpPoint) {
    POINT p{};
    if (!::GetCursorPos(&p)) {
        return false;
    }
    lpPoint = {p.x, p.y};
    return true;
}

std::uint32_t TWin32WindowPlatform::GetTickCount() {
    return ::GetTickCount();
}

HMONITOR_T TWin32WindowPlatform::MonitorFromPoint(TPoint pt, std::uint32_t dwFlags) {
    return reinterpret_cast<HMONITOR_T>(::MonitorFromPoint(POINT{pt.X, pt.Y}, dwFlags));
}

bool TWin32WindowPlatform::GetMonitorInfoW(HMONITOR_T hMonitor, TMonitorInfo& lpmi) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(reinterpret_cast<HMONITOR>(hMonitor), &info)) {
        return false;
    }
    lpmi.rcMonitor = FromRect(info.rcMonitor);
    lpmi.rcWork = FromRect(info.rcWork);
    lpmi.dwFlags = info.dwFlags;
    return true;
}

std::vector<HMONITOR_T> TWin32WindowPlatform::EnumDisplayMonitors() {
    std::vector<HMONITOR_T> monitors;
    ::EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            reinterpret_cast<std::vector<HMONITOR_T>*>(data)->push_back(
                reinterpret_cast<HMONITOR_T>(monitor));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

std::uint32_t TWin32WindowPlatform::GetLastError() {
    return ::GetLastError();
}

std::u16string TWin32WindowPlatform::SysErrorMessage(std::uint32_t ErrorCode) {
    return SystemErrorText(ErrorCode);
}

} // namespace tarnwick::win32
