#include "support/GetWindowsTypeExUnit.h"

#include <optional>
#include <string_view>

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "support/RegistryKey.h"

namespace tarnwick {

namespace {

constexpr std::u16string_view ProductOptionsKey = u"SYSTEM\\CurrentControlSet\\Control\\ProductOptions";
constexpr std::u16string_view Q246009Key =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009";

// What GetVersionExW answered, and whether the extended fields after szCSDVersion are among it.
struct TVersionAnswer {
    OSVERSIONINFOEXW Info{};
    bool Extended = false;
};

std::optional<TVersionAnswer> AskVersion(ISystemPlatform& System) {
    TVersionAnswer answer;
    answer.Info.dwOSVersionInfoSize = OsVersionInfoExSize;
    if (System.GetVersionExW(answer.Info)) {
        answer.Extended = true;
        return answer;
    }
    // Systems before NT 4.0 SP6 know only the short record. Cleared again, so that a refused first call
    // cannot leave anything in the extended fields.
    answer.Info = OSVERSIONINFOEXW{};
    answer.Info.dwOSVersionInfoSize = OsVersionInfoSize;
    if (System.GetVersionExW(answer.Info)) {
        return answer;
    }
    return std::nullopt;
}

// The service-pack string, bounded by its field even when the platform left it unterminated.
std::u16string ServicePackString(const OSVERSIONINFOEXW& Info) {
    const std::u16string_view field(Info.szCSDVersion, std::size(Info.szCSDVersion));
    return std::u16string(field.substr(0, field.find(u'\0')));
}

std::u16string VersionText(std::int32_t Major, std::int32_t Minor) {
    return FormatText(u"%d.%d", {std::int64_t(Major), std::int64_t(Minor)});
}

std::u16string JoinProductAndKind(const TWindowsTypeEx& Result) {
    return FormatText(u"%s %s", {Result.Product, Result.Kind.AsString});
}

bool HasSuite(std::uint16_t SuiteMask, std::uint16_t Suite) {
    return (SuiteMask & Suite) != 0;
}

// GetNativeSystemInfo is looked up by name: it is missing before Windows XP.
std::optional<std::uint16_t> NativeArchitecture(IVersionPlatform& Version) {
    const std::uintptr_t kernel = Version.GetModuleHandleW(u"kernel32.dll");
    if (kernel == 0) {
        return std::nullopt;
    }
    const std::uintptr_t proc = Version.GetProcAddress(kernel, "GetNativeSystemInfo");
    if (proc == 0) {
        return std::nullopt;
    }
    SYSTEM_INFO info{};
    Version.GetNativeSystemInfo(proc, info);
    return info.wProcessorArchitecture;
}

void DescribeWindows9x(const OSVERSIONINFOEXW& Info, TWindowsTypeEx& Result) {
    Result.Kind.AsType = wptWorkstation;
    Result.ServicePack = ServicePackString(Info);
    // The letter after the leading space of the service-pack field marks the later releases.
    const char16_t release = Info.szCSDVersion[1];
    if (Info.dwMajorVersion == 4 && Info.dwMinorVersion == 0) {
        Result.Product = u"Windows 95";
        Result.OSKind = win95;
        if (release == u'C' || release == u'B') {
            Result.Kind.AsString = u"OSR2";
            Result.OSKind = win95OSR2;
        }
        Result.Full = JoinProductAndKind(Result);
    } else if (Info.dwMajorVersion == 4 && Info.dwMinorVersion == 10) {
        Result.Product = u"Windows 98";
        Result.OSKind = win98;
        if (release == u'A') {
            Result.Kind.AsString = u"SE";
            Result.OSKind = win98se;
        }
        Result.Full = JoinProductAndKind(Result);
    } else if (Info.dwMajorVersion == 4 && Info.dwMinorVersion == 90) {
        Result.Product = u"Windows Millennium Edition";
        Result.Full = Result.Product;
        Result.OSKind = winME;
    }
}

void DescribeNTProduct(const OSVERSIONINFOEXW& Info, std::uint8_t ProductType, bool ServerR2,
                       std::optional<std::uint16_t> Architecture, TWindowsTypeEx& Result) {
    const std::uint32_t major = Info.dwMajorVersion;
    const std::uint32_t minor = Info.dwMinorVersion;
    if (major == 6 && minor == 1) {
        if (ProductType == VER_NT_WORKSTATION) {
            Result.Product = u"Windows 7";
            Result.OSKind = win7;
        }
    } else if (major == 6 && minor == 0) {
        if (ProductType == VER_NT_WORKSTATION) {
            Result.Product = u"Windows Vista";
            Result.OSKind = winVista;
        } else {
            Result.Product = u"Windows Server Longhorn";
            Result.OSKind = winLonghorn;
        }
    } else if (major == 5 && minor == 2) {
        if (ServerR2) {
            Result.Product = u"Windows Server 2003 R2";
            Result.OSKind = win2003R2;
        } else if (ProductType == VER_NT_WORKSTATION && Architecture == PROCESSOR_ARCHITECTURE_AMD64) {
            Result.Product = u"Windows XP Professional x64 Edition";
            Result.OSKind = winXPx64;
        } else {
            Result.Product = u"Windows Server 2003 family";
            Result.OSKind = win2003;
        }
    } else if (major == 5 && minor == 1) {
        Result.Product = u"Windows XP";
        Result.OSKind = winXP;
    } else if (major == 5 && minor == 0) {
        Result.Product = u"Windows 2000";
        Result.OSKind = win2000;
    } else if (major <= 4) {
        Result.Product = u"Windows NT";
        Result.OSKind = winNT;
    }
}

std::u16string ServerEdition2003(std::uint16_t Suites, std::optional<std::uint16_t> Architecture) {
    if (Architecture == PROCESSOR_ARCHITECTURE_IA64) {
        if (HasSuite(Suites, VER_SUITE_DATACENTER)) {
            return u"Datacenter Edition for Itanium-based Systems";
        }
        if (HasSuite(Suites, VER_SUITE_ENTERPRISE)) {
            return u"Enterprise Edition for Itanium-based Systems";
        }
        return {};
    }
    if (Architecture == PROCESSOR_ARCHITECTURE_AMD64) {
        if (HasSuite(Suites, VER_SUITE_DATACENTER)) {
            return u"Datacenter x64 Edition";
        }
        if (HasSuite(Suites, VER_SUITE_ENTERPRISE)) {
            return u"Enterprise x64 Edition";
        }
        return u"Standard x64 Edition";
    }
    if (HasSuite(Suites, VER_SUITE_DATACENTER)) {
        return u"Datacenter Edition";
    }
    if (HasSuite(Suites, VER_SUITE_ENTERPRISE)) {
        return u"Enterprise Edition";
    }
    if (HasSuite(Suites, VER_SUITE_BLADE)) {
        return u"Web Edition";
    }
    if (HasSuite(Suites, VER_SUITE_SMALLBUSINESS)) {
        return u"Small Business Server";
    }
    if (HasSuite(Suites, VER_SUITE_SMALLBUSINESS_RESTRICTED)) {
        return u"Small Business Server ( Restricted )";
    }
    return u"Standard Edition";
}

void DescribeNTEditionExtended(const OSVERSIONINFOEXW& Info, std::optional<std::uint16_t> Architecture,
                               TWindowsTypeEx& Result) {
    const std::uint32_t major = Info.dwMajorVersion;
    const std::uint32_t minor = Info.dwMinorVersion;
    const std::uint16_t suites = Info.wSuiteMask;
    if (Info.wProductType == VER_NT_WORKSTATION && Architecture != PROCESSOR_ARCHITECTURE_AMD64) {
        Result.Kind.AsType = wptWorkstation;
        if (major == 4) {
            Result.Kind.AsString = u"Workstation 4.0";
        } else if (HasSuite(suites, VER_SUITE_PERSONAL)) {
            Result.Kind.AsString = u"Home Edition";
        } else {
            Result.Kind.AsString = u"Professional";
        }
        return;
    }
    if (Info.wProductType != VER_NT_SERVER && Info.wProductType != VER_NT_DOMAIN_CONTROLLER) {
        return;
    }
    Result.Server = true;
    Result.Kind.AsType = wptServer;
    if (major == 5 && minor == 2) {
        Result.Kind.AsString = ServerEdition2003(suites, Architecture);
    } else if (major == 5 && minor == 0) {
        Result.Product = u"Windows Server 2000 family";
        if (HasSuite(suites, VER_SUITE_DATACENTER)) {
            Result.Kind.AsString = u"Datacenter Server";
        } else if (HasSuite(suites, VER_SUITE_ENTERPRISE)) {
            Result.Kind.AsString = u"Advanced Server";
        } else {
            Result.Kind.AsString = u"Server";
        }
    } else if (HasSuite(suites, VER_SUITE_ENTERPRISE)) {
        Result.Kind.AsString = u"Server 4.0 Enterprise Edition";
    } else {
        Result.Kind.AsString = u"Server 4.0";
    }
}

// Without the extended record the product options in the registry tell workstation from server.
void DescribeNTEditionFromRegistry(IRegistryPlatform& Registry, TWindowsTypeEx& Result) {
    std::u16string productType;
    if (const auto key = TRegistryKey::Open(Registry, HKeyLocalMachine, ProductOptionsKey, KEY_QUERY_VALUE)) {
        productType = key->ReadString(u"ProductType").value_or(u"");
    }
    if (SameTextAscii(productType, u"WINNT")) {
        Result.Kind.AsString = u"Workstation";
    } else if (SameTextAscii(productType, u"LANMANNT")) {
        Result.Kind.AsString = u"Server";
    } else if (SameTextAscii(productType, u"SERVERNT")) {
        Result.Kind.AsString = u"Advanced Server";
    }
    Result.Kind.AsString +=
        FormatText(u" %d.%d ", {std::int64_t(Result.OSVersion.Major), std::int64_t(Result.OSVersion.Minor)});
}

void DescribeNTServicePack(IRegistryPlatform& Registry, const OSVERSIONINFOEXW& Info,
                           TWindowsTypeEx& Result) {
    const std::int64_t build = Info.dwBuildNumber & 0xFFFF;
    const std::u16string servicePack = ServicePackString(Info);
    // NT 4.0 SP6a reports itself as SP6; only its hotfix key tells them apart.
    if (Info.dwMajorVersion == 4 && SameTextAscii(servicePack, u"Service Pack 6") &&
        TRegistryKey::Open(Registry, HKeyLocalMachine, Q246009Key, KEY_QUERY_VALUE)) {
        Result.ServicePack = FormatText(u"Service Pack 6a (Build %d) \r\n", {build});
    } else {
        Result.ServicePack = FormatText(u"%s (Build %d) \r\n", {servicePack, build});
    }
}

void DescribeNT(IVersionPlatform& Version, IRegistryPlatform& Registry, const TVersionAnswer& Answer,
                TWindowsTypeEx& Result) {
    const OSVERSIONINFOEXW& info = Answer.Info;
    const std::uint8_t productType = Answer.Extended ? info.wProductType : 0;
    const bool is2003 = info.dwMajorVersion == 5 && info.dwMinorVersion == 2;
    // Only Windows Server 2003 and XP x64 are told apart by the architecture and the R2 metric.
    const std::optional<std::uint16_t> architecture =
        is2003 ? NativeArchitecture(Version) : std::optional<std::uint16_t>{};
    const bool serverR2 = is2003 && Version.GetSystemMetrics(SM_SERVERR2) != 0;

    DescribeNTProduct(info, productType, serverR2, architecture, Result);
    if (Answer.Extended) {
        DescribeNTEditionExtended(info, architecture, Result);
    } else {
        DescribeNTEditionFromRegistry(Registry, Result);
    }
    DescribeNTServicePack(Registry, info, Result);
    Result.Full = JoinProductAndKind(Result);
}

std::u16string TrimControlsAndBlanks(std::u16string_view Text) {
    const auto isBlank = [](char16_t c) { return c <= u' '; };
    std::size_t first = 0;
    std::size_t last = Text.size();
    while (first < last && isBlank(Text[first])) {
        ++first;
    }
    while (last > first && isBlank(Text[last - 1])) {
        --last;
    }
    return std::u16string(Text.substr(first, last - first));
}

} // namespace

TWindowsTypeEx GetWindowsTypeEx(ISystemPlatform& System, IVersionPlatform& Version,
                                IRegistryPlatform& Registry) {
    TWindowsTypeEx result;
    const std::optional<TVersionAnswer> answer = AskVersion(System);
    if (!answer) {
        return result;
    }
    const OSVERSIONINFOEXW& info = answer->Info;

    result.OSVersion.Major = std::int32_t(info.dwMajorVersion);
    result.OSVersion.Minor = std::int32_t(info.dwMinorVersion);
    result.OSVersion.AsString = VersionText(result.OSVersion.Major, result.OSVersion.Minor);
    result.ServicePackVersion.Major = info.wServicePackMajor;
    result.ServicePackVersion.Minor = info.wServicePackMinor;
    result.ServicePackVersion.AsString =
        VersionText(result.ServicePackVersion.Major, result.ServicePackVersion.Minor);
    result.Server = false;
    result.OSBuild = std::int32_t(info.dwBuildNumber);

    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
        result.Product = u"Microsoft Win32s";
        result.Kind.AsType = wptWorkstation;
        result.Full = result.Product;
        result.OSKind = win31;
        break;
    case VER_PLATFORM_WIN32_WINDOWS:
        DescribeWindows9x(info, result);
        break;
    case VER_PLATFORM_WIN32_NT:
        DescribeNT(Version, Registry, *answer, result);
        break;
    default:
        break;
    }

    result.ServicePack = TrimControlsAndBlanks(result.ServicePack);
    return result;
}

} // namespace tarnwick
