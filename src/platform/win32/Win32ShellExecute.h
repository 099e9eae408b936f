#pragma once
// The shell-execution seam on Windows.

#include "platform/ShellExecutePlatform.h"

namespace tarnwick::win32 {

class TWin32ShellExecutePlatform final : public IShellExecutePlatform {
public:
    bool ShellExecuteExW(SHELLEXECUTEINFOW& ExecInfo) override;
};

} // namespace tarnwick::win32
