// Started by the desktop shell in the shell-execution test: leaves a file named after itself with
// ".started" appended, since a program the desktop shell starts does not share the test's environment.

#include <windows.h>

int main() {
    wchar_t path[MAX_PATH + 16] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return 2;
    }
    lstrcatW(path, L".started");
    const HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 3;
    }
    DWORD written = 0;
    WriteFile(file, "started", 7, &written, nullptr);
    CloseHandle(file);
    return 0;
}
