#pragma once
// Small decisions and readings of the main window, kept apart so that each can be checked on its own:
// the locale's comparison of action words, whether the process is elevated and whether a switch needs an
// elevated copy of the program, the autostart entry it writes, and the parameters of that copy.

#include <cstdint>
#include <span>
#include <string>

#include "command/Command.h"
#include "platform/RegistryPlatform.h"
#include "platform/SystemPlatform.h"
#include "support/EasyCmdLine.h"

namespace tarnwick {

// The two texts are equal ignoring case by the rules of the user's locale.
bool SameTextLocale(ISystemPlatform& System, const std::u16string& A, const std::u16string& B);

// A command line (element 0 the program) read with the locale's comparison of action words.
TCommand ParseCommandLine(ISystemPlatform& System, std::span<const std::u16string> Arguments);

// The process runs with administrator rights; false when its token cannot tell.
bool IsProcessElevated(ISystemPlatform& System);

// Whether a switch must be handed to an elevated copy. Never when the copy itself runs (the switch
// "elevation"); always on Windows Vista and 7 (version codes 6 and 7); on a Windows newer than 7 (version
// code 0) when the process is not elevated already, since changing devices needs administrator rights
// there too; never on the older versions.
bool ElevationNeeded(std::uint8_t WindowsVersionCode, bool NewerThanWindows7, bool ProcessElevated,
                     bool ElevationSwitch) noexcept;

// Registers the program to start with Windows: the Run value "Tarnwick" of the current user, holding the
// program's quoted full path.
void SubscribeOnStartup(IRegistryPlatform& Registry, ISystemPlatform& System);

} // namespace tarnwick
