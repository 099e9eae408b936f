#pragma once
// The seam of the single instance: a named object in the session's namespace that marks the running
// instance, and the calls a later start makes to hand its command line to that instance's window. Each
// method is one platform call with the platform's arguments in the platform's order.

#include <cstdint>
#include <string>

#include "platform/WindowPlatform.h"

namespace tarnwick {

using HANDLE_T = std::uintptr_t;

// COPYDATASTRUCT of the platform: what WM_COPYDATA's lParam points at.
struct TCopyDataStruct {
    std::uintptr_t dwData = 0;
    std::uint32_t cbData = 0;
    const void* lpData = nullptr;
};

class IInstancePlatform {
public:
    virtual ~IInstancePlatform() = default;

    // CreateMutexW without security attributes and without taking ownership: the handle (0 on failure),
    // and the last error right after the call (ERROR_ALREADY_EXISTS when the object existed).
    virtual HANDLE_T CreateMutexW(const char16_t* lpName, std::uint32_t& LastError) = 0;
    virtual bool CloseHandle(HANDLE_T hObject) = 0;

    // SendMessageTimeoutW with WM_COPYDATA carrying Data (its bytes, the data kind in dwData): true with the
    // window's reply in Result, or false with the last error (ERROR_TIMEOUT, or ERROR_ACCESS_DENIED when the
    // message filter of a process at a higher integrity level refused it).
    virtual bool SendCopyData(HWND_T hWnd, HWND_T Sender, std::uintptr_t Kind, const std::u16string& Data,
                              std::uint32_t fuFlags, std::uint32_t uTimeout, std::intptr_t& Result,
                              std::uint32_t& LastError) = 0;
    // The id of the process that made the window (0 when there is no such window).
    virtual std::uint32_t GetWindowThreadProcessId(HWND_T hWnd) = 0;
    virtual bool AllowSetForegroundWindow(std::uint32_t dwProcessId) = 0;
    virtual void Sleep(std::uint32_t dwMilliseconds) = 0;
    virtual std::uint32_t GetCurrentProcessId() = 0;
};

} // namespace tarnwick
