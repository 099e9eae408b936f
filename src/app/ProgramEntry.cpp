#include "app/ProgramEntry.h"

#include "app/CommandAnswers.h"
#include "app/ErrorExitCode.h"
#include "app/ProgramSupport.h"
#include "app/Uninstall.h"
#include "app/Unit1.h"
#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "device/DeviceInformationKt.h"
#include "device/MountControllerUnit.h"
#include "diag/DebugUnit.h"
#include "diag/EasyLog.h"
#include "instance/HandOver.h"
#include "instance/InstanceClaim.h"
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
// between the log and the debug information, the command-line, device, network and taskbar units after
// it; none of them has anything to start (the taskbar's shell object is made when first needed).
TUnitStartups::TUnitStartups(const TProgramPlatforms& Platforms) {
    try {
        InitializeEasyLog(Platforms.System, Platforms.Files);
        FStarted = TStage::Log;
        InitializeDebugUnit(Platforms.ProcessImage);
        FStarted = TStage::DebugInformation;
    } catch (...) {
        Shutdown();
        throw;
    }
}

TUnitStartups::~TUnitStartups() {
    Shutdown();
}

void TUnitStartups::Shutdown() noexcept {
    FinalizeGUIUtils(); // the taskbar-list object, if one was made
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

namespace {

constexpr char16_t UnreachableAdvice[] =
    u"Nothing has been done. End Tarnwick (Exit in the menu of its icon in the notification area, or "
    u"tarnwick.exe in Task Manager) and try again.";

// A later start: hands the command line to the running instance and gives the exit code, or none when
// the instance went away meanwhile and this start now holds the claim. An instance that cannot be reached
// raises EInstanceUnreachable.
std::optional<int> HandOverToInstance(const TProgramPlatforms& Platforms, const TCommand& Command,
                                      TInstanceClaim& Claim) {
    ISystemPlatform& system = Platforms.System;
    const bool action = Command.Action != TActionVerb::avNone;
    if (Command.SubscribeOnStartup) {
        // Registering needs no instance; only an action goes on to it.
        SubscribeOnStartup(Platforms.Registry, system);
        if (!action) {
            return ecDone;
        }
    }
    const THandOverResult handOver =
        HandOverCommandLine(Platforms.Instance, Platforms.Windows, MainWindowClassName,
                            system.GetCommandLineW(), [&Claim] { return Claim.Claim(); });
    switch (handOver.Outcome) {
    case THandOverOutcome::hoBecameInstance:
        return std::nullopt;
    case THandOverOutcome::hoAccepted:
        return handOver.ExitCode;
    case THandOverOutcome::hoRefused:
        // The instance runs elevated. Its window may still be shown; an action goes through the elevation
        // prompt to an elevated copy, which hands it over at the instance's own level.
        if (!action) {
            Platforms.Windows.PostMessageW(
                handOver.Window, Platforms.Gui.RegisterWindowMessageW(ShowMainWindowMessageName), 0, 0);
            return ecDone;
        }
        if (!Command.Elevation) {
            RunElevated(Platforms.ShellExecute, system, 0, ProgramFileName(system),
                        ElevatedCopyParameters(Command));
            return ecDone;
        }
        throw EInstanceUnreachable(
            u"Tarnwick is already running, with rights that do not let this start hand "
            u"it the command line. " +
            std::u16string(UnreachableAdvice));
    case THandOverOutcome::hoNoAnswer:
        break;
    }
    throw EInstanceUnreachable(u"Tarnwick is already running but does not answer. " +
                               std::u16string(UnreachableAdvice));
}

// -quit: hands the instance this program's own file name, so that only an instance running from the very
// same file ends, and waits until it has gone (its claim is free), so that an installer can replace or
// remove the file.
int QuitInstance(const TProgramPlatforms& Platforms, TInstanceClaim& Claim) {
    constexpr int Tries = 100; // 10 s
    constexpr std::uint32_t Pause = 100;
    if (Claim.Owned()) {
        return ecDone; // none runs
    }
    const std::u16string commandLine = u"\"" + ProgramFileName(Platforms.System) + u"\" -quit";
    const THandOverResult handOver =
        HandOverCommandLine(Platforms.Instance, Platforms.Windows, MainWindowClassName, commandLine,
                            [&Claim] { return Claim.Claim(); });
    if (handOver.Outcome == THandOverOutcome::hoBecameInstance ||
        (handOver.Outcome == THandOverOutcome::hoAccepted && handOver.ExitCode == QuitRunsElsewhere)) {
        return ecDone;
    }
    if (handOver.Outcome == THandOverOutcome::hoAccepted) {
        for (int i = 0; i < Tries; ++i) {
            if (Claim.Claim()) {
                return ecDone;
            }
            Platforms.Instance.Sleep(Pause);
        }
    }
    WriteToLog(
        u"The running Tarnwick could not be ended (it runs with other rights, or did not end in time).");
    return ecNotEnded;
}

} // namespace

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
    // The one reading of the command line: the tray instance carries out this command.
    const TCommand command = ParseCommandLine(system, ProcessArguments(system));
    // A failure before the tray: logged, told (on the console when there is one) and given as exit code.
    const auto failed = [&](const std::exception_ptr& Error) {
        const std::u16string message = ExceptionMessage(Error);
        WriteToLog(message);
        Tell({Platforms.Devices, Platforms.Registry, Platforms.Windows, console}, message,
             MB_OK | MB_ICONSTOP);
        return ExitCodeOf(Error);
    };
    if (!command.Refused() && command.Uninstall) {
        return EndPendingForUninstall(Platforms.Devices, Platforms.Registry, Platforms.Scheduler);
    }
    if (command.AnsweredWithoutTray()) {
        try {
            if (const auto code = AnswerWithoutTray(
                    command, {Platforms.Devices, Platforms.Registry, Platforms.Windows, console})) {
                return *code;
            }
        } catch (...) {
            return failed(std::current_exception());
        }
    }
    // One instance per user session: a later start hands its command line over and ends.
    TInstanceClaim claim(Platforms.Instance);
    if (command.Quit && !command.Refused()) {
        return QuitInstance(Platforms, claim);
    }
    if (!claim.Owned()) {
        try {
            if (const auto result = HandOverToInstance(Platforms, command, claim)) {
                return *result;
            }
        } catch (...) {
            return failed(std::current_exception());
        }
    }
    int exitCode = ecDone;
    {
        TApplication application(Platforms.Windows, Platforms.WindowFactory, Platforms.Gui, ApplicationTitle);
        application.OnMessageLoopError = [&Platforms](std::uint32_t Error) {
            WriteToLog(FormatText(u"A message could not be received (error %u: %s); the program goes on",
                                  {std::uint64_t(Error), Platforms.Windows.SysErrorMessage(Error)}));
        };
        const TForm1Platforms formPlatforms{
            Platforms.Shell,    Platforms.System, Platforms.Registry, Platforms.ShellExecute,
            Platforms.Devices,  Platforms.Clock,  &console,           &claim,
            Platforms.Scheduler};
        try {
            TOwned<TForm1> mainForm =
                MakeComponent<TForm1>(application, &application, formPlatforms, command);
            application.SetMainForm(mainForm.get());
            application.Run();
            exitCode = mainForm->ExitCode();
            if (application.LoopFailed()) {
                WriteToLog(u"The program ends: its messages could no longer be received");
                exitCode = 1;
            }
            // Destroying the main window removes the tray icon.
        } catch (...) {
            application.ShowException(ExceptionMessage(std::current_exception()));
            return 1;
        }
    }
    return exitCode;
}

} // namespace tarnwick
