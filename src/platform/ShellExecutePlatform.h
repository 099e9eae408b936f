#pragma once
// The shell-execution seam: starting a program through the shell with a verb.

#include <cstdint>

namespace tarnwick {

// SHELLEXECUTEINFOW as the platform lays it out on 64-bit Windows.
struct SHELLEXECUTEINFOW {
    std::uint32_t cbSize;
    std::uint32_t fMask;
    std::uintptr_t hwnd;
    const char16_t* lpVerb;
    const char16_t* lpFile;
    const char16_t* lpParameters;
    const char16_t* lpDirectory;
    std::int32_t nShow;
    std::uintptr_t hInstApp;
    void* lpIDList;
    const char16_t* lpClass;
    std::uintptr_t hkeyClass;
    std::uint32_t dwHotKey;
    std::uintptr_t hIconOrMonitor;
    std::uintptr_t hProcess;
};
static_assert(sizeof(SHELLEXECUTEINFOW) == 112);

class IShellExecutePlatform {
public:
    virtual ~IShellExecutePlatform() = default;

    // The shell writes hInstApp and, when asked for, hProcess back into ExecInfo.
    virtual bool ShellExecuteExW(SHELLEXECUTEINFOW& ExecInfo) = 0;
    // ShellExecuteW: the shell's result, above 32 on success. A null text is passed as no text.
    virtual std::uintptr_t ShellExecuteW(std::uintptr_t hwnd, const char16_t* lpOperation,
                                         const char16_t* lpFile, const char16_t* lpParameters,
                                         const char16_t* lpDirectory, std::int32_t nShowCmd) = 0;
    // Opens lpFile with the verb lpOperation through the desktop shell's own process (the shell's
    // dispatch object of the desktop window, IShellDispatch2::ShellExecute), so that it runs with the
    // rights of the user's shell instead of the caller's. False when no desktop shell answered or it
    // refused.
    virtual bool ShellExecuteFromDesktop(const char16_t* lpOperation, const char16_t* lpFile,
                                         std::int32_t nShowCmd) = 0;
    // WaitForSingleObject (no time-out) on a process that ShellExecuteExW handed back, GetExitCodeProcess,
    // then CloseHandle. False when its exit code cannot be read.
    virtual bool WaitForProcessExit(std::uintptr_t hProcess, std::uint32_t& ExitCode) = 0;
};

} // namespace tarnwick
