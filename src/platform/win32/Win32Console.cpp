#include "platform/win32/Win32Console.h"

#include <windows.h>

namespace tarnwick::win32 {

static_assert(StdOutputHandle == STD_OUTPUT_HANDLE);
static_assert(AttachParentProcess == ATTACH_PARENT_PROCESS);
static_assert(FileTypeUnknown == FILE_TYPE_UNKNOWN && FileTypeDisk == FILE_TYPE_DISK &&
              FileTypeChar == FILE_TYPE_CHAR && FileTypePipe == FILE_TYPE_PIPE);

namespace {

HANDLE ToHandle(ConsoleHandle Handle) {
    return reinterpret_cast<HANDLE>(Handle);
}

} // namespace

ConsoleHandle TWin32ConsolePlatform::GetStdHandle(std::uint32_t StdHandle) {
    return reinterpret_cast<ConsoleHandle>(::GetStdHandle(StdHandle));
}

std::uint32_t TWin32ConsolePlatform::GetFileType(ConsoleHandle File) {
    return ::GetFileType(ToHandle(File));
}

bool TWin32ConsolePlatform::GetConsoleMode(ConsoleHandle Console, std::uint32_t& Mode) {
    DWORD mode = 0;
    const bool ok = ::GetConsoleMode(ToHandle(Console), &mode) != FALSE;
    Mode = mode;
    return ok;
}

bool TWin32ConsolePlatform::AttachConsole(std::uint32_t ProcessId) {
    return ::AttachConsole(ProcessId) != FALSE;
}

ConsoleHandle TWin32ConsolePlatform::OpenConsoleOutput() {
    return reinterpret_cast<ConsoleHandle>(::CreateFileW(
        L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
}

bool TWin32ConsolePlatform::WriteConsoleW(ConsoleHandle Console, const char16_t* Text, std::uint32_t Length) {
    DWORD written = 0;
    return ::WriteConsoleW(ToHandle(Console), Text, Length, &written, nullptr) != FALSE;
}

bool TWin32ConsolePlatform::WriteFile(ConsoleHandle File, const char* Data, std::uint32_t Size) {
    DWORD written = 0;
    return ::WriteFile(ToHandle(File), Data, Size, &written, nullptr) != FALSE;
}

bool TWin32ConsolePlatform::CloseHandle(ConsoleHandle Handle) {
    return ::CloseHandle(ToHandle(Handle)) != FALSE;
}

} // namespace tarnwick::win32
