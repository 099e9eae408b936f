#include "support/SystemInformationKt.h"

#include "support/GetWindowsTypeExUnit.h"

namespace tarnwick {

bool IsWindows2000(ISystemPlatform& System, IVersionPlatform& Version, IRegistryPlatform& Registry) {
    return GetWindowsTypeEx(System, Version, Registry).OSKind == win2000;
}

} // namespace tarnwick
