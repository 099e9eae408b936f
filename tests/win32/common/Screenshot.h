#pragma once
// Asks the desktop runner for a screenshot of the whole screen and keeps the windows painting while it
// is taken. Without the runner (TARNWICK_SHOT_DIR unset) nothing happens.

#include <windows.h>

#include <string>

#include "tests/win32/common/MessageLoop.h"

namespace tarnwick::test {

// True when the runner took the screenshot.
inline bool TakeScreenshot(const std::wstring& name) {
    wchar_t dir[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"TARNWICK_SHOT_DIR", dir, MAX_PATH)) {
        return false;
    }
    const std::wstring request = std::wstring(dir) + L"\\shot.request";
    const std::wstring done = std::wstring(dir) + L"\\shot.done";
    ::DeleteFileW(done.c_str());
    PumpMessages(500); // let the windows and the taskbar paint first
    const std::wstring partial = request + L".part";
    HANDLE file = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const std::string utf8(name.begin(), name.end()); // plain ASCII names
    DWORD written = 0;
    ::WriteFile(file, utf8.data(), DWORD(utf8.size()), &written, nullptr);
    ::CloseHandle(file);
    ::MoveFileW(partial.c_str(), request.c_str());
    bool taken = false;
    PumpMessages(20000, [&] {
        taken = ::GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES;
        return taken;
    });
    ::DeleteFileW(done.c_str());
    return taken;
}

} // namespace tarnwick::test
