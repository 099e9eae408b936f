#pragma once
// The bytes a file holds now, read while the program under test may keep it open for writing or
// deleting; empty when it cannot be opened.

#include <windows.h>

#include <string>

#include "platform/win32/Win32Text.h"

namespace tarnwick::test {

inline std::string FileBytes(const std::u16string& path) {
    std::string bytes;
    const HANDLE file = ::CreateFileW(win32::AsWide(path), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    char buffer[512];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    ::CloseHandle(file);
    return bytes;
}

} // namespace tarnwick::test
