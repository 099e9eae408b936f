// Calls RunElevated for the elevated-start test, in a process of its own: under Wine the shell starts the
// program and then faults inside the caller. The program, the parameters and the file for the outcome come
// from TARNWICK_RUNAS_FILE, TARNWICK_RUNAS_PARAMETERS and TARNWICK_RUNAS_RESULT.

#include <windows.h>

#include <string>

#include "core/Errors.h"
#include "core/Text.h"
#include "platform/win32/Win32ShellExecute.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32Text.h"
#include "support/SupportUtils.h"

namespace {

std::u16string Environment(const wchar_t* name) {
    wchar_t value[4096] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 4096);
    return length < 4096 ? tarnwick::win32::FromWide(value) : std::u16string();
}

void Report(const std::u16string& path, const std::string& outcome) {
    const HANDLE file = CreateFileW(tarnwick::win32::AsWide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, outcome.data(), DWORD(outcome.size()), &written, nullptr);
        CloseHandle(file);
    }
}

} // namespace

int main() {
    const std::u16string result = Environment(L"TARNWICK_RUNAS_RESULT");
    tarnwick::win32::TWin32ShellExecutePlatform shell;
    tarnwick::win32::TWin32SystemPlatform system;
    try {
        tarnwick::RunElevated(shell, system, 0, Environment(L"TARNWICK_RUNAS_FILE"),
                              Environment(L"TARNWICK_RUNAS_PARAMETERS"));
        Report(result, "returned");
    } catch (const tarnwick::EOSError& e) {
        Report(result, "EOSError " + std::to_string(e.ErrorCode()) + "\n" + tarnwick::ToUtf8(e.Message()));
    }
    return 0;
}
