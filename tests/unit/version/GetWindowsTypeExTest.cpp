#include "support/GetWindowsTypeExUnit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/version/FakeVersionPlatform.h"
#include "tests/unit/version/VersionCases.h"

namespace tarnwick::testing {
namespace {

TWindowsTypeEx Describe(const TSystemAnswer& System, FakeRegistryPlatform& Registry,
                        std::vector<std::string>* Calls = nullptr) {
    FakeVersionPlatform version(System);
    PutRegistryOf(System, Registry);
    TWindowsTypeEx result = GetWindowsTypeEx(version, version, Registry);
    if (Calls != nullptr) {
        *Calls = version.Calls;
    }
    return result;
}

TWindowsTypeEx Describe(const TSystemAnswer& System) {
    FakeRegistryPlatform registry;
    return Describe(System, registry);
}

class DescriptionTable : public ::testing::TestWithParam<TDescriptionCase> {};

TEST_P(DescriptionTable, GivesEveryField) {
    FakeRegistryPlatform registry;
    EXPECT_EQ(Describe(GetParam().System, registry), GetParam().Expected);
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Systems, DescriptionTable, ::testing::ValuesIn(DescriptionCases()),
                         [](const auto& info) { return std::string(info.param.Name); });

// The edition rules, checked on the fields they decide.
struct TEditionCase {
    const char* Name;
    TSystemAnswer System;
    std::u16string Product;
    std::u16string Edition;
    TWindowsProductType Type;
    TWindowsType OSKind;
    bool Server;
};

TSystemAnswer Nt(std::uint32_t Major, std::uint32_t Minor, std::uint8_t ProductType, std::uint16_t Suites,
                 std::optional<std::uint16_t> Architecture = ArchitectureIntel, int ServerR2 = 0) {
    return {.Major = Major,
            .Minor = Minor,
            .Build = 1000,
            .SuiteMask = Suites,
            .ProductType = ProductType,
            .ServerR2 = ServerR2,
            .Architecture = Architecture};
}

constexpr std::uint16_t Amd64 = PROCESSOR_ARCHITECTURE_AMD64;
constexpr std::uint16_t Ia64 = PROCESSOR_ARCHITECTURE_IA64;
constexpr std::uint8_t Workstation = VER_NT_WORKSTATION;
constexpr std::uint8_t Server = VER_NT_SERVER;
constexpr std::uint8_t DomainController = VER_NT_DOMAIN_CONTROLLER;

const TEditionCase EditionCases[] = {
    {"Server2003Datacenter", Nt(5, 2, Server, VER_SUITE_DATACENTER | VER_SUITE_ENTERPRISE),
     u"Windows Server 2003 family", u"Datacenter Edition", wptServer, win2003, true},
    {"Server2003Enterprise", Nt(5, 2, Server, VER_SUITE_ENTERPRISE), u"Windows Server 2003 family",
     u"Enterprise Edition", wptServer, win2003, true},
    {"Server2003Web", Nt(5, 2, Server, VER_SUITE_BLADE), u"Windows Server 2003 family", u"Web Edition",
     wptServer, win2003, true},
    {"Server2003SmallBusiness",
     Nt(5, 2, Server, VER_SUITE_SMALLBUSINESS | VER_SUITE_SMALLBUSINESS_RESTRICTED),
     u"Windows Server 2003 family", u"Small Business Server", wptServer, win2003, true},
    {"Server2003SmallBusinessRestricted", Nt(5, 2, Server, VER_SUITE_SMALLBUSINESS_RESTRICTED),
     u"Windows Server 2003 family", u"Small Business Server ( Restricted )", wptServer, win2003, true},
    {"Server2003StandardDomainController", Nt(5, 2, DomainController, 0), u"Windows Server 2003 family",
     u"Standard Edition", wptServer, win2003, true},
    {"Server2003DatacenterX64", Nt(5, 2, Server, VER_SUITE_DATACENTER, Amd64), u"Windows Server 2003 family",
     u"Datacenter x64 Edition", wptServer, win2003, true},
    {"Server2003EnterpriseX64", Nt(5, 2, Server, VER_SUITE_ENTERPRISE, Amd64), u"Windows Server 2003 family",
     u"Enterprise x64 Edition", wptServer, win2003, true},
    {"Server2003StandardX64", Nt(5, 2, Server, VER_SUITE_BLADE, Amd64), u"Windows Server 2003 family",
     u"Standard x64 Edition", wptServer, win2003, true},
    {"Server2003DatacenterItanium", Nt(5, 2, Server, VER_SUITE_DATACENTER, Ia64),
     u"Windows Server 2003 family", u"Datacenter Edition for Itanium-based Systems", wptServer, win2003,
     true},
    {"Server2003EnterpriseItanium", Nt(5, 2, Server, VER_SUITE_ENTERPRISE, Ia64),
     u"Windows Server 2003 family", u"Enterprise Edition for Itanium-based Systems", wptServer, win2003,
     true},
    {"Server2003StandardItaniumHasNoEdition", Nt(5, 2, Server, 0, Ia64), u"Windows Server 2003 family", u"",
     wptServer, win2003, true},
    {"Server2003R2Enterprise", Nt(5, 2, Server, VER_SUITE_ENTERPRISE, ArchitectureIntel, 1),
     u"Windows Server 2003 R2", u"Enterprise Edition", wptServer, win2003R2, true},
    // The R2 metric is tested before the x64 workstation row.
    {"R2MetricWinsOverX64Workstation", Nt(5, 2, Workstation, 0, Amd64, 1), u"Windows Server 2003 R2", u"",
     wptWorkstation, win2003R2, false},
    // Without GetNativeSystemInfo the architecture is unknown, so an x64 workstation cannot be told.
    {"Version52WorkstationWithoutNativeInfo", Nt(5, 2, Workstation, 0, std::nullopt),
     u"Windows Server 2003 family", u"Professional", wptWorkstation, win2003, false},
    {"Version52WorkstationOn32Bit", Nt(5, 2, Workstation, 0), u"Windows Server 2003 family", u"Professional",
     wptWorkstation, win2003, false},
    {"Windows2000Professional", Nt(5, 0, Workstation, 0), u"Windows 2000", u"Professional", wptWorkstation,
     win2000, false},
    {"Windows2000DatacenterDomainController", Nt(5, 0, DomainController, VER_SUITE_DATACENTER),
     u"Windows Server 2000 family", u"Datacenter Server", wptServer, win2000, true},
    {"Windows2000AdvancedServer", Nt(5, 0, Server, VER_SUITE_ENTERPRISE), u"Windows Server 2000 family",
     u"Advanced Server", wptServer, win2000, true},
    {"WindowsXPProfessional", Nt(5, 1, Workstation, SuiteSingleUserTs), u"Windows XP", u"Professional",
     wptWorkstation, winXP, false},
    {"NT4Sp6Server", Nt(4, 0, Server, 0), u"Windows NT", u"Server 4.0", wptServer, winNT, true},
    {"NT4Sp6EnterpriseServer", Nt(4, 0, Server, VER_SUITE_ENTERPRISE), u"Windows NT",
     u"Server 4.0 Enterprise Edition", wptServer, winNT, true},
    {"NT351Workstation", Nt(3, 51, Workstation, 0), u"Windows NT", u"Professional", wptWorkstation, winNT,
     false},
    {"WindowsVista", Nt(6, 0, Workstation, 0), u"Windows Vista", u"Professional", wptWorkstation, winVista,
     false},
    {"WindowsVistaHome", Nt(6, 0, Workstation, VER_SUITE_PERSONAL), u"Windows Vista", u"Home Edition",
     wptWorkstation, winVista, false},
    {"Server2008", Nt(6, 0, Server, VER_SUITE_ENTERPRISE), u"Windows Server Longhorn",
     u"Server 4.0 Enterprise Edition", wptServer, winLonghorn, true},
    {"Server2008R2EnterpriseDomainController", Nt(6, 1, DomainController, VER_SUITE_ENTERPRISE), u"",
     u"Server 4.0 Enterprise Edition", wptServer, winUnknown, true},
    {"UnknownProductTypeLeavesTheEdition", Nt(5, 1, 0, VER_SUITE_PERSONAL), u"Windows XP", u"",
     wptWorkstation, winXP, false},
    {"Version10Server", Nt(10, 0, Server, 0), u"", u"Server 4.0", wptServer, winUnknown, true},
};

class EditionTable : public ::testing::TestWithParam<TEditionCase> {};

TEST_P(EditionTable, ProductEditionAndKind) {
    const TEditionCase& c = GetParam();
    const TWindowsTypeEx d = Describe(c.System);
    EXPECT_EQ(ToUtf8(d.Product), ToUtf8(c.Product));
    EXPECT_EQ(ToUtf8(d.Kind.AsString), ToUtf8(c.Edition));
    EXPECT_EQ(d.Kind.AsType, c.Type);
    EXPECT_EQ(d.OSKind, c.OSKind);
    EXPECT_EQ(d.Server, c.Server);
    EXPECT_EQ(ToUtf8(d.Full), ToUtf8(c.Product + u" " + c.Edition));
}

INSTANTIATE_TEST_SUITE_P(Editions, EditionTable, ::testing::ValuesIn(EditionCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(GetWindowsTypeEx, AsksForTheShortRecordOnlyWhenTheExtendedOneIsRefused) {
    struct Case {
        const char* Name;
        bool KnowsExtended;
        bool Fails;
        std::vector<std::string> Calls;
    };
    const Case cases[] = {
        {"extended", true, false, {"GetVersionExW 284"}},
        {"short only", false, false, {"GetVersionExW 284", "GetVersionExW 276"}},
        {"none", false, true, {"GetVersionExW 284", "GetVersionExW 276"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TSystemAnswer system = Windows7ProfessionalSp1();
        system.KnowsExtendedRecord = c.KnowsExtended;
        system.VersionFails = c.Fails;
        FakeRegistryPlatform registry;
        std::vector<std::string> calls;
        Describe(system, registry, &calls);
        EXPECT_EQ(calls, c.Calls);
    }
}

TEST(GetWindowsTypeEx, BothVersionCallsRefusedGiveTheClearedDescription) {
    TSystemAnswer system = Windows2000Server();
    system.VersionFails = true;
    FakeRegistryPlatform registry;
    EXPECT_EQ(Describe(system, registry), TWindowsTypeEx{});
    EXPECT_TRUE(registry.Calls.empty());
}

TEST(GetWindowsTypeEx, ShortRecordLeavesServicePackNumbersAndProductTypeAtZero) {
    // A Windows 7 that refuses the extended record: no product type, so no product, and the edition
    // comes from the registry.
    TSystemAnswer system = Windows7ProfessionalSp1();
    system.KnowsExtendedRecord = false;
    const TWindowsTypeEx d = Describe(system);
    EXPECT_EQ(d.ServicePackVersion, (TWindowsProductVersion{u"0.0", 0, 0}));
    EXPECT_EQ(ToUtf8(d.Product), "");
    EXPECT_EQ(d.OSKind, winUnknown);
    EXPECT_EQ(ToUtf8(d.Kind.AsString), "Workstation 6.1 ");
    EXPECT_EQ(ToUtf8(d.Full), " Workstation 6.1 ");
}

TEST(GetWindowsTypeEx, AsksArchitectureAndR2MetricOnVersion52Only) {
    struct Case {
        const char* Name;
        TSystemAnswer System;
        std::vector<std::string> Calls;
    };
    const Case cases[] = {
        {"5.2",
         Nt(5, 2, Server, 0, Amd64),
         {"GetVersionExW 284", "GetModuleHandleW kernel32.dll", "GetProcAddress GetNativeSystemInfo",
          "GetNativeSystemInfo", "GetSystemMetrics 89"}},
        {"5.2 without GetNativeSystemInfo",
         Nt(5, 2, Server, 0, std::nullopt),
         {"GetVersionExW 284", "GetModuleHandleW kernel32.dll", "GetProcAddress GetNativeSystemInfo",
          "GetSystemMetrics 89"}},
        {"6.1", Windows7ProfessionalSp1(), {"GetVersionExW 284"}},
        {"5.0", Windows2000Server(), {"GetVersionExW 284"}},
        {"4.0 on the 9x platform", Windows9x(0, 950, u""), {"GetVersionExW 284", "GetVersionExW 276"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        FakeRegistryPlatform registry;
        std::vector<std::string> calls;
        Describe(c.System, registry, &calls);
        EXPECT_EQ(calls, c.Calls);
    }
}

TEST(GetWindowsTypeEx, ReadsProductOptionsOnlyWithoutTheExtendedRecord) {
    struct Case {
        const char* Name;
        TSystemAnswer System;
        std::size_t Opens;
    };
    const Case cases[] = {
        {"extended record", Windows7ProfessionalSp1(), 0},
        {"short record", NT4WithoutExtendedRecord(u"Service Pack 5", u"WinNT"), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        FakeRegistryPlatform registry;
        Describe(c.System, registry);
        ASSERT_EQ(registry.CountCalls("RegOpenKeyExW"), c.Opens);
        if (c.Opens != 0) {
            EXPECT_EQ(registry.Calls[0].Root, HKeyLocalMachine);
            EXPECT_EQ(ToUtf8(registry.Calls[0].Name), ToUtf8(ProductOptionsPath));
        }
        EXPECT_EQ(registry.OpenHandles(), 0u);
    }
}

TEST(GetWindowsTypeEx, ProductOptionsOfAnotherTypeCountAsMissing) {
    TSystemAnswer system = NT4WithoutExtendedRecord(u"Service Pack 5", std::nullopt);
    FakeRegistryPlatform registry;
    registry.PutValue(HKeyLocalMachine, ProductOptionsPath, u"ProductType", {REG_DWORD, {1, 0, 0, 0}});
    EXPECT_EQ(ToUtf8(Describe(system, registry).Kind.AsString), " 4.0 ");
}

TEST(GetWindowsTypeEx, ServicePack6aNeedsNT4TheExactStringAndTheHotfixKey) {
    struct Case {
        const char* Name;
        std::uint32_t Major;
        std::u16string ServicePack;
        bool Hotfix;
        std::u16string Expected;
    };
    const Case cases[] = {
        {"SP6 with key", 4, u"Service Pack 6", true, u"Service Pack 6a (Build 1381)"},
        {"case ignored", 4, u"SERVICE PACK 6", true, u"Service Pack 6a (Build 1381)"},
        {"no key", 4, u"Service Pack 6", false, u"Service Pack 6 (Build 1381)"},
        {"other pack", 4, u"Service Pack 5", true, u"Service Pack 5 (Build 1381)"},
        {"longer string", 4, u"Service Pack 6, RC 1.1", true, u"Service Pack 6, RC 1.1 (Build 1381)"},
        {"not NT 4", 5, u"Service Pack 6", true, u"Service Pack 6 (Build 1381)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TSystemAnswer system = Nt(c.Major, 0, Workstation, 0);
        system.Build = 1381;
        system.ServicePack = c.ServicePack;
        system.HasQ246009Hotfix = c.Hotfix;
        FakeRegistryPlatform registry;
        EXPECT_EQ(ToUtf8(Describe(system, registry).ServicePack), ToUtf8(c.Expected));
        EXPECT_EQ(registry.OpenHandles(), 0u);
    }
}

TEST(GetWindowsTypeEx, ShownBuildIsTheLowWordWhileOSBuildKeepsAllBits) {
    TSystemAnswer system = Windows7ProfessionalSp1();
    system.Build = 0xF0011DB1; // 7601 in the low word
    const TWindowsTypeEx d = Describe(system);
    EXPECT_EQ(ToUtf8(d.ServicePack), "Service Pack 1 (Build 7601)");
    EXPECT_EQ(d.OSBuild, std::int32_t(0xF0011DB1));
}

TEST(GetWindowsTypeEx, ServicePackFieldFilledToItsEndIsReadNoFurther) {
    TSystemAnswer system = Windows7ProfessionalSp1();
    system.ServicePack = std::u16string(128, u'x');
    EXPECT_EQ(ToUtf8(Describe(system).ServicePack), std::string(128, 'x') + " (Build 7601)");

    TSystemAnswer windows95 = Windows9x(0, 950, std::u16string(128, u'B'));
    EXPECT_EQ(Describe(windows95).ServicePack, std::u16string(128, u'B'));
}

TEST(GetWindowsTypeEx, ServicePackLosesControlCharactersAtBothEndsOnly) {
    TSystemAnswer system = Windows9x(10, 1998, u"\t\x01 A\tB \r\n");
    EXPECT_EQ(ToUtf8(Describe(system).ServicePack), "A\tB");
}

TEST(GetWindowsTypeEx, UnknownPlatformFillsOnlyTheVersionFields) {
    TSystemAnswer system = Windows7ProfessionalSp1();
    system.PlatformId = 3;
    FakeRegistryPlatform registry;
    EXPECT_EQ(
        Describe(system, registry),
        (TWindowsTypeEx{.OSVersion = {u"6.1", 6, 1}, .OSBuild = 7601, .ServicePackVersion = {u"1.0", 1, 0}}));
    EXPECT_TRUE(registry.Calls.empty());
}

} // namespace
} // namespace tarnwick::testing
