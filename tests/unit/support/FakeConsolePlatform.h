#pragma once
// A console seam that plays one of the places a start can be in: started from Explorer (no console),
// from a console shell (its console is attachable), or with its output redirected to a file or pipe.

#include <string>

#include "core/Text.h"
#include "platform/ConsolePlatform.h"

namespace tarnwick::testing {

class FakeConsolePlatform : public IConsolePlatform {
public:
    enum class TPlace { None, ParentConsole, Redirected };
    TPlace Place = TPlace::None;

    std::u16string ConsoleText; // what reached the console
    std::string FileBytes;      // what reached the redirected file
    int OpenHandles = 0;

    ConsoleHandle GetStdHandle(std::uint32_t StdHandle) override {
        return Place == TPlace::Redirected && StdHandle == StdOutputHandle ? FileHandle : 0;
    }
    std::uint32_t GetFileType(ConsoleHandle File) override {
        return File == FileHandle ? FileTypePipe : FileTypeUnknown;
    }
    bool GetConsoleMode(ConsoleHandle Console, std::uint32_t& Mode) override {
        Mode = 3;
        return Console == ConsoleBuffer;
    }
    bool AttachConsole(std::uint32_t ProcessId) override {
        return Place == TPlace::ParentConsole && ProcessId == AttachParentProcess;
    }
    ConsoleHandle OpenConsoleOutput() override {
        if (Place != TPlace::ParentConsole) {
            return InvalidConsoleHandle;
        }
        ++OpenHandles;
        return ConsoleBuffer;
    }
    bool WriteConsoleW(ConsoleHandle Console, const char16_t* Text, std::uint32_t Length) override {
        if (Console != ConsoleBuffer) {
            return false;
        }
        ConsoleText.append(Text, Length);
        return true;
    }
    bool WriteFile(ConsoleHandle File, const char* Data, std::uint32_t Size) override {
        if (File != FileHandle) {
            return false;
        }
        FileBytes.append(Data, Size);
        return true;
    }
    bool CloseHandle(ConsoleHandle Handle) override {
        if (Handle == ConsoleBuffer) {
            --OpenHandles;
        }
        return true;
    }
    // Whatever was written, wherever it went, as text.
    std::u16string Output() const { return ConsoleText + FromUtf8(FileBytes); }

private:
    static constexpr ConsoleHandle FileHandle = 0x44;
    static constexpr ConsoleHandle ConsoleBuffer = 0x88;
};

} // namespace tarnwick::testing
