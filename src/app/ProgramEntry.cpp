#include "app/ProgramEntry.h"

#include "app/CommandAnswers.h"
#include "app/ProgramSupport.h"
#include "app/Unit1.h"
#include "core/PlatformConstants.h"
#include "device/DeviceInformationKt.h"
#include "device/MountControllerUnit.h"
#include "diag/DebugUnit.h"
#include "diag/EasyLog.h"
#include "support/ConsoleOutput.h"
#include "support/EasyCmdLine.h"
#include "support/SupportUtils.h"
#include "toolkit/Application.h"
#include "tray/GUIUtils.h"

namespace tarnwick {

namespace {

// Stands in for a console platform when the program is given none: nothing to write to.
class TNoConsole : public IConsolePlatform {
public:
    ConsoleHandle GetStdHandle(std::uint32_t) override { return 0; }
    std::uint32_t GetFileType(ConsoleHandle) override { return FileTypeUnknown; }
    bool GetConsoleMode(ConsoleHandle, std::uint32_t&) override { return false; }
    bool AttachConsole(std::uint32_t) override { return false; }
    ConsoleHandle OpenConsoleOutput() override { return InvalidConsoleHandle; }
    bool WriteConsoleW(ConsoleHandle, const char16_t*, std::uint32_t) override { return false; }
    bool WriteFile(ConsoleHandle, const char*, std::uint32_t) override { return false; }
    bool CloseHandle(ConsoleHandle) override { return false; }
};

} // namespace

// The start-ups that do something, in the program's order. The timer, tray and performance units come
// between the log and the debug information, the command-line, device and network units between the
// debug information and the taskbar; none of them has anything to start.
TUnitStartups::TUnitStartups(const TProgramPlatforms& Platforms) {
    try {
        InitializeEasyLog(Platforms.System, Platforms.Files);
        FStarted = TStage::Log;
        InitializeDebugUnit(Platforms.ProcessImage);
        FStarted = TStage::DebugInformation;
        InitializeGUIUtils(Platforms.Shell, Platforms.Windows, GetWindowsVersionCode(Platforms.System));
        FStarted = TStage::TaskbarList;
    } catch (...) {
        Shutdown();
        throw;
    }
}

TUnitStartups::~TUnitStartups() {
    Shutdown();
}

void TUnitStartups::Shutdown() noexcept {
    if (FStarted >= TStage::TaskbarList) {
        FinalizeGUIUtils(); // the taskbar-list object
    }
    // The device unit's measurement registry and volume controller exist only once used.
    FinalizeMountControllerUnit();
    FinalizeDeviceInformationKt();
    if (FStarted >= TStage::DebugInformation) {
        FinalizeDebugUnit();
    }
    if (FStarted >= TStage::Log) {
        FinalizeEasyLog();
    }
    FStarted = TStage::None;
}

int RunProgram(const TProgramPlatforms& Platforms) {
    std::unique_ptr<TUnitStartups> units;
    try {
        units = std::make_unique<TUnitStartups>(Platforms);
    } catch (...) {
        Platforms.Windows.MessageBoxW(0, ExceptionMessage(std::current_exception()), ApplicationTitle,
                                      MB_OK | MB_ICONSTOP);
        return 1;
    }
    TNoConsole noConsole;
    TConsoleOutput console(Platforms.Console ? *Platforms.Console : noConsole);
    ISystemPlatform& system = Platforms.System;
    const TCommand command =
        ParseCommand(ProcessArguments(system), [&system](const std::u16string& A, const std::u16string& B) {
            return SameTextLocale(system, A, B);
        });
    if (command.AnsweredWithoutTray()) {
        try {
            if (const auto code = AnswerWithoutTray(
                    command, {Platforms.Devices, Platforms.Registry, Platforms.Windows, console})) {
                return *code;
            }
        } catch (...) {
            const std::u16string message = ExceptionMessage(std::current_exception());
            WriteToLog(message);
            Tell({Platforms.Devices, Platforms.Registry, Platforms.Windows, console}, message,
                 MB_OK | MB_ICONSTOP);
            return ExitCodeOf(std::current_exception());
        }
    }
    int exitCode = ecDone;
    {
        TApplication application(Platforms.Windows, Platforms.WindowFactory, Platforms.Gui);
        application.SetTitle(ApplicationTitle);
        const TForm1Platforms formPlatforms{Platforms.Shell,        Platforms.System,  Platforms.Registry,
                                            Platforms.ShellExecute, Platforms.Devices, &console};
        try {
            TOwned<TForm1> mainForm = MakeComponent<TForm1>(application, &application, formPlatforms);
            application.SetMainForm(mainForm.get());
            application.Run();
            exitCode = mainForm->ExitCode();
            // Destroying the main window removes the tray icon.
        } catch (...) {
            application.ShowException(ExceptionMessage(std::current_exception()));
            return 1;
        }
    }
    return exitCode;
}

} // namespace tarnwick
