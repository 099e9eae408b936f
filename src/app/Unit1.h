#pragma once
// TForm1: the program's one main window. It lives hidden beside the notification area, shows whether the
// internet is on, switches it off or on (for a while or for good), turns it off again when a limited
// turn-on runs out, carries out the command line's action, and on Windows versions that need it hands
// every switch to an elevated copy of the program.

#include <cstdint>
#include <memory>
#include <string>

#include "app/Command.h"
#include "netcore/SwitchReport.h"
#include "platform/DevicePlatform.h"
#include "platform/RegistryPlatform.h"
#include "platform/ShellExecutePlatform.h"
#include "platform/ShellPlatform.h"
#include "platform/SystemPlatform.h"
#include "support/ConsoleOutput.h"
#include "support/EasyCmdLine.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Form.h"
#include "toolkit/Icon.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Timer.h"
#include "tray/gototray.h"

namespace tarnwick {

// What the main window asks of the system besides the toolkit's windows.
struct TForm1Platforms {
    IShellPlatform& Shell;
    ISystemPlatform& System;
    IRegistryPlatform& Registry;
    IShellExecutePlatform& ShellExecute;
    IDevicePlatform& Devices;
    // Where a start with -exit reports to the command line; none: message boxes.
    TConsoleOutput* Console = nullptr;
};

inline constexpr char16_t MainWindowClassName[] = u"TForm1";

// How a switch of the main window ended.
enum class TSwitchResultKind : std::uint8_t {
    Switched,             // every adapter took the change; the balloon was shown
    PartlyFailed,         // at least one adapter refused; the box named it
    HandedToElevatedCopy, // an elevated copy of the program does the switch; this one ends
    ElevationDeclined     // the user declined the elevation prompt; nothing was switched
};

struct TSwitchResult {
    TSwitchResultKind Kind = TSwitchResultKind::Switched;
    TSwitchReport Report; // empty unless this process switched
};

class TForm1 : public TForm {
public:
    // Builds the window from its design far above the screens, the tray object and the state icons; adds
    // no tray icon yet.
    TForm1(TApplication& Application, TComponent* AOwner, const TForm1Platforms& Platforms);
    // Removes the tray icon and releases what the constructor made.
    ~TForm1() override;

    // The designed controls, in their declaration order.
    TOwned<TButton> btnSwitch;
    TOwned<TImage> imgInternetOn;
    TOwned<TLabel> lblState;
    TOwned<TPopupMenu> TrayMenu;
    TOwned<TMenuItem> Exit1;
    TOwned<TImage> imgTarnwick;
    TOwned<TMenuItem> About1;
    TOwned<TMenuItem> N1;
    TOwned<TPopupMenu> TurnOnMenu;
    TOwned<TMenuItem> urnonfor5min1;
    TOwned<TMenuItem> urnonfor15min1;
    TOwned<TMenuItem> urnonfor30min1;
    TOwned<TMenuItem> urnonforanhour1;
    TOwned<TMenuItem> Justturnon1;
    TOwned<TMenuItem> N2;
    TOwned<TTimer> TurnOffTimer;

    void FormActivate(TComponent& Sender);
    void FormShow(TComponent& Sender);
    void FormCloseQuery(TComponent& Sender, bool& CanClose);
    void btnSwitchClick(TComponent& Sender);
    // Shared by the turn-on items: the item's tag is the number of minutes, 0 for good.
    void urnonfor5min1Click(TComponent& Sender);
    void About1Click(TComponent& Sender);
    void Exit1Click(TComponent& Sender);
    void TurnOffTimerTimer(TComponent& Sender);

    bool Activated() const noexcept { return FActivated; }
    bool IsExitingProgram() const noexcept { return FIsExitingProgram; }
    // The exit code of the command line's action (ecDone until one has been carried out).
    int ExitCode() const noexcept { return FExitCode; }
    // Carries out the action of a command line (element 0 the program) and gives its exit code. A refused
    // command line is told and changes nothing.
    int CarryOutAction(const TArguments& Arguments);
    TTunerTray& Tray() const noexcept { return *FTray; }
    const TIcon& TarnwickIcon() const noexcept { return FTarnwickIcon; }
    const TIcon& InternetOnIcon() const noexcept { return FInternetOnIcon; }
    // The registered message the shell broadcasts when its taskbar is made again (0: none).
    std::uint32_t TaskbarCreatedMessage() const noexcept { return FTaskbarCreatedMessage; }

protected:
    // WM_KILLFOCUS, WM_QUERYENDSESSION, WM_DEVICECHANGE, the tray's two messages and "TaskbarCreated";
    // everything else goes to the form.
    std::intptr_t WndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) override;
    TCreateParams CreateParams() override;

    // The switch entry points: turn on for Minutes (0: for good) or off, for the one who asked.
    TSwitchResult SwitchOn(std::int32_t Minutes, TSwitchRequester Requester);
    TSwitchResult SwitchOff(TSwitchRequester Requester);
    // Off now, and on again after the minutes (0: for good).
    TSwitchResult SwitchOffFor(std::int32_t Minutes, TSwitchRequester Requester);

private:
    void BuildDesign();
    void UpdateStateDisplay();
    bool NeedsElevation();
    TSwitchResult RelaunchElevated(const std::u16string& Verb, const std::u16string& Argument);
    // The balloon when every adapter took the change, otherwise the box naming those that did not.
    TSwitchResultKind TellOutcome(const TSwitchReport& Report, const std::u16string& Notice,
                                  const std::u16string& Title);
    void ShowMessageBox(const std::u16string& Text, std::uint32_t Flags);
    void ArmTimer(std::int32_t Minutes, bool TurnsOn);
    void EndAfterDeadline(int ExitCode);
    void WMTrayCallback(std::intptr_t MouseMessage);

    TForm1Platforms FPlatforms;
    std::unique_ptr<TTunerTray> FTray;
    bool FActivated = false;
    TIcon FTarnwickIcon;
    TIcon FInternetOnIcon;
    bool FIsExitingProgram = false;
    // The running timer ends a pause (turns on) rather than a limited turn-on (turns off).
    bool FTimerTurnsOn = false;
    // The command being carried out: a relaunch hands on its -exit.
    const TCommand* FCommand = nullptr;
    int FExitCode = ecDone;
    int FElevatedCopyExitCode = ecDone;
    // A start with -exit and minutes: it ends once the deadline's switch is done.
    bool FExitAtDeadline = false;
    std::uint32_t FTaskbarCreatedMessage = 0;
};

} // namespace tarnwick
