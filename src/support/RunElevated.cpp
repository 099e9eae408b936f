#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "support/SupportUtils.h"

namespace tarnwick {

void RunElevated(IShellExecutePlatform& Shell, ISystemPlatform& System, std::uintptr_t OwnerWindow,
                 const std::u16string& FileName, const std::u16string& Parameters, std::uint32_t* ExitCode) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(SHELLEXECUTEINFOW);
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC | (ExitCode ? SEE_MASK_NOCLOSEPROCESS : 0);
    info.hwnd = OwnerWindow;
    info.lpVerb = u"runas";
    info.lpFile = FileName.c_str();
    info.lpParameters = Parameters.c_str();
    info.nShow = std::int32_t(SW_SHOWNORMAL);
    if (Shell.ShellExecuteExW(info)) {
        if (ExitCode) {
            // No process when the shell handed the start to one that was running already: nothing to tell.
            *ExitCode = 0;
            if (info.hProcess != 0 && !Shell.WaitForProcessExit(info.hProcess, *ExitCode)) {
                *ExitCode = 0;
            }
        }
        return;
    }
    const std::uint32_t code = System.GetLastError();
    if (code == 0) {
        throw EOSError(u"A call to an OS function failed", 0);
    }
    std::u16string message =
        FormatText(u"System Error.  Code: %d.\r\n%s",
                   {std::int64_t(std::int32_t(code)), std::u16string_view(System.SysErrorMessage(code))});
    if (code == ERROR_CANCELLED) {
        throw EElevationDeclined(std::move(message), code);
    }
    throw EOSError(std::move(message), code);
}

} // namespace tarnwick
