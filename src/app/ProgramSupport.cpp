#include "app/ProgramSupport.h"

#include "core/PlatformConstants.h"
#include "support/SupportUtils.h"

namespace tarnwick {

bool SameTextLocale(ISystemPlatform& System, const std::u16string& A, const std::u16string& B) {
    return System.CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, A, B) == static_cast<int>(CSTR_EQUAL);
}

TCommand ParseCommandLine(ISystemPlatform& System, std::span<const std::u16string> Arguments) {
    return ParseCommand(Arguments, [&System](const std::u16string& A, const std::u16string& B) {
        return SameTextLocale(System, A, B);
    });
}

bool IsProcessElevated(ISystemPlatform& System) {
    bool elevated = false;
    return System.GetTokenElevation(elevated) && elevated;
}

bool ElevationNeeded(std::uint8_t WindowsVersionCode, bool NewerThanWindows7, bool ProcessElevated,
                     bool ElevationSwitch) noexcept {
    if (ElevationSwitch) {
        return false;
    }
    if (WindowsVersionCode > 5) {
        return true;
    }
    return WindowsVersionCode == 0 && NewerThanWindows7 && !ProcessElevated;
}

void SubscribeOnStartup(IRegistryPlatform& Registry, ISystemPlatform& System) {
    // Quoted, so that a path with blanks stays one program for the shell that starts it.
    std::u16string command = u"\"";
    command += ProgramFileName(System);
    command += u'"';
    SetStartupEntry(Registry, StartupValueName, command, {.Force = true});
}

} // namespace tarnwick
