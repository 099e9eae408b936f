#include "platform/win32/Win32ShellExecute.h"

#include <windows.h>
// clang-format off
#include <shellapi.h>
// clang-format on

#include "platform/win32/Win32Text.h"

namespace tarnwick::win32 {

static_assert(sizeof(::SHELLEXECUTEINFOW) == sizeof(tarnwick::SHELLEXECUTEINFOW));

bool TWin32ShellExecutePlatform::ShellExecuteExW(SHELLEXECUTEINFOW& ExecInfo) {
    ::SHELLEXECUTEINFOW info{};
    info.cbSize = ExecInfo.cbSize;
    info.fMask = ExecInfo.fMask;
    info.hwnd = reinterpret_cast<HWND>(ExecInfo.hwnd);
    info.lpVerb = AsWide(ExecInfo.lpVerb);
    info.lpFile = AsWide(ExecInfo.lpFile);
    info.lpParameters = AsWide(ExecInfo.lpParameters);
    info.lpDirectory = AsWide(ExecInfo.lpDirectory);
    info.nShow = ExecInfo.nShow;
    info.lpIDList = ExecInfo.lpIDList;
    info.lpClass = AsWide(ExecInfo.lpClass);
    info.hkeyClass = reinterpret_cast<HKEY>(ExecInfo.hkeyClass);
    info.dwHotKey = ExecInfo.dwHotKey;
    info.hIcon = reinterpret_cast<HANDLE>(ExecInfo.hIconOrMonitor);
    const BOOL ok = ::ShellExecuteExW(&info);
    ExecInfo.hInstApp = reinterpret_cast<std::uintptr_t>(info.hInstApp);
    ExecInfo.hProcess = reinterpret_cast<std::uintptr_t>(info.hProcess);
    return ok != FALSE;
}

std::uintptr_t TWin32ShellExecutePlatform::ShellExecuteW(std::uintptr_t hwnd, const char16_t* lpOperation,
                                                         const char16_t* lpFile, const char16_t* lpParameters,
                                                         const char16_t* lpDirectory, std::int32_t nShowCmd) {
    return reinterpret_cast<std::uintptr_t>(::ShellExecuteW(reinterpret_cast<HWND>(hwnd), AsWide(lpOperation),
                                                            AsWide(lpFile), AsWide(lpParameters),
                                                            AsWide(lpDirectory), nShowCmd));
}

bool TWin32ShellExecutePlatform::WaitForProcessExit(std::uintptr_t hProcess, std::uint32_t& ExitCode) {
    const HANDLE process = reinterpret_cast<HANDLE>(hProcess);
    DWORD code = 0;
    const bool ok = ::WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0 &&
                    ::GetExitCodeProcess(process, &code) != FALSE;
    ::CloseHandle(process);
    ExitCode = code;
    return ok;
}

} // namespace tarnwick::win32
