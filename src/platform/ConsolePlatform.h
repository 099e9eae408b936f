#pragma once
// The console seam: the standard output a parent handed over, and the console of the parent process,
// for a windowed program that answers on the command line. Each method is one platform call.

#include <cstdint>

namespace tarnwick {

using ConsoleHandle = std::uintptr_t;

// Named apart from the SDK's macros, since the Win32 adapter sees both (it checks they agree).
inline constexpr std::uint32_t StdOutputHandle = 0xFFFFFFF5; // (DWORD)-11
inline constexpr std::uint32_t AttachParentProcess = 0xFFFFFFFF;
inline constexpr ConsoleHandle InvalidConsoleHandle = ~ConsoleHandle(0);
inline constexpr std::uint32_t FileTypeUnknown = 0;
inline constexpr std::uint32_t FileTypeDisk = 1;
inline constexpr std::uint32_t FileTypeChar = 2;
inline constexpr std::uint32_t FileTypePipe = 3;

class IConsolePlatform {
public:
    virtual ~IConsolePlatform() = default;

    // 0 or InvalidConsoleHandle when the process has none.
    virtual ConsoleHandle GetStdHandle(std::uint32_t StdHandle) = 0;
    virtual std::uint32_t GetFileType(ConsoleHandle File) = 0;
    virtual bool GetConsoleMode(ConsoleHandle Console, std::uint32_t& Mode) = 0;
    virtual bool AttachConsole(std::uint32_t ProcessId) = 0;
    // CreateFileW("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, no security, OPEN_EXISTING):
    // the attached console's screen buffer, or InvalidConsoleHandle.
    virtual ConsoleHandle OpenConsoleOutput() = 0;
    virtual bool WriteConsoleW(ConsoleHandle Console, const char16_t* Text, std::uint32_t Length) = 0;
    virtual bool WriteFile(ConsoleHandle File, const char* Data, std::uint32_t Size) = 0;
    virtual bool CloseHandle(ConsoleHandle Handle) = 0;
};

} // namespace tarnwick
