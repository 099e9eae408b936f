#pragma once
// TForm1: the program's one main window. It lives hidden beside the notification area, shows whether the
// internet is on, switches it off or on (for a while or for good), turns it off again when a limited
// turn-on runs out and on again when a pause does, carries out the command line's action, and on Windows
// versions that need it hands every switch to an elevated copy of the program.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/StateText.h"
#include "app/SwitchRequester.h"
#include "command/Command.h"
#include "deadline/Deadline.h"
#include "instance/InstanceClaim.h"
#include "netcore/SwitchReport.h"
#include "platform/ClockPlatform.h"
#include "platform/DevicePlatform.h"
#include "platform/RegistryPlatform.h"
#include "platform/ShellExecutePlatform.h"
#include "platform/ShellPlatform.h"
#include "platform/SystemPlatform.h"
#include "platform/TaskSchedulerPlatform.h"
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
    IClockPlatform& Clock;
    // Where a start with -exit reports to the command line; none: message boxes.
    TConsoleOutput* Console = nullptr;
    // The claim of the running instance, given up before an elevated copy is started (none: no claim).
    TInstanceClaim* Instance = nullptr;
    // Where the end of a limited switch is handed, so that it comes when no Tarnwick runs (none: it is not).
    ITaskSchedulerPlatform* Scheduler = nullptr;
};

// A deadline switch that failed is tried again after this.
inline constexpr std::uint32_t DeadlineRetryMilliseconds = 60000;
// The registered message that brings the window up beside the notification area; unlike a handed-over
// command line it may come from a process of a lower integrity level.
inline constexpr char16_t ShowMainWindowMessageName[] = u"Tarnwick.ShowMainWindow";

// Ours alone: a later start hands its command line only to a window of this class (and of the process
// that holds the instance's claim). "TForm1" is the main window class of many other programs.
inline constexpr char16_t MainWindowClassName[] = u"TarnwickMainWindow";
// Posted by the window to itself when it is made: the start's duties run once the message loop runs,
// and nothing is shown or activated for them.
inline constexpr std::uint32_t WM_FIRST_DUTIES = 0x1138;
// The instance's answer to a handed-over -quit from another program file: it stays.
inline constexpr std::int32_t QuitRunsElsewhere = -1;

struct TSwitchResult {
    TSwitchResultKind Kind = TSwitchResultKind::Switched;
    TSwitchReport Report; // empty unless this process switched
};

class TForm1 : public TForm {
public:
    // Builds the window from its design (hidden), the tray object and the state icons, and posts itself the
    // first duties; adds no tray icon yet. Command is the program's own command line, carried out then.
    TForm1(TApplication& Application, TComponent* AOwner, const TForm1Platforms& Platforms, TCommand Command);
    // Removes the tray icon and releases what the constructor made.
    ~TForm1() override;

    // The designed controls, in their declaration order.
    TOwned<TButton> btnSwitch;
    TOwned<TImage> imgInternetOn;
    TOwned<TLabel> lblState;
    TOwned<TImage> imgTarnwick;
    TOwned<TPopupMenu> TurnOnMenu;
    TOwned<TMenuItem> urnonfor5min1;
    TOwned<TMenuItem> urnonfor15min1;
    TOwned<TMenuItem> urnonfor30min1;
    TOwned<TMenuItem> urnonforanhour1;
    TOwned<TMenuItem> N2;
    TOwned<TMenuItem> Justturnon1;
    // The pauses, under the turn-off button.
    TOwned<TPopupMenu> TurnOffMenu;
    TOwned<TMenuItem> Turnofffor5min1;
    TOwned<TMenuItem> Turnofffor15min1;
    TOwned<TMenuItem> Turnofffor30min1;
    TOwned<TMenuItem> Turnoffforanhour1;
    TOwned<TMenuItem> N3;
    TOwned<TMenuItem> Justturnoff1;
    // The icon's menu: the turn-on items show while the internet is off, the turn-off items while it is on.
    TOwned<TPopupMenu> TrayMenu;
    TOwned<TMenuItem> TrayTurnOn1;
    TOwned<TMenuItem> TrayTurnOnFor5min1;
    TOwned<TMenuItem> TrayTurnOnFor15min1;
    TOwned<TMenuItem> TrayTurnOnFor30min1;
    TOwned<TMenuItem> TrayTurnOnForAnHour1;
    TOwned<TMenuItem> TrayTurnOff1;
    TOwned<TMenuItem> TrayTurnOffFor5min1;
    TOwned<TMenuItem> TrayTurnOffFor15min1;
    TOwned<TMenuItem> TrayTurnOffFor30min1;
    TOwned<TMenuItem> TrayTurnOffForAnHour1;
    TOwned<TMenuItem> N4;
    TOwned<TMenuItem> About1;
    TOwned<TMenuItem> N1;
    TOwned<TMenuItem> Exit1;
    TOwned<TTimer> TurnOffTimer;

