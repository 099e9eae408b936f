#pragma once
// The shell-execution seam on Windows.

#include "platform/ShellExecutePlatform.h"

namespace tarnwick::win32 {

class TWin32ShellExecutePlatform final : public IShellExecutePlatform {
public:
    bool ShellExecuteExW(SHELLEXECUTEINFOW& ExecInfo) override;
    std::uintptr_t ShellExecuteW(std::uintptr_t hwnd, const char16_t* lpOperation, const char16_t* lpFile,
                                 const char16_t* lpParameters, const char16_t* lpDirectory,
                                 std::int32_t nShowCmd) override;
    bool ShellExecuteFromDesktop(const char16_t* lpOperation, const char16_t* lpFile,
                                 std::int32_t nShowCmd) override;
    bool WaitForProcessExit(std::uintptr_t hProcess, std::uint32_t& ExitCode) override;
};

} // namespace tarnwick::win32
