// Started by the shell in the elevated-start test: writes the command line it was given (UTF-16) to the
// file named by TARNWICK_ECHO_FILE, so that the test can compare it.

#include <windows.h>

int main() {
    wchar_t path[MAX_PATH + 1] = {};
    if (GetEnvironmentVariableW(L"TARNWICK_ECHO_FILE", path, MAX_PATH + 1) == 0) {
        return 2;
    }
    const wchar_t* line = GetCommandLineW();
    const HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 3;
    }
    DWORD written = 0;
    WriteFile(file, line, DWORD(lstrlenW(line) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return 0;
}
