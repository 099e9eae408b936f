#include "support/SystemInformationKt.h"

#include <gtest/gtest.h>

#include "tests/unit/version/FakeVersionPlatform.h"
#include "tests/unit/version/VersionCases.h"

namespace tarnwick::testing {
namespace {

TSystemAnswer Nt(std::uint32_t Major, std::uint32_t Minor, std::uint8_t ProductType, std::uint16_t Suites) {
    return {.Major = Major, .Minor = Minor, .Build = 1000, .SuiteMask = Suites, .ProductType = ProductType};
}

TEST(IsWindows2000, TrueForEveryWindows2000AndNothingElse) {
    TSystemAnswer refusing = Windows2000Server();
    refusing.VersionFails = true;
    TSystemAnswer windows2000Short = Windows2000Server();
    windows2000Short.KnowsExtendedRecord = false;

    struct Case {
        const char* Name;
        TSystemAnswer System;
        bool Expected;
    };
    const Case cases[] = {
        {"2000 Professional", Nt(5, 0, VER_NT_WORKSTATION, 0), true},
        {"2000 Server", Windows2000Server(), true},
        {"2000 Advanced Server", Nt(5, 0, VER_NT_SERVER, VER_SUITE_ENTERPRISE), true},
        {"2000 Datacenter domain controller", Nt(5, 0, VER_NT_DOMAIN_CONTROLLER, VER_SUITE_DATACENTER), true},
        {"2000 without the extended record", windows2000Short, true},
        {"NT 4.0", NT4WithoutExtendedRecord(u"Service Pack 5", u"WinNT"), false},
        {"XP", Nt(5, 1, VER_NT_WORKSTATION, 0), false},
        {"Server 2003", Nt(5, 2, VER_NT_SERVER, 0), false},
        {"Vista", Nt(6, 0, VER_NT_WORKSTATION, 0), false},
        {"7", Windows7ProfessionalSp1(), false},
        {"6.2", Nt(6, 2, VER_NT_WORKSTATION, 0), false},
        {"Windows Me", Windows9x(90, 3000, u" "), false},
        {"version calls refused", refusing, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        FakeVersionPlatform version(c.System);
        FakeRegistryPlatform registry;
        PutRegistryOf(c.System, registry);
        EXPECT_EQ(IsWindows2000(version, version, registry), c.Expected);
    }
}

TEST(IsWindows2000, DescribesTheSystemAnewOnEveryCall) {
    FakeVersionPlatform version(Windows2000Server());
    FakeRegistryPlatform registry;
    EXPECT_TRUE(IsWindows2000(version, version, registry));
    EXPECT_TRUE(IsWindows2000(version, version, registry));
    EXPECT_EQ(version.Calls, (std::vector<std::string>{"GetVersionExW 284", "GetVersionExW 284"}));
}

} // namespace
} // namespace tarnwick::testing
