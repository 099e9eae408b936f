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
    EOSError error = LastOsError(code, code == 0 ? std::u16string() : System.SysErrorMessage(code));
    if (code == ERROR_CANCELLED) {
        throw EElevationDeclined(error.Message(), code);
    }
    throw error;
}

} // namespace tarnwick
