#pragma once
// Questions about the running system asked by other units.

#include "platform/RegistryPlatform.h"
#include "platform/SystemPlatform.h"
#include "platform/VersionPlatform.h"

namespace tarnwick {

// True exactly when the running system is Windows 2000, workstation or server. Describes the system
// anew on every call.
bool IsWindows2000(ISystemPlatform& System, IVersionPlatform& Version, IRegistryPlatform& Registry);

} // namespace tarnwick
