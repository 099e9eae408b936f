#include "app/ProgramEntry.h"

#include "app/ProgramSupport.h"
#include "app/Unit1.h"
#include "core/PlatformConstants.h"
#include "device/DeviceInformationKt.h"
#include "device/MountControllerUnit.h"
#include "diag/DebugUnit.h"
#include "diag/EasyLog.h"
#include "instance/HandOver.h"
#include "instance/InstanceClaim.h"
#include "support/SupportUtils.h"
#include "toolkit/Application.h"
#include "tray/GUIUtils.h"

namespace tarnwick {

// The start-ups that do something, in the program's order. The timer, tray and performance units come
// between the log and the debug information, the command-line, device and network units between the
// debug information and the taskbar; none of them has anything to start.
TUnitStartups::TUnitStartups(const TProgramPlatforms& Platforms) {
    try {
        InitializeEasyLog(Platforms.System, Platforms.Files);
        FStarted = 1;
        InitializeDebugUnit(Platforms.ProcessImage);
        FStarted = 2;
        InitializeGUIUtils(Platforms.Shell, Platforms.Windows, GetWindowsVersionCode(Platforms.System));
        FStarted = 3;
    } catch (...) {
        Shutdown();
        throw;
    }
}

TUnitStartups::~TUnitStartups() {
    Shutdown();
}

void TUnitStartups::Shutdown() noexcept {
    if (FStarted >= 3) {
        FinalizeGUIUtils(); // the taskbar-list object
    }
    // The device unit's measurement registry and volume controller exist only once used.
    FinalizeMountControllerUnit();
    FinalizeDeviceInformationKt();
    if (FStarted >= 2) {
        FinalizeDebugUnit();
    }
    if (FStarted >= 1) {
        FinalizeEasyLog();
    }
    FStarted = 0;
}

namespace {

// A later start: hands the command line to the running instance and gives the exit code, or none when
// the instance went away meanwhile and this start now holds the claim.
std::optional<int> HandOverToInstance(const TProgramPlatforms& Platforms, TInstanceClaim& Claim) {
    ISystemPlatform& system = Platforms.System;
    const TArguments arguments = ProcessArguments(system);
    const bool action = HasAction(arguments);
    if (SwitchPresent(arguments, u"subscribeonstartup")) {
        // Registering needs no instance; only an action goes on to it.
        SubscribeOnStartup(Platforms.Registry, system);
        if (!action) {
            return ActionDone;
        }
    }
    const THandOverResult handOver =
        HandOverCommandLine(Platforms.Instance, Platforms.Windows, MainWindowClassName,
                            system.GetCommandLineW(), [&Claim] { return Claim.Claim(); });
    switch (handOver.Outcome) {
    case THandOverOutcome::hoBecameInstance:
        return std::nullopt;
    case THandOverOutcome::hoAccepted:
        return handOver.Result;
    case THandOverOutcome::hoRefused: {
        // The instance runs elevated. Its window may still be shown; an action goes through the elevation
        // prompt to an elevated copy, which hands it over at the instance's own level.
        if (!action) {
            Platforms.Windows.PostMessageW(
                handOver.Window, Platforms.Gui.RegisterWindowMessageW(ShowMainWindowMessageName), 0, 0);
            return ActionDone;
        }
        if (SwitchPresent(arguments, u"elevation")) {
            break;
        }
        std::u16string parameters = u"-elevation ";
        parameters += ParametersOf(arguments);
        RunElevated(Platforms.ShellExecute, system, 0, ProgramFileName(system), parameters);
        return ActionDone;
    }
    case THandOverOutcome::hoNoAnswer:
        break;
    }
    return ActionFailed;
}

} // namespace

int RunProgram(const TProgramPlatforms& Platforms) {
    // A later start needs none of the units: it only hands its command line over.
    TInstanceClaim claim(Platforms.Instance);
    if (!claim.Owned()) {
        try {
            if (const auto result = HandOverToInstance(Platforms, claim)) {
                return *result;
            }
        } catch (...) {
            Platforms.Windows.MessageBoxW(0, ExceptionMessage(std::current_exception()), ApplicationTitle,
                                          MB_OK | MB_ICONSTOP);
            return 1;
        }
    }
    std::unique_ptr<TUnitStartups> units;
    try {
        units = std::make_unique<TUnitStartups>(Platforms);
    } catch (...) {
        Platforms.Windows.MessageBoxW(0, ExceptionMessage(std::current_exception()), ApplicationTitle,
                                      MB_OK | MB_ICONSTOP);
        return 1;
    }
    {
        TApplication application(Platforms.Windows, Platforms.WindowFactory, Platforms.Gui);
        application.SetTitle(ApplicationTitle);
        const TForm1Platforms formPlatforms{Platforms.Shell,
                                            Platforms.System,
                                            Platforms.Registry,
                                            Platforms.ShellExecute,
                                            Platforms.Devices,
                                            Platforms.Clock,
                                            &claim};
        try {
            TOwned<TForm1> mainForm = MakeComponent<TForm1>(application, &application, formPlatforms);
            application.SetMainForm(mainForm.get());
            application.Run();
            // Destroying the main window removes the tray icon.
        } catch (...) {
            application.ShowException(ExceptionMessage(std::current_exception()));
            return 1;
        }
    }
    return 0;
}

} // namespace tarnwick
