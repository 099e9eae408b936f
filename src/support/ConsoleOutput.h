#pragma once
// Where a windowed program's answers to the command line go: the file or pipe its caller redirected the
// standard output to (a script reading the answer), else the console of the process that started it.
// Started from Explorer there is neither, and nothing is written.

#include <string>
#include <string_view>

#include "platform/ConsolePlatform.h"

namespace tarnwick {

class TConsoleOutput {
public:
    explicit TConsoleOutput(IConsolePlatform& Console) noexcept : FConsole(Console) {}
    ~TConsoleOutput();
    TConsoleOutput(const TConsoleOutput&) = delete;
    TConsoleOutput& operator=(const TConsoleOutput&) = delete;

    // Finds the place on first use; true when there is one.
    bool Available();
    // The text and a line break: UTF-8 into a file or pipe, UTF-16 onto a console.
    void WriteLine(std::u16string_view Text);
    // A message for the person at the command line: the line when there is a place for it; false when
    // there is none (started from Explorer), and a box is to show it instead.
    bool Tell(std::u16string_view Text);

private:
    enum class TTarget { tgUnknown, tgNone, tgFile, tgConsole };

    IConsolePlatform& FConsole;
    TTarget FTarget = TTarget::tgUnknown;
    ConsoleHandle FHandle = 0;
    bool FOwnsHandle = false;
};

} // namespace tarnwick
