#pragma once
// The system seam on Windows.

#include "platform/SystemPlatform.h"

namespace tarnwick::win32 {

class TWin32SystemPlatform final : public ISystemPlatform {
public:
    bool GetVersionExW(OSVERSIONINFOEXW& VersionInformation) override;
    bool SHGetSpecialFolderPathW(std::uintptr_t hwndOwner, char16_t* Path, int csidl, bool fCreate) override;
    std::uint32_t GetModuleFileNameW(std::uintptr_t Module, char16_t* FileName, std::uint32_t Size) override;
    std::u16string GetCommandLineW() override;
    int WideCharToMultiByte(std::uint32_t CodePage, std::uint32_t Flags, const char16_t* WideCharStr,
                            int WideCharCount, char* MultiByteStr, int MultiByteCount) override;
    int GetLocaleInfoW(std::uint32_t Locale, std::uint32_t LCType, char16_t* LCData, int DataCount) override;
    void GetLocalTime(SYSTEMTIME& SystemTime) override;
    std::uint32_t GetCurrentProcessId() override;
    std::uint32_t GetCurrentThreadId() override;
    std::uint32_t GetLastError() override;
    std::u16string SysErrorMessage(std::uint32_t ErrorCode) override;
    int CompareStringW(std::uint32_t Locale, std::uint32_t CmpFlags, const std::u16string& String1,
                       const std::u16string& String2) override;
    bool GetTokenElevation(bool& TokenIsElevated) override;
};

} // namespace tarnwick::win32
