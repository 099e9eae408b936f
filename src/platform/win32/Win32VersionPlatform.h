#pragma once
// The version seam on Windows.

#include "platform/VersionPlatform.h"

namespace tarnwick::win32 {

class TWin32VersionPlatform final : public IVersionPlatform {
public:
    int GetSystemMetrics(int Index) override;
    std::uintptr_t GetModuleHandleW(const char16_t* ModuleName) override;
    std::uintptr_t GetProcAddress(std::uintptr_t Module, const char* ProcName) override;
    void GetNativeSystemInfo(std::uintptr_t Proc, SYSTEM_INFO& SystemInfo) override;
};

} // namespace tarnwick::win32
