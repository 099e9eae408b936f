#include "app/ProgramSupport.h"

#include "core/PlatformConstants.h"
#include "support/SupportUtils.h"

namespace tarnwick {

bool SameTextLocale(ISystemPlatform& System, const std::u16string& A, const std::u16string& B) {
    return System.CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, A, B) == static_cast<int>(CSTR_EQUAL);
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

std::u16string ParametersOf(std::span<const std::u16string> Arguments) {
    std::u16string parameters;
    for (std::size_t i = 1; i < Arguments.size(); ++i) {
        if (!parameters.empty()) {
            parameters += u' ';
        }
        const std::u16string& argument = Arguments[i];
        const bool quote = argument.find_first_of(u" \t") != std::u16string::npos;
        if (quote) {
            parameters += u'"';
        }
        parameters += argument;
        if (quote) {
            parameters += u'"';
        }
    }
    return parameters;
}

} // namespace tarnwick
