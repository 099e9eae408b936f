#pragma once
// Small helpers over the platform shared by the other units: the application-data folder, the program's
// own name, the autostart entry, an elevated start, a coarse version code, code-page text and log texts.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/Errors.h"
#include "core/Rect.h"
#include "platform/RegistryPlatform.h"
#include "platform/ShellExecutePlatform.h"
#include "platform/SystemPlatform.h"

namespace tarnwick {

// The user's roaming application-data folder, without a trailing backslash.
// Raises EGeneralError "Cannot get CSIDL_APPDATA special folder!" when the shell cannot give it.
std::u16string GetAppDataFolder(ISystemPlatform& System);

// The program's own full path (its module's file name), however long; empty when it cannot be read.
std::u16string ProgramFileName(ISystemPlatform& System);
// The program's file name without folder and extension (the last extension only).
std::u16string GetExeBaseName(ISystemPlatform& System);
std::u16string ExeBaseNameOf(std::u16string_view Path);

// The program's own value name under the Run key: its autostart entry.
inline constexpr char16_t StartupValueName[] = u"Tarnwick";

// Adds, rewrites or removes the value Name under the Run (or RunOnce) key of the current user (or of
// the machine). The data is Command as given, less leading and trailing control characters and blanks.
// Never reports a failure: a key that cannot be opened means nothing happens.
struct TStartupEntryOptions {
    bool Remove = false;   // delete the value instead of writing it
    bool RunOnce = false;  // the RunOnce key instead of the Run key
    bool Force = false;    // write even when the value already holds exactly Command
    bool AllUsers = false; // HKEY_LOCAL_MACHINE instead of HKEY_CURRENT_USER
};
void SetStartupEntry(IRegistryPlatform& Registry, std::u16string_view Name, std::u16string_view Command,
                     const TStartupEntryOptions& Options = {});

// The user declined the elevation prompt (ERROR_CANCELLED): nothing was started, and that is no fault.
class EElevationDeclined : public EOSError {
public:
    using EOSError::EOSError;
};

// Starts FileName with Parameters through the shell's "runas" verb and returns once it has started, or,
// given ExitCode, once it has ended, with its exit code there. Raises EOSError with the thread's last
// error when the shell refuses, EElevationDeclined when the user declined the prompt.
void RunElevated(IShellExecutePlatform& Shell, ISystemPlatform& System, std::uintptr_t OwnerWindow,
                 const std::u16string& FileName, const std::u16string& Parameters,
                 std::uint32_t* ExitCode = nullptr);

// The major and minor version the platform reports (GetVersionExW with an OSVERSIONINFOW); 0.0 when it
// cannot be read. Every coarse answer to "which Windows is this" starts here.
struct TWindowsVersion {
    std::uint32_t Major = 0;
    std::uint32_t Minor = 0;
};
TWindowsVersion GetWindowsVersion(ISystemPlatform& System);

// 1 to 7 for Windows 4.0, 4.10, 4.90, 5.0, 5.1, 6.0 and 6.1; 0 for any other version.
std::uint8_t GetWindowsVersionCode(ISystemPlatform& System);
std::uint8_t WindowsVersionCodeOf(std::uint32_t Major, std::uint32_t Minor) noexcept;
// 6.2 and later, which the version code calls 0 like the versions it does not know.
bool IsNewerThanWindows7(TWindowsVersion Version) noexcept;

// Text in an 8-bit code page; characters the code page lacks become its default character.
std::string WideToCodePage(ISystemPlatform& System, std::u16string_view Text, std::uint16_t CodePage);

std::u16string BoolToText(bool Value);
std::u16string RectToText(const TRect& R);

} // namespace tarnwick
