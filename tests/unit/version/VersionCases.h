#pragma once
// Installed Windows systems as their version functions and registry answer, and the TWindowsTypeEx each
// must get. Shared by the native tests and by the check of the real platform under Wine.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "support/GetWindowsTypeExUnit.h"

namespace tarnwick {

inline void PrintTo(const TWindowsTypeEx& d, std::ostream* os) {
    *os << "{Full \"" << ToUtf8(d.Full) << "\", Product \"" << ToUtf8(d.Product) << "\", Kind \""
        << ToUtf8(d.Kind.AsString) << "\"/" << int(d.Kind.AsType) << ", OSKind " << int(d.OSKind)
        << ", OSVersion \"" << ToUtf8(d.OSVersion.AsString) << "\" " << d.OSVersion.Major << '/'
        << d.OSVersion.Minor << ", OSBuild " << d.OSBuild << ", ServicePack \"" << ToUtf8(d.ServicePack)
        << "\", ServicePackVersion \"" << ToUtf8(d.ServicePackVersion.AsString) << "\" "
        << d.ServicePackVersion.Major << '/' << d.ServicePackVersion.Minor << ", Server " << d.Server << "}";
}

namespace testing {

// What one installed Windows answers.
struct TSystemAnswer {
    std::uint32_t PlatformId = VER_PLATFORM_WIN32_NT;
    std::uint32_t Major = 0, Minor = 0, Build = 0;
    std::u16string ServicePack{}; // szCSDVersion
    std::uint16_t ServicePackMajor = 0, ServicePackMinor = 0;
    std::uint16_t SuiteMask = 0;
    std::uint8_t ProductType = 0;
    bool KnowsExtendedRecord = true; // false: OSVERSIONINFOEXW is refused, only OSVERSIONINFOW is filled
    bool VersionFails = false;       // both records refused
    int ServerR2 = 0;                // GetSystemMetrics(SM_SERVERR2)
    // The native architecture; none when kernel32 has no GetNativeSystemInfo.
    std::optional<std::uint16_t> Architecture = std::uint16_t(0);
    // HKLM\SYSTEM\CurrentControlSet\Control\ProductOptions "ProductType"; none when missing.
    std::optional<std::u16string> ProductOptions{};
    bool HasQ246009Hotfix = false;
};

inline constexpr char16_t ProductOptionsPath[] = u"SYSTEM\\CurrentControlSet\\Control\\ProductOptions";
inline constexpr char16_t Q246009Path[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009";
inline constexpr std::uint16_t SuiteSingleUserTs = 0x100;
inline constexpr std::uint16_t SuiteTerminal = 0x10;
inline constexpr std::uint16_t ArchitectureIntel = 0;

struct TDescriptionCase {
    const char* Name;
    TSystemAnswer System;
    TWindowsTypeEx Expected;
};

// Windows 7 Professional with Service Pack 1, 64-bit; what Wine's default prefix reports too.
inline TSystemAnswer Windows7ProfessionalSp1() {
    return {.Major = 6,
            .Minor = 1,
            .Build = 7601,
            .ServicePack = u"Service Pack 1",
            .ServicePackMajor = 1,
            .SuiteMask = SuiteSingleUserTs,
            .ProductType = VER_NT_WORKSTATION,
            .Architecture = PROCESSOR_ARCHITECTURE_AMD64,
            .ProductOptions = u"WinNT"};
}

inline TWindowsTypeEx Windows7ProfessionalSp1Described() {
    return {.Full = u"Windows 7 Professional",
            .Product = u"Windows 7",
            .Kind = {u"Professional", wptWorkstation},
            .OSKind = win7,
            .OSVersion = {u"6.1", 6, 1},
            .OSBuild = 7601,
            .ServicePack = u"Service Pack 1 (Build 7601)",
            .ServicePackVersion = {u"1.0", 1, 0},
            .Server = false};
}

inline TSystemAnswer Windows2000Server() {
    return {.Major = 5,
            .Minor = 0,
            .Build = 2195,
            .ServicePack = u"Service Pack 4",
            .ServicePackMajor = 4,
            .ProductType = VER_NT_SERVER,
            .Architecture = ArchitectureIntel,
            .ProductOptions = u"LanmanNT"};
}

inline TSystemAnswer NT4WithoutExtendedRecord(std::u16string ServicePack,
                                              std::optional<std::u16string> ProductOptions) {
    return {.Major = 4,
            .Minor = 0,
            .Build = 1381,
            .ServicePack = std::move(ServicePack),
            .KnowsExtendedRecord = false,
            .Architecture = std::nullopt,
            .ProductOptions = std::move(ProductOptions)};
}

inline TSystemAnswer Windows9x(std::uint32_t Minor, std::uint32_t Build, std::u16string ServicePack) {
    return {.PlatformId = VER_PLATFORM_WIN32_WINDOWS,
            .Major = 4,
            .Minor = Minor,
            .Build = Build,
            .ServicePack = std::move(ServicePack),
            .KnowsExtendedRecord = false,
            .Architecture = std::nullopt};
}

inline std::vector<TDescriptionCase> DescriptionCases() {
    TSystemAnswer win7NoServicePack = Windows7ProfessionalSp1();
    win7NoServicePack.Build = 7600;
    win7NoServicePack.ServicePack = u"";
    win7NoServicePack.ServicePackMajor = 0;

    TSystemAnswer win7Home = Windows7ProfessionalSp1();
    win7Home.SuiteMask = VER_SUITE_PERSONAL | SuiteSingleUserTs;

    TSystemAnswer win8Reporting62 = Windows7ProfessionalSp1();
    win8Reporting62.Minor = 2;
    win8Reporting62.Build = 9200;
    win8Reporting62.ServicePack = u"";
    win8Reporting62.ServicePackMajor = 0;

    TSystemAnswer server2008R2 = Windows7ProfessionalSp1();
    server2008R2.ProductType = VER_NT_SERVER;
    server2008R2.SuiteMask = SuiteTerminal | SuiteSingleUserTs;
    server2008R2.ProductOptions = u"ServerNT";

    TSystemAnswer nt4Sp6 = {.Major = 4,
                            .Minor = 0,
                            .Build = 1381,
                            .ServicePack = u"Service Pack 6",
                            .ServicePackMajor = 6,
                            .ProductType = VER_NT_WORKSTATION,
                            .Architecture = std::nullopt,
                            .ProductOptions = u"WinNT"};
    TSystemAnswer nt4Sp6a = nt4Sp6;
    nt4Sp6a.HasQ246009Hotfix = true;

    return {
        {"Windows7ProfessionalSp1", Windows7ProfessionalSp1(), Windows7ProfessionalSp1Described()},
        {"Windows7WithoutServicePackHasNoLeadingSpace",
         win7NoServicePack,
         {.Full = u"Windows 7 Professional",
          .Product = u"Windows 7",
          .Kind = {u"Professional", wptWorkstation},
          .OSKind = win7,
          .OSVersion = {u"6.1", 6, 1},
          .OSBuild = 7600,
          .ServicePack = u"(Build 7600)",
          .ServicePackVersion = {u"0.0", 0, 0}}},
        {"Windows7HomeEdition",
         win7Home,
         {.Full = u"Windows 7 Home Edition",
          .Product = u"Windows 7",
          .Kind = {u"Home Edition", wptWorkstation},
          .OSKind = win7,
          .OSVersion = {u"6.1", 6, 1},
          .OSBuild = 7601,
          .ServicePack = u"Service Pack 1 (Build 7601)",
          .ServicePackVersion = {u"1.0", 1, 0}}},
        {"Version62WorkstationHasNoProduct",
         win8Reporting62,
         {.Full = u" Professional",
          .Kind = {u"Professional", wptWorkstation},
          .OSKind = winUnknown,
          .OSVersion = {u"6.2", 6, 2},
          .OSBuild = 9200,
          .ServicePack = u"(Build 9200)",
          .ServicePackVersion = {u"0.0", 0, 0}}},
        {"Server2008R2HasNoProduct",
         server2008R2,
         {.Full = u" Server 4.0",
          .Kind = {u"Server 4.0", wptServer},
          .OSKind = winUnknown,
          .OSVersion = {u"6.1", 6, 1},
          .OSBuild = 7601,
          .ServicePack = u"Service Pack 1 (Build 7601)",
          .ServicePackVersion = {u"1.0", 1, 0},
          .Server = true}},
        {"WindowsXPProfessionalX64",
         {.Major = 5,
          .Minor = 2,
          .Build = 3790,
          .ServicePack = u"Service Pack 2",
          .ServicePackMajor = 2,
          .SuiteMask = SuiteSingleUserTs,
          .ProductType = VER_NT_WORKSTATION,
          .Architecture = PROCESSOR_ARCHITECTURE_AMD64,
          .ProductOptions = u"WinNT"},
         {.Full = u"Windows XP Professional x64 Edition ",
          .Product = u"Windows XP Professional x64 Edition",
          .Kind = {u"", wptWorkstation},
          .OSKind = winXPx64,
          .OSVersion = {u"5.2", 5, 2},
          .OSBuild = 3790,
          .ServicePack = u"Service Pack 2 (Build 3790)",
          .ServicePackVersion = {u"2.0", 2, 0}}},
        {"WindowsXPHomeSp3",
         {.Major = 5,
          .Minor = 1,
          .Build = 2600,
          .ServicePack = u"Service Pack 3",
          .ServicePackMajor = 3,
          .SuiteMask = VER_SUITE_PERSONAL | SuiteSingleUserTs,
          .ProductType = VER_NT_WORKSTATION,
          .ProductOptions = u"WinNT"},
         {.Full = u"Windows XP Home Edition",
          .Product = u"Windows XP",
          .Kind = {u"Home Edition", wptWorkstation},
          .OSKind = winXP,
          .OSVersion = {u"5.1", 5, 1},
          .OSBuild = 2600,
          .ServicePack = u"Service Pack 3 (Build 2600)",
          .ServicePackVersion = {u"3.0", 3, 0}}},
        {"Windows2000Server",
         Windows2000Server(),
         {.Full = u"Windows Server 2000 family Server",
          .Product = u"Windows Server 2000 family",
          .Kind = {u"Server", wptServer},
          .OSKind = win2000,
          .OSVersion = {u"5.0", 5, 0},
          .OSBuild = 2195,
          .ServicePack = u"Service Pack 4 (Build 2195)",
          .ServicePackVersion = {u"4.0", 4, 0},
          .Server = true}},
        // The build field of Windows 9x carries the version in its high word; OSBuild keeps all of it.
        {"Windows95WithoutOsr2",
         Windows9x(0, 0x040003B6, u""),
         {.Full = u"Windows 95 ",
          .Product = u"Windows 95",
          .Kind = {u"", wptWorkstation},
          .OSKind = win95,
          .OSVersion = {u"4.0", 4, 0},
          .OSBuild = 67109814,
          .ServicePack = u"",
          .ServicePackVersion = {u"0.0", 0, 0}}},
        {"Windows95Osr2",
         Windows9x(0, 0x04000457, u" B"),
         {.Full = u"Windows 95 OSR2",
          .Product = u"Windows 95",
          .Kind = {u"OSR2", wptWorkstation},
          .OSKind = win95OSR2,
          .OSVersion = {u"4.0", 4, 0},
          .OSBuild = 67109975,
          .ServicePack = u"B",
          .ServicePackVersion = {u"0.0", 0, 0}}},
        {"Windows95Osr25",
         Windows9x(0, 0x040304BE, u" C"),
         {.Full = u"Windows 95 OSR2",
          .Product = u"Windows 95",
          .Kind = {u"OSR2", wptWorkstation},
          .OSKind = win95OSR2,
          .OSVersion = {u"4.0", 4, 0},
          .OSBuild = 67306686,
          .ServicePack = u"C",
          .ServicePackVersion = {u"0.0", 0, 0}}},
        {"Windows98",
         Windows9x(10, 0x040A07CE, u" "),
         {.Full = u"Windows 98 ",
          .Product = u"Windows 98",
          .Kind = {u"", wptWorkstation},
          .OSKind = win98,
          .OSVersion = {u"4.10", 4, 10},
          .OSBuild = 67766222,
          .ServicePackVersion = {u"0.0", 0, 0}}},
        {"Windows98SecondEdition",
         Windows9x(10, 0x040A08AE, u" A "),
         {.Full = u"Windows 98 SE",
          .Product = u"Windows 98",
          .Kind = {u"SE", wptWorkstation},
          .OSKind = win98se,
          .OSVersion = {u"4.10", 4, 10},
          .OSBuild = 67766446,
          .ServicePack = u"A",
          .ServicePackVersion = {u"0.0", 0, 0}}},
        {"WindowsMillennium",
         Windows9x(90, 0x045A0BB8, u" "),
         {.Full = u"Windows Millennium Edition",
          .Product = u"Windows Millennium Edition",
          .Kind = {u"", wptWorkstation},
          .OSKind = winME,
          .OSVersion = {u"4.90", 4, 90},
          .OSBuild = 73010104,
          .ServicePackVersion = {u"0.0", 0, 0}}},
        {"Win32s",
         {.PlatformId = VER_PLATFORM_WIN32s,
          .Major = 3,
          .Minor = 10,
          .Build = 0,
          .KnowsExtendedRecord = false,
          .Architecture = std::nullopt},
         {.Full = u"Microsoft Win32s",
          .Product = u"Microsoft Win32s",
          .OSKind = win31,
          .OSVersion = {u"3.10", 3, 10},
          .ServicePackVersion = {u"0.0", 0, 0}}},
        // Before Service Pack 6 NT 4.0 knows only the short record: the edition comes from the registry,
        // followed by the version between two spaces, and the kind and server flag stay cleared.
        {"NT4WorkstationWinnt",
         NT4WithoutExtendedRecord(u"Service Pack 5", u"WINNT"),
         {.Full = u"Windows NT Workstation 4.0 ",
          .Product = u"Windows NT",
          .Kind = {u"Workstation 4.0 ", wptWorkstation},
          .OSKind = winNT,
          .OSVersion = {u"4.0", 4, 0},
          .OSBuild = 1381,
          .ServicePack = u"Service Pack 5 (Build 1381)",
          .ServicePackVersion = {u"0.0", 0, 0}}},
        {"NT4ServerLanmanntInAnyCase",
         NT4WithoutExtendedRecord(u"Service Pack 3", u"lanmanNT"),
         {.Full = u"Windows NT Server 4.0 ",
          .Product = u"Windows NT",
          .Kind = {u"Server 4.0 ", wptWorkstation},
          .OSKind = winNT,
          .OSVersion = {u"4.0", 4, 0},
          .OSBuild = 1381,
          .ServicePack = u"Service Pack 3 (Build 1381)",
          .ServicePackVersion = {u"0.0", 0, 0},
          .Server = false}},
        {"NT4AdvancedServerServernt",
         NT4WithoutExtendedRecord(u"", u"ServerNT"),
         {.Full = u"Windows NT Advanced Server 4.0 ",
          .Product = u"Windows NT",
          .Kind = {u"Advanced Server 4.0 ", wptWorkstation},
          .OSKind = winNT,
          .OSVersion = {u"4.0", 4, 0},
          .OSBuild = 1381,
          .ServicePack = u"(Build 1381)",
          .ServicePackVersion = {u"0.0", 0, 0}}},
        {"NT4WithoutProductOptions",
         NT4WithoutExtendedRecord(u"Service Pack 5", std::nullopt),
         {.Full = u"Windows NT  4.0 ",
          .Product = u"Windows NT",
          .Kind = {u" 4.0 ", wptWorkstation},
          .OSKind = winNT,
          .OSVersion = {u"4.0", 4, 0},
          .OSBuild = 1381,
          .ServicePack = u"Service Pack 5 (Build 1381)",
          .ServicePackVersion = {u"0.0", 0, 0}}},
        {"NT4Sp6WithoutHotfixKey",
         nt4Sp6,
         {.Full = u"Windows NT Workstation 4.0",
          .Product = u"Windows NT",
          .Kind = {u"Workstation 4.0", wptWorkstation},
          .OSKind = winNT,
          .OSVersion = {u"4.0", 4, 0},
          .OSBuild = 1381,
          .ServicePack = u"Service Pack 6 (Build 1381)",
          .ServicePackVersion = {u"6.0", 6, 0}}},
        {"NT4Sp6WithQ246009IsSp6a",
         nt4Sp6a,
         {.Full = u"Windows NT Workstation 4.0",
          .Product = u"Windows NT",
          .Kind = {u"Workstation 4.0", wptWorkstation},
          .OSKind = winNT,
          .OSVersion = {u"4.0", 4, 0},
          .OSBuild = 1381,
          .ServicePack = u"Service Pack 6a (Build 1381)",
          .ServicePackVersion = {u"6.0", 6, 0}}},
    };
}

} // namespace testing
} // namespace tarnwick
