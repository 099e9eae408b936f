// What Windows (here Wine's default prefix, a 64-bit Windows 7 SP1) answers through the version seams, and
// the description made of it. No <windows.h> here: the expected rows come from the portable cases.

#include "platform/win32/Win32VersionPlatform.h"

#include <gtest/gtest.h>

#include <string>

#include "core/PlatformConstants.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32System.h"
#include "support/GetWindowsTypeExUnit.h"
#include "support/RegistryKey.h"
#include "support/SystemInformationKt.h"
#include "tests/unit/version/VersionCases.h"

namespace tarnwick::win32 {
namespace {

using tarnwick::testing::Windows7ProfessionalSp1;
using tarnwick::testing::Windows7ProfessionalSp1Described;

TEST(Win32VersionRecord, ExtendedRecordIsTheWindows7RowOfTheTable) {
    const tarnwick::testing::TSystemAnswer row = Windows7ProfessionalSp1();
    TWin32SystemPlatform version;
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = OsVersionInfoExSize;
    ASSERT_TRUE(version.GetVersionExW(info));
    EXPECT_EQ(info.dwPlatformId, row.PlatformId);
    EXPECT_EQ(info.dwMajorVersion, row.Major);
    EXPECT_EQ(info.dwMinorVersion, row.Minor);
    EXPECT_EQ(info.dwBuildNumber, row.Build);
    EXPECT_EQ(ToUtf8(info.szCSDVersion), ToUtf8(row.ServicePack));
    EXPECT_EQ(info.wServicePackMajor, row.ServicePackMajor);
    EXPECT_EQ(info.wServicePackMinor, row.ServicePackMinor);
    EXPECT_EQ(info.wProductType, row.ProductType);
    EXPECT_EQ(info.wSuiteMask & VER_SUITE_PERSONAL, 0);
}

TEST(Win32VersionRecord, ShortRecordIsFilledNoFurtherThanItsSize) {
    TWin32SystemPlatform version;
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = OsVersionInfoSize;
    info.wServicePackMajor = 0xABCD;
    info.wProductType = 0xEE;
    ASSERT_TRUE(version.GetVersionExW(info));
    EXPECT_EQ(info.dwMajorVersion, 6u);
    EXPECT_EQ(ToUtf8(info.szCSDVersion), "Service Pack 1");
    EXPECT_EQ(info.wServicePackMajor, 0xABCD);
    EXPECT_EQ(info.wProductType, 0xEE);

    OSVERSIONINFOEXW wrongSize{};
    wrongSize.dwOSVersionInfoSize = 100;
    EXPECT_FALSE(version.GetVersionExW(wrongSize));
}

TEST(Win32VersionPlatform, NoR2MetricAndAnX64NativeArchitectureFoundAtRunTime) {
    TWin32VersionPlatform version;
    EXPECT_EQ(version.GetSystemMetrics(SM_SERVERR2), 0);

    const std::uintptr_t kernel = version.GetModuleHandleW(u"kernel32.dll");
    ASSERT_NE(kernel, 0u);
    EXPECT_EQ(version.GetModuleHandleW(u"no-such-module.dll"), 0u);
    EXPECT_EQ(version.GetProcAddress(kernel, "NoSuchFunctionAnywhere"), 0u);
    const std::uintptr_t proc = version.GetProcAddress(kernel, "GetNativeSystemInfo");
    ASSERT_NE(proc, 0u);

    SYSTEM_INFO info{};
    info.wProcessorArchitecture = 0xFFFF;
    version.GetNativeSystemInfo(proc, info);
    EXPECT_EQ(info.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_AMD64);
    EXPECT_GE(info.dwNumberOfProcessors, 1u);
    EXPECT_EQ(info.dwPageSize, 4096u);
    EXPECT_LT(info.lpMinimumApplicationAddress, info.lpMaximumApplicationAddress);
}

// Wine's prefix carries the product options of a workstation and, from its wine.inf, the hotfix key of
// NT 4.0 SP6a, which only counts when an NT 4.0 reports "Service Pack 6".
TEST(Win32VersionPlatform, RegistryHasWorkstationProductOptionsAndTheSp6aHotfixKey) {
    TWin32RegistryPlatform registry;
    const auto options = TRegistryKey::Open(registry, HKeyLocalMachine, tarnwick::testing::ProductOptionsPath,
                                            KEY_QUERY_VALUE);
    ASSERT_TRUE(options);
    EXPECT_TRUE(SameTextAscii(options->ReadString(u"ProductType").value_or(u""), u"WinNT"));
    EXPECT_TRUE(
        TRegistryKey::Open(registry, HKeyLocalMachine, tarnwick::testing::Q246009Path, KEY_QUERY_VALUE));
}

TEST(GetWindowsTypeExOnWine, DescribesWindows7LikeTheNativeTableRow) {
    TWin32SystemPlatform system;
    TWin32VersionPlatform version;
    TWin32RegistryPlatform registry;
    EXPECT_EQ(GetWindowsTypeEx(system, version, registry), Windows7ProfessionalSp1Described());
    EXPECT_FALSE(IsWindows2000(system, version, registry));
}

} // namespace
} // namespace tarnwick::win32
