#pragma once
// The version seam, the system seam's version record and the registry answering as one installed
// Windows does, with a log of the version calls.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "platform/VersionPlatform.h"
#include "tests/unit/support/FakeRegistryPlatform.h"
#include "tests/unit/support/FakeSystemPlatform.h"
#include "tests/unit/version/VersionCases.h"

namespace tarnwick::testing {

inline void PutRegistryOf(const TSystemAnswer& System, FakeRegistryPlatform& Registry) {
    if (System.ProductOptions) {
        Registry.PutString(HKeyLocalMachine, ProductOptionsPath, u"ProductType", *System.ProductOptions);
    }
    if (System.HasQ246009Hotfix) {
        Registry.PutString(HKeyLocalMachine, Q246009Path, u"Installed", u"1");
    }
}

// Passed as both the system and the version seam.
class FakeVersionPlatform : public FakeSystemPlatform, public IVersionPlatform {
public:
    static constexpr std::uintptr_t Kernel32 = 0x7FF800000000;
    static constexpr std::uintptr_t NativeInfoProc = 0x7FF800012340;

    explicit FakeVersionPlatform(TSystemAnswer System) : FSystem(std::move(System)) {}

    std::vector<std::string> Calls;

    bool GetVersionExW(OSVERSIONINFOEXW& info) override {
        Calls.push_back("GetVersionExW " + std::to_string(info.dwOSVersionInfoSize));
        const bool extended = info.dwOSVersionInfoSize == OsVersionInfoExSize;
        if (FSystem.VersionFails || (extended && !FSystem.KnowsExtendedRecord) ||
            (!extended && info.dwOSVersionInfoSize != OsVersionInfoSize)) {
            return false;
        }
        info.dwMajorVersion = FSystem.Major;
        info.dwMinorVersion = FSystem.Minor;
        info.dwBuildNumber = FSystem.Build;
        info.dwPlatformId = FSystem.PlatformId;
        std::memset(info.szCSDVersion, 0, sizeof info.szCSDVersion);
        std::memcpy(info.szCSDVersion, FSystem.ServicePack.data(),
                    std::min(FSystem.ServicePack.size(), std::size(info.szCSDVersion)) * sizeof(char16_t));
        if (extended) {
            info.wServicePackMajor = FSystem.ServicePackMajor;
            info.wServicePackMinor = FSystem.ServicePackMinor;
            info.wSuiteMask = FSystem.SuiteMask;
            info.wProductType = FSystem.ProductType;
        }
        return true;
    }

    int GetSystemMetrics(int index) override {
        Calls.push_back("GetSystemMetrics " + std::to_string(index));
        return index == SM_SERVERR2 ? FSystem.ServerR2 : 0;
    }

    std::uintptr_t GetModuleHandleW(const char16_t* name) override {
        Calls.push_back("GetModuleHandleW " + ToUtf8(name));
        return SameTextAscii(name, u"kernel32.dll") ? Kernel32 : 0;
    }

    std::uintptr_t GetProcAddress(std::uintptr_t module, const char* name) override {
        Calls.push_back(std::string("GetProcAddress ") + name);
        return module == Kernel32 && FSystem.Architecture && std::strcmp(name, "GetNativeSystemInfo") == 0
                   ? NativeInfoProc
                   : 0;
    }

    void GetNativeSystemInfo(std::uintptr_t proc, SYSTEM_INFO& info) override {
        Calls.push_back(proc == NativeInfoProc ? "GetNativeSystemInfo"
                                               : "GetNativeSystemInfo at a wrong address");
        info = {};
        info.wProcessorArchitecture = FSystem.Architecture.value_or(0xFFFF);
        info.dwPageSize = 4096;
        info.dwNumberOfProcessors = 2;
    }

private:
    TSystemAnswer FSystem;
};

} // namespace tarnwick::testing
