#pragma once
// The single-instance seam and the wall clock on Windows.

#include "platform/ClockPlatform.h"
#include "platform/InstancePlatform.h"

namespace tarnwick::win32 {

class TWin32InstancePlatform final : public IInstancePlatform {
public:
    HANDLE_T CreateMutexW(const char16_t* lpName, std::uint32_t& LastError) override;
    bool CloseHandle(HANDLE_T hObject) override;
    bool SendCopyData(HWND_T hWnd, HWND_T Sender, std::uintptr_t Kind, const std::u16string& Data,
                      std::uint32_t fuFlags, std::uint32_t uTimeout, std::intptr_t& Result,
                      std::uint32_t& LastError) override;
    std::uint32_t GetWindowThreadProcessId(HWND_T hWnd) override;
    bool AllowSetForegroundWindow(std::uint32_t dwProcessId) override;
    void Sleep(std::uint32_t dwMilliseconds) override;
    std::uint32_t GetCurrentProcessId() override;
};

class TWin32ClockPlatform final : public IClockPlatform {
public:
    TFileTime GetSystemTimeAsFileTime() override;
    bool UtcToLocalTime(TFileTime Utc, SYSTEMTIME& Local) override;
    int GetTimeFormatW(std::uint32_t Locale, std::uint32_t Flags, const SYSTEMTIME& Time, char16_t* TimeStr,
                       int Size) override;
};

} // namespace tarnwick::win32
