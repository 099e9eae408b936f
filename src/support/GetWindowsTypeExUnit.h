#pragma once
// The description of the running Windows: product, edition, workstation or server, family, version,
// build and service pack, made from what the platform's version functions and registry answer.

#include <cstdint>
#include <string>

#include "platform/RegistryPlatform.h"
#include "platform/SystemPlatform.h"
#include "platform/VersionPlatform.h"

namespace tarnwick {

enum TWindowsType : std::uint8_t {
    winUnknown,
    win31,
    win95,
    win95OSR2,
    winNT,
    win98,
    win98se,
    winME,
    win2000,
    winXP,
    winXPx64,
    win2003,
    win2003R2,
    winVista,
    winLonghorn,
    win7
};

enum TWindowsProductType : std::uint8_t { wptWorkstation = 0, wptServer = 1 };

struct TWindowsProductKind {
    std::u16string AsString{}; // the edition
    TWindowsProductType AsType = wptWorkstation;

    bool operator==(const TWindowsProductKind&) const = default;
};

struct TWindowsProductVersion {
    std::u16string AsString{}; // "major.minor"
    std::int32_t Major = 0;
    std::int32_t Minor = 0;

    bool operator==(const TWindowsProductVersion&) const = default;
};

struct TWindowsTypeEx {
    std::u16string Full{}; // product and edition joined by one space
    std::u16string Product{};
    TWindowsProductKind Kind{};
    TWindowsType OSKind = winUnknown;
    TWindowsProductVersion OSVersion{};
    std::int32_t OSBuild = 0; // the whole build field, not only its low word
    std::u16string ServicePack{};
    TWindowsProductVersion ServicePackVersion{};
    bool Server = false;

    bool operator==(const TWindowsTypeEx&) const = default;
};

// Describes the running Windows. Keeps no state and raises nothing: what the platform cannot answer
// leaves the fields it would have filled cleared.
TWindowsTypeEx GetWindowsTypeEx(ISystemPlatform& System, IVersionPlatform& Version,
                                IRegistryPlatform& Registry);

} // namespace tarnwick
