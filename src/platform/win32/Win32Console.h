#pragma once
// The console seam on Windows.

#include "platform/ConsolePlatform.h"

namespace tarnwick::win32 {

class TWin32ConsolePlatform : public IConsolePlatform {
public:
    ConsoleHandle GetStdHandle(std::uint32_t StdHandle) override;
    std::uint32_t GetFileType(ConsoleHandle File) override;
    bool GetConsoleMode(ConsoleHandle Console, std::uint32_t& Mode) override;
    bool AttachConsole(std::uint32_t ProcessId) override;
    ConsoleHandle OpenConsoleOutput() override;
    bool WriteConsoleW(ConsoleHandle Console, const char16_t* Text, std::uint32_t Length) override;
    bool WriteFile(ConsoleHandle File, const char* Data, std::uint32_t Size) override;
    bool CloseHandle(ConsoleHandle Handle) override;
};

} // namespace tarnwick::win32
