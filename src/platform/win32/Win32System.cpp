#include "platform/win32/Win32System.h"

#include <cstddef>
#include <cstring>

#include <windows.h>
// clang-format off
#include <shlobj.h>
// clang-format on

#include "platform/win32/Win32Text.h"

namespace tarnwick::win32 {

static_assert(sizeof(::OSVERSIONINFOEXW) == sizeof(tarnwick::OSVERSIONINFOEXW));
static_assert(sizeof(::OSVERSIONINFOW) == OsVersionInfoSize);
static_assert(offsetof(::OSVERSIONINFOEXW, szCSDVersion) ==
              offsetof(tarnwick::OSVERSIONINFOEXW, szCSDVersion));
static_assert(offsetof(::OSVERSIONINFOEXW, wProductType) ==
              offsetof(tarnwick::OSVERSIONINFOEXW, wProductType));
static_assert(sizeof(::SYSTEMTIME) == sizeof(tarnwick::SYSTEMTIME));

bool TWin32SystemPlatform::GetVersionExW(OSVERSIONINFOEXW& VersionInformation) {
    // The two records share their layout up to the size the caller names in the first field.
    ::OSVERSIONINFOEXW info{};
    static_assert(sizeof info == sizeof VersionInformation);
    std::memcpy(&info, &VersionInformation, sizeof info);
    const BOOL ok = ::GetVersionExW(reinterpret_cast<::OSVERSIONINFOW*>(&info));
    std::memcpy(&VersionInformation, &info, sizeof info);
    return ok != FALSE;
}

bool TWin32SystemPlatform::SHGetSpecialFolderPathW(std::uintptr_t hwndOwner, char16_t* Path, int csidl,
                                                   bool fCreate) {
    return ::SHGetSpecialFolderPathW(reinterpret_cast<HWND>(hwndOwner), AsWide(Path), csidl, fCreate) !=
           FALSE;
}

std::uint32_t TWin32SystemPlatform::GetModuleFileNameW(std::uintptr_t Module, char16_t* FileName,
                                                       std::uint32_t Size) {
    return ::GetModuleFileNameW(reinterpret_cast<HMODULE>(Module), AsWide(FileName), Size);
}

std::u16string TWin32SystemPlatform::GetCommandLineW() {
    return FromWide(::GetCommandLineW());
}

int TWin32SystemPlatform::WideCharToMultiByte(std::uint32_t CodePage, std::uint32_t Flags,
                                              const char16_t* WideCharStr, int WideCharCount,
                                              char* MultiByteStr, int MultiByteCount) {
    return ::WideCharToMultiByte(CodePage, Flags, AsWide(WideCharStr), WideCharCount, MultiByteStr,
                                 MultiByteCount, nullptr, nullptr);
}

int TWin32SystemPlatform::GetLocaleInfoW(std::uint32_t Locale, std::uint32_t LCType, char16_t* LCData,
                                         int DataCount) {
    return ::GetLocaleInfoW(Locale, LCType, AsWide(LCData), DataCount);
}

void TWin32SystemPlatform::GetLocalTime(SYSTEMTIME& SystemTime) {
    ::SYSTEMTIME now{};
    ::GetLocalTime(&now);
    SystemTime = {now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                  now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
}

std::uint32_t TWin32SystemPlatform::GetCurrentProcessId() {
    return ::GetCurrentProcessId();
}

std::uint32_t TWin32SystemPlatform::GetCurrentThreadId() {
    return ::GetCurrentThreadId();
}

std::uint32_t TWin32SystemPlatform::GetLastError() {
    return ::GetLastError();
}

std::u16string TWin32SystemPlatform::SysErrorMessage(std::uint32_t ErrorCode) {
    return SystemErrorText(ErrorCode);
}

int TWin32SystemPlatform::CompareStringW(std::uint32_t Locale, std::uint32_t CmpFlags,
                                         const std::u16string& String1, const std::u16string& String2) {
    return ::CompareStringW(Locale, CmpFlags, AsWide(String1), static_cast<int>(String1.size()),
                            AsWide(String2), static_cast<int>(String2.size()));
}

bool TWin32SystemPlatform::GetTokenElevation(bool& TokenIsElevated) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return false;
    }
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const BOOL ok = ::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    ::CloseHandle(token);
    if (!ok) {
        return false;
    }
    TokenIsElevated = elevation.TokenIsElevated != 0;
    return true;
}

} // namespace tarnwick::win32
