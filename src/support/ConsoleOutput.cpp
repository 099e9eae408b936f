#include "support/ConsoleOutput.h"

#include "core/Text.h"

namespace tarnwick {

TConsoleOutput::~TConsoleOutput() {
    if (FOwnsHandle) {
        FConsole.CloseHandle(FHandle);
    }
}

bool TConsoleOutput::Available() {
    if (FTarget != TTarget::tgUnknown) {
        return FTarget != TTarget::tgNone;
    }
    FTarget = TTarget::tgNone;
    const ConsoleHandle output = FConsole.GetStdHandle(StdOutputHandle);
    if (output != 0 && output != InvalidConsoleHandle) {
        std::uint32_t mode = 0;
        const std::uint32_t type = FConsole.GetFileType(output);
        if (type == FileTypeChar && FConsole.GetConsoleMode(output, mode)) {
            FTarget = TTarget::tgConsole;
            FHandle = output;
            return true;
        }
        if (type == FileTypeDisk || type == FileTypePipe) {
            FTarget = TTarget::tgFile;
            FHandle = output;
            return true;
        }
    }
    // A windowed program gets no console of its own: borrow the one of the shell that started it.
    if (FConsole.AttachConsole(AttachParentProcess)) {
        const ConsoleHandle console = FConsole.OpenConsoleOutput();
        if (console != InvalidConsoleHandle) {
            FTarget = TTarget::tgConsole;
            FHandle = console;
            FOwnsHandle = true;
            // The shell has written its prompt already, since it does not wait for a windowed program.
            FConsole.WriteConsoleW(FHandle, u"\r\n", 2);
        }
    }
    return FTarget != TTarget::tgNone;
}

bool TConsoleOutput::Tell(std::u16string_view Text) {
    if (!Available()) {
        return false;
    }
    WriteLine(Text);
    return true;
}

void TConsoleOutput::WriteLine(std::u16string_view Text) {
    if (!Available()) {
        return;
    }
    std::u16string line(Text);
    line += u"\r\n";
    if (FTarget == TTarget::tgConsole) {
        FConsole.WriteConsoleW(FHandle, line.data(), static_cast<std::uint32_t>(line.size()));
    } else {
        const std::string bytes = ToUtf8(line);
        FConsole.WriteFile(FHandle, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    }
}

} // namespace tarnwick