    void FormCloseQuery(TComponent& Sender, bool& CanClose);
    void btnSwitchClick(TComponent& Sender);
    // Shared by the turn-on items: the item's tag is the number of minutes, 0 for good.
    void urnonfor5min1Click(TComponent& Sender);
    // Shared by the turn-off items: the item's tag is the pause's minutes, 0 for good.
    void Turnofffor5min1Click(TComponent& Sender);
    void About1Click(TComponent& Sender);
    void Exit1Click(TComponent& Sender);
    // The deadline's tick: the deadline is looked at on the wall clock, and carried out when it has come.
    void TurnOffTimerTimer(TComponent& Sender);

    // The start's duties have run (WM_FIRST_DUTIES).
    bool FirstDutiesDone() const noexcept { return FFirstDutiesDone; }
    bool IsExitingProgram() const noexcept { return FIsExitingProgram; }
    // The exit code of the command line's action (ecDone until one has been carried out).
    int ExitCode() const noexcept { return FExitCode; }
    // Carries out the action of a command and gives its exit code. A refused command changes nothing. A
    // switch "elevation" in it counts as the program's own.
    int CarryOutAction(const TCommand& Command);
    // A command line handed over by a later start: its action, or without one the window shown beside the
    // notification area; its exit code.
    int CarryOutHandedOver(const TArguments& Arguments);
    // Looks at the recorded deadline on the wall clock: carries it out when it has come, otherwise arms
    // TurnOffTimer for the rest; with none recorded the timer stays off.
    void CheckDeadline();
    TTunerTray& Tray() const noexcept { return *FTray; }
    const TIcon& InternetOffIcon() const noexcept { return FInternetOffIcon; }
    const TIcon& InternetOnIcon() const noexcept { return FInternetOnIcon; }
    // The registered message the shell broadcasts when its taskbar is made again (0: none).
    std::uint32_t TaskbarCreatedMessage() const noexcept { return FTaskbarCreatedMessage; }

    // The switch entry points: turn on for Minutes (0: for good) or off, for the one who asked. A limited
    // turn-on records its turn-off as the deadline before the adapters are enabled, a pause its turn-on;
    // a completed turn-off or turn-on for good clears the deadline.
    TSwitchResult SwitchOn(std::int32_t Minutes, TSwitchRequester Requester);
    TSwitchResult SwitchOff(TSwitchRequester Requester);
    // Off now, and on again after the minutes (0: for good).
    TSwitchResult SwitchOffFor(std::int32_t Minutes, TSwitchRequester Requester);
    // What the deadline's task runs: the recorded deadline carried out when it has come (told as late when
    // long past), its task set again when it has not, and removed when none is recorded.
    TSwitchResult CarryOutDueDeadline(std::int32_t Unused, TSwitchRequester Requester);

protected:
    // WM_FIRST_DUTIES, WM_ACTIVATE (a flyout hides when it loses the activation), WM_KILLFOCUS,
    // WM_QUERYENDSESSION, WM_ENDSESSION, WM_DEVICECHANGE, WM_COPYDATA, WM_TIMECHANGE, WM_POWERBROADCAST,
    // the tray's two messages, "TaskbarCreated" and the show message; everything else goes to the form.
    std::intptr_t WndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) override;
    TCreateParams CreateParams() override;

