#include "platform/win32/Win32Instance.h"

#include <cstring>

#include <cstddef>

#include <windows.h>

static_assert(sizeof(tarnwick::TCopyDataStruct) == sizeof(COPYDATASTRUCT));
static_assert(offsetof(tarnwick::TCopyDataStruct, cbData) == offsetof(COPYDATASTRUCT, cbData));
static_assert(offsetof(tarnwick::TCopyDataStruct, lpData) == offsetof(COPYDATASTRUCT, lpData));

namespace tarnwick::win32 {

HANDLE_T TWin32InstancePlatform::CreateMutexW(const char16_t* lpName, std::uint32_t& LastError) {
    HANDLE handle = ::CreateMutexW(nullptr, FALSE, reinterpret_cast<const wchar_t*>(lpName));
    LastError = ::GetLastError();
    return reinterpret_cast<HANDLE_T>(handle);
}

bool TWin32InstancePlatform::CloseHandle(HANDLE_T hObject) {
    return ::CloseHandle(reinterpret_cast<HANDLE>(hObject)) != FALSE;
}

bool TWin32InstancePlatform::SendCopyData(HWND_T hWnd, HWND_T Sender, std::uintptr_t Kind,
                                          const std::u16string& Data, std::uint32_t fuFlags,
                                          std::uint32_t uTimeout, std::intptr_t& Result,
                                          std::uint32_t& LastError) {
    COPYDATASTRUCT data{.dwData = Kind,
                        .cbData = static_cast<DWORD>(Data.size() * sizeof(char16_t)),
                        .lpData = const_cast<char16_t*>(Data.data())};
    DWORD_PTR reply = 0;
    ::SetLastError(0);
    const LRESULT sent = ::SendMessageTimeoutW(reinterpret_cast<HWND>(hWnd), WM_COPYDATA, Sender,
                                               reinterpret_cast<LPARAM>(&data), fuFlags, uTimeout, &reply);
    LastError = ::GetLastError();
    Result = static_cast<std::intptr_t>(reply);
    return sent != 0;
}

std::uint32_t TWin32InstancePlatform::GetWindowThreadProcessId(HWND_T hWnd) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(reinterpret_cast<HWND>(hWnd), &process);
    return process;
}

bool TWin32InstancePlatform::AllowSetForegroundWindow(std::uint32_t dwProcessId) {
    return ::AllowSetForegroundWindow(dwProcessId) != FALSE;
}

void TWin32InstancePlatform::Sleep(std::uint32_t dwMilliseconds) {
    ::Sleep(dwMilliseconds);
}

std::uint32_t TWin32InstancePlatform::GetCurrentProcessId() {
    return ::GetCurrentProcessId();
}

TFileTime TWin32ClockPlatform::GetSystemTimeAsFileTime() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return (TFileTime(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

bool TWin32ClockPlatform::UtcToLocalTime(TFileTime Utc, tarnwick::SYSTEMTIME& Local) {
    const FILETIME utc{static_cast<DWORD>(Utc & 0xFFFFFFFFu), static_cast<DWORD>(Utc >> 32)};
    ::SYSTEMTIME universal{};
    ::SYSTEMTIME local{};
    if (!::FileTimeToSystemTime(&utc, &universal) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
        return false;
    }
    static_assert(sizeof local == sizeof Local);
    std::memcpy(&Local, &local, sizeof local);
    return true;
}

int TWin32ClockPlatform::GetTimeFormatW(std::uint32_t Locale, std::uint32_t Flags,
                                        const tarnwick::SYSTEMTIME& Time, char16_t* TimeStr, int Size) {
    ::SYSTEMTIME time{};
    std::memcpy(&time, &Time, sizeof time);
    return ::GetTimeFormatW(Locale, Flags, &time, nullptr, reinterpret_cast<wchar_t*>(TimeStr), Size);
}

} // namespace tarnwick::win32
