#include "support/SystemInformationKt.h"

#include "support/GetWindowsTypeExUnit.h"

namespace tarnwick {

bool IsWindows2000(IVersionPlatform& Version, IRegistryPlatform& Registry) {
    return GetWindowsTypeEx(Version, Registry).OSKind == win2000;
}

} // namespace tarnwick