private:
    void BuildDesign();
    // The start's duties, in the program's order: the autostart registration, the tray icon, the state,
    // the command line's action, the recorded deadline.
    void RunFirstDuties();
    // Reads the state from the adapters and shows it.
    void UpdateStateDisplay();
    // Shows the state in the window, the tray icon and its tip, with a limited switch's end.
    void ShowState(bool On);
    bool NeedsElevation();
    TSwitchResult RelaunchElevated(TActionVerb Action, std::int32_t Minutes);
    // The balloon when every adapter took the change, otherwise the box naming those that did not.
    TSwitchResultKind TellOutcome(const TSwitchReport& Report, const std::u16string& Notice,
                                  const std::u16string& Title);
    void ShowMessageBox(const std::u16string& Text, std::uint32_t Flags);
    // A switch's failure box; while the deadline's last failure is still on the screen, its retries add
    // none.
    void ShowFailureBox(const std::u16string& Text, std::uint32_t Flags);
    void WMTrayCallback(std::uintptr_t WParam, std::intptr_t LParam);
    // Shows the window beside the notification area, activated, with the keyboard on the switch button.
    void ShowBesideTray(bool CenterOnCursor);
    // Runs Show while a menu or box of ours is open: the window's losing the activation to it does not
    // hide the window.
    template <class F> void WhileOwnPopupOpen(F&& Show);
    void PopupMenu(TPopupMenu& Menu, TPoint At);
    TPoint UnderSwitch();
    void ArmDeadlineTimer(std::uint32_t Milliseconds);
    // The recorded deadline, brought back within the longest limited switch (and kept so) when further.
    std::optional<TDeadline> CurrentDeadline();
    // A deadline recorded or cleared by another start: the timer is set for it.
    void NoticeDeadline();
    // The deadline's switch, retried a minute later when it fails; one failure box at a time.
    void CarryOutDeadline(const TDeadline& Deadline);
    // The deadline's switch, told as late when a start finds it long past.
    TSwitchResult SwitchAtDeadline(const TDeadline& Deadline);
    // The tray menu's "Exit" names the pending end.
    void UpdateExitCaption();
    void RecordDeadlineOrRefuse(std::int32_t Minutes, TDeadlineSwitch Switch);
    // Hands the deadline to the Task Scheduler for StartUtc; a refusal is told with the switch's outcome.
    void ScheduleDeadline(TFileTime StartUtc);
    // Clears the record and removes the task.
    void ForgetDeadline();

    TForm1Platforms FPlatforms;
    std::unique_ptr<TTunerTray> FTray;
    bool FFirstDutiesDone = false;
    bool FShownOn = false;
    // Set while there is nothing to switch, or the adapters could not be listed: the words shown instead.
    std::optional<TStateWords> FAbsentWords;
    int FOwnPopupsOpen = 0;
    TIcon FInternetOffIcon;
    TIcon FInternetOnIcon;
    bool FIsExitingProgram = false;
    // The program's own command line.
    TCommand FProgramCommand;
    // The command being carried out: a relaunch hands on its -exit.
    const TCommand* FCommand = nullptr;
    int FExitCode = ecDone;
    int FElevatedCopyExitCode = ecDone;
    std::uint32_t FTaskbarCreatedMessage = 0;
    std::uint32_t FShowMainWindowMessage = 0;
    // The deadline's switch is being made; its failure box is on the screen.
    bool FDeadlineSwitching = false;
    bool FDeadlineBoxOpen = false;
    // The start's first look at the recorded deadline; what a deadline carried out late is told with.
    bool FLookingAtStart = false;
    std::u16string FLateNotice;
    // The Task Scheduler's refusal of the deadline, told with the switch's outcome.
    std::u16string FTaskRefusal;
    // A run of the deadline's task: nobody sees a box, so none waits for a click.
    bool FUnattended = false;
};

} // namespace tarnwick
