#pragma once
// The system seam: version, special folders, the program's own file name and command line, code-page
// conversion, locale settings, local time, process and thread identity, and the last error with its text.
// Each method is one platform call with the platform's arguments in the platform's order.

#include <cstdint>
#include <string>

namespace tarnwick {

// OSVERSIONINFOEXW as the platform lays it out. A caller that sets dwOSVersionInfoSize to 276 asks for the
// shorter OSVERSIONINFOW, and only the fields up to szCSDVersion are filled.
struct OSVERSIONINFOEXW {
    std::uint32_t dwOSVersionInfoSize;
    std::uint32_t dwMajorVersion;
    std::uint32_t dwMinorVersion;
    std::uint32_t dwBuildNumber;
    std::uint32_t dwPlatformId;
    char16_t szCSDVersion[128];
    std::uint16_t wServicePackMajor;
    std::uint16_t wServicePackMinor;
    std::uint16_t wSuiteMask;
    std::uint8_t wProductType;
    std::uint8_t wReserved;
};
static_assert(sizeof(OSVERSIONINFOEXW) == 284);
inline constexpr std::uint32_t OsVersionInfoSize = 276;   // sizeof(OSVERSIONINFOW)
inline constexpr std::uint32_t OsVersionInfoExSize = 284; // sizeof(OSVERSIONINFOEXW)

struct SYSTEMTIME {
    std::uint16_t wYear;
    std::uint16_t wMonth;
    std::uint16_t wDayOfWeek;
    std::uint16_t wDay;
    std::uint16_t wHour;
    std::uint16_t wMinute;
    std::uint16_t wSecond;
    std::uint16_t wMilliseconds;
};
static_assert(sizeof(SYSTEMTIME) == 16);

class ISystemPlatform {
public:
    virtual ~ISystemPlatform() = default;

    // Fills VersionInformation up to the size its first field names; false when the platform refuses it.
    // The only seam that asks the platform for its version.
    virtual bool GetVersionExW(OSVERSIONINFOEXW& VersionInformation) = 0;
    // Path must hold MAX_PATH + 1 characters.
    virtual bool SHGetSpecialFolderPathW(std::uintptr_t hwndOwner, char16_t* Path, int csidl,
                                         bool fCreate) = 0;
    // The number of characters copied without the NUL; Size when the name was cut to fit.
    virtual std::uint32_t GetModuleFileNameW(std::uintptr_t Module, char16_t* FileName,
                                             std::uint32_t Size) = 0;
    virtual std::u16string GetCommandLineW() = 0;

    // No default character and no used-default flag are ever passed.
    virtual int WideCharToMultiByte(std::uint32_t CodePage, std::uint32_t Flags, const char16_t* WideCharStr,
                                    int WideCharCount, char* MultiByteStr, int MultiByteCount) = 0;
    virtual int GetLocaleInfoW(std::uint32_t Locale, std::uint32_t LCType, char16_t* LCData,
                               int DataCount) = 0;
    virtual void GetLocalTime(SYSTEMTIME& SystemTime) = 0;

    virtual std::uint32_t GetCurrentProcessId() = 0;
    virtual std::uint32_t GetCurrentThreadId() = 0;
    // The calling thread's last error code, and the platform's message for a code (trimmed, may be empty).
    virtual std::uint32_t GetLastError() = 0;
    virtual std::u16string SysErrorMessage(std::uint32_t ErrorCode) = 0;

    // Compares two texts by the rules of a locale: CSTR_LESS_THAN (1), CSTR_EQUAL (2), CSTR_GREATER_THAN (3),
    // 0 on failure. The texts are passed with their lengths.
    virtual int CompareStringW(std::uint32_t Locale, std::uint32_t CmpFlags, const std::u16string& String1,
                               const std::u16string& String2) = 0;
    // The TokenElevation of this process's own token (OpenProcessToken with TOKEN_QUERY, then
    // GetTokenInformation): false when the token cannot be read, as before Windows Vista.
    virtual bool GetTokenElevation(bool& TokenIsElevated) = 0;
};

} // namespace tarnwick
