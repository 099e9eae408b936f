#include "app/Unit1.h"

#include "app/About.h"
#include "app/CommandAnswers.h"
#include "app/ErrorExitCode.h"
#include "app/ProgramSupport.h"
#include "app/StateText.h"
#include "app/resources/ResourceNames.h"
#include "core/Errors.h"
#include "core/MessageWords.h"
#include "core/PlatformConstants.h"
#include "core/ScopeExit.h"
#include "core/Text.h"
#include "deadline/DeadlineTask.h"
#include "deadline/DeadlineTexts.h"
#include "diag/EasyLog.h"
#include "instance/HandOver.h"
#include "netcore/NetAdapterWalk.h"
#include "netcore/NetCore.h"
#include "support/EasyCmdLine.h"
#include "support/SupportUtils.h"
#include "tray/GUIUtils.h"
#include "tray/TrayCallback.h"

namespace tarnwick {

namespace {

// Until the state is known.
constexpr char16_t TrayTip[] = u"Tarnwick";
constexpr char16_t DeclinedNotice[] = u"Nothing was switched: the administrator prompt was declined.";

template <class T> TNotifyEvent Handler(T* Form, void (T::*Method)(TComponent&)) {
    return [Form, Method](TComponent& Sender) { (Form->*Method)(Sender); };
}

struct TMenuEntry {
    TOwned<TMenuItem>* Item;
    const char16_t* Caption;
    std::intptr_t Minutes;
};

// Appends the items to the menu, each but the lines with the handler.
void AddMenuItems(TPopupMenu& Menu, const TNotifyEvent& OnClick, std::initializer_list<TMenuEntry> Entries) {
    for (const TMenuEntry& entry : Entries) {
        *entry.Item = MakeComponent<TMenuItem>(Menu, Menu.Owner());
        TMenuItem& item = **entry.Item;
        item.SetCaption(entry.Caption);
        item.SetTag(entry.Minutes);
        if (!item.IsLine()) {
            item.OnClick = OnClick;
        }
    }
}

} // namespace

template <class F> void TForm1::WhileOwnPopupOpen(F&& Show) {
    ++FOwnPopupsOpen;
    const TScopeExit closed{[this] { --FOwnPopupsOpen; }};
    Show();
}

TForm1::TForm1(TApplication& Application, TComponent* AOwner, const TForm1Platforms& Platforms,
               TCommand Command)
    : TForm(Application, AOwner), FPlatforms(Platforms), FProgramCommand(std::move(Command)) {
    BuildDesign();
    // A start takes nothing from the user: no window is shown or activated for its duties.
    Application.SetShowMainForm(false);
    FTray =
        std::make_unique<TTunerTray>(FPlatforms.Shell, Application, *this, TrayTip, Application.SmallIcon());
    IGuiPlatform& gui = Application.Gui();
    // The notification area draws them at the small-icon size of the display scale.
    FInternetOffIcon = TIcon(gui.LoadIconMetric(InternetOffIconName, LIM_SMALL));
    FInternetOnIcon = TIcon(gui.LoadIconMetric(InternetOnIconName, LIM_SMALL));
    // Every error box the user sees is in the log too.
    Application.OnException = [this, &Application](TComponent*, std::exception_ptr Error) {
        const std::u16string message = ExceptionMessage(Error);
        WriteBoxToLog(message);
        WhileOwnPopupOpen([&] { Application.ShowException(message); });
    };
    // Explorer announces a new taskbar (after it restarted) with this message; the icon is added again
    // then. An elevated copy hears it only when the message filter lets it through.
    FTaskbarCreatedMessage = gui.RegisterWindowMessageW(u"TaskbarCreated");
    if (FTaskbarCreatedMessage) {
        gui.ChangeWindowMessageFilter(FTaskbarCreatedMessage, MSGFLT_ADD);
    }
    // A later start at a lower integrity level may still bring the window up; WM_COPYDATA, which hands
    // over command lines, is never let through.
    FShowMainWindowMessage = gui.RegisterWindowMessageW(ShowMainWindowMessageName);
    if (FShowMainWindowMessage) {
        gui.ChangeWindowMessageFilter(FShowMainWindowMessage, MSGFLT_ADD);
    }
    // Handled once the message loop runs, after whatever the shell and the system posted before it.
    Application.Windows().PostMessageW(Handle(), WM_FIRST_DUTIES, 0, 0);
}

TForm1::~TForm1() {
    try {
        FTray->DeleteIcon();
    } catch (...) {
        // Without a window there is no icon of it to remove.
    }
    FTray.reset();
    for (const TIcon& icon : {FInternetOffIcon, FInternetOnIcon}) {
        if (icon.Handle()) {
            Application().Gui().DestroyIcon(icon.Handle());
        }
    }
}

void TForm1::BuildDesign() {
    SetCaption(u"Tarnwick");
    // A flyout of the notification area: no taskbar button, not among the windows of Alt+Tab.
    SetBorderStyle(TFormBorderStyle::bsToolWindow);
    SetColor(clWhite);
    SetFont(TFont{});
    SetClientSize(248, 74);
    OnCloseQuery = [this](TComponent& Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };

    btnSwitch = MakeComponent<TButton>(*this, this);
    btnSwitch->SetBounds(79, 37, 153, 25);
    btnSwitch->SetCaption(u"Turn on the internet");
    btnSwitch->SetTabOrder(0);
    btnSwitch->SetDefault(true); // Enter presses it
    btnSwitch->OnClick = Handler(this, &TForm1::btnSwitchClick);

    imgInternetOn = MakeComponent<TImage>(*this, this);
    imgInternetOn->SetBounds(15, 13, 49, 49);
    imgInternetOn->LoadPicture(InternetOnPictureName);
    imgInternetOn->SetCaption(u"A globe: the internet is on");

    lblState = MakeComponent<TLabel>(*this, this);
    lblState->SetBounds(95, 13, 119, 13);
    lblState->SetCaption(u"Internet is turned off");
    TFont stateFont = Font();
    stateFont.Bold = true;
    stateFont.Color = clGreen;
    lblState->SetFont(stateFont);

    TrayMenu = MakeComponent<TPopupMenu>(*this, this);
    AddMenuItems(*TrayMenu, Handler(this, &TForm1::About1Click),
                 {{&About1, u"&About", 0}, {&N1, cLineCaption, 0}});
    AddMenuItems(*TrayMenu, Handler(this, &TForm1::Exit1Click), {{&Exit1, u"E&xit", 0}});

    // Lies over imgInternetOn; the state decides which of the two shows.
    imgTarnwick = MakeComponent<TImage>(*this, this);
    imgTarnwick->SetBounds(15, 13, 49, 49);
    imgTarnwick->LoadPicture(InternetOffPictureName);
    imgTarnwick->SetCaption(u"A globe crossed out: the internet is off");

    // The switch's menus: the limited turn-ons under the turn-on button, the pauses under the turn-off
    // button. The item's tag is the number of minutes, 0 for good.
    const TNotifyEvent turnOn = Handler(this, &TForm1::urnonfor5min1Click);
    const TNotifyEvent turnOff = Handler(this, &TForm1::Turnofffor5min1Click);
    TurnOnMenu = MakeComponent<TPopupMenu>(*this, this);
    AddMenuItems(*TurnOnMenu, turnOn,
                 {{&urnonfor5min1, u"Turn on for &5 min", 5},
                  {&urnonfor15min1, u"Turn on for &15 min", 15},
                  {&urnonfor30min1, u"Turn on for &30 min", 30},
                  {&urnonforanhour1, u"Turn on for an &hour", 60},
                  {&N2, cLineCaption, 0},
                  {&Justturnon1, u"Turn on for &good", 0}});
    TurnOffMenu = MakeComponent<TPopupMenu>(*this, this);
    AddMenuItems(*TurnOffMenu, turnOff,
                 {{&Turnofffor5min1, u"Turn off for &5 min", 5},
                  {&Turnofffor15min1, u"Turn off for &15 min", 15},
                  {&Turnofffor30min1, u"Turn off for &30 min", 30},
                  {&Turnoffforanhour1, u"Turn off for an &hour", 60},
                  {&N3, cLineCaption, 0},
                  {&Justturnoff1, u"Turn off for &good", 0}});

    // The icon's menu: the switch and its timed choices for the present state, above About and Exit.
    // The items are appended after them and moved before them, so that About and Exit keep their command
    // numbers.
    const std::size_t firstSwitchItem = TrayMenu->Items().size();
    AddMenuItems(*TrayMenu, turnOn,
                 {{&TrayTurnOn1, u"Turn &on the internet", 0},
                  {&TrayTurnOnFor5min1, u"Turn on for &5 min", 5},
                  {&TrayTurnOnFor15min1, u"Turn on for &15 min", 15},
                  {&TrayTurnOnFor30min1, u"Turn on for &30 min", 30},
                  {&TrayTurnOnForAnHour1, u"Turn on for an &hour", 60}});
    AddMenuItems(*TrayMenu, turnOff,
                 {{&TrayTurnOff1, u"Turn &off the internet", 0},
                  {&TrayTurnOffFor5min1, u"Turn off for &5 min", 5},
                  {&TrayTurnOffFor15min1, u"Turn off for &15 min", 15},
                  {&TrayTurnOffFor30min1, u"Turn off for &30 min", 30},
                  {&TrayTurnOffForAnHour1, u"Turn off for an &hour", 60},
                  {&N4, cLineCaption, 0}});
    for (std::size_t i = firstSwitchItem; i < TrayMenu->Items().size(); ++i) {
        TrayMenu->Items()[i]->SetMenuIndex(i - firstSwitchItem);
    }

    TurnOffTimer = MakeComponent<TTimer>(Application(), this);
    TurnOffTimer->SetEnabled(false);
    TurnOffTimer->SetOnTimer(Handler(this, &TForm1::TurnOffTimerTimer));
}

TCreateParams TForm1::CreateParams() {
    TCreateParams params = TForm::CreateParams();
    params.ClassName = MainWindowClassName;
    return params;
}

void TForm1::RunFirstDuties() {
    if (FFirstDutiesDone) {
        return;
    }
    FFirstDutiesDone = true;
    ISystemPlatform& system = FPlatforms.System;
    const TCommand& command = FProgramCommand;
    if (command.SubscribeOnStartup) {
        SubscribeOnStartup(FPlatforms.Registry, system);
    }
    // The autostart removal was done before the window was made; with an action it ends the program after
    // it, as the registration does.
    // A limited switch that is to end leaves its deadline recorded: the tray instance, or the next start,
    // switches back.
    if (command.SubscribeOnStartup || command.UnsubscribeOnStartup || command.Exit) {
        FIsExitingProgram = true;
        Close(); // only asks the loop to end: the duties below still run first
    }
    FTray->CreateIcon();
    FTray->HideForm();
    UpdateStateDisplay();
    // A button whose window is not made yet has no shield to remove.
    if (btnSwitch->HandleAllocated()) {
        RemoveButtonShield(Application().Windows(), btnSwitch->Handle());
    }
    // The application window was hidden just above, and a hidden window has no taskbar button: the shell's
    // taskbar list (whose library brings Common Controls along) is made only when there is one to remove.
    if (Application().Gui().IsWindowVisible(Application().Handle())) {
        DeleteApplicationTaskBarTab(Application(), FPlatforms.Shell, GetWindowsVersionCode(system));
    }
    FExitCode = CarryOutAction(command);
    // A deadline recorded by an earlier run is taken up; an action that switched has replaced it already.
    if (!FIsExitingProgram) {
        FLookingAtStart = true;
        CheckDeadline();
        FLookingAtStart = false;
    }
}

int TForm1::CarryOutAction(const TCommand& Command) {
    if (Command.Refused()) {
        // The start that gave it has told its caller already.
        WriteToLog(u"A command line was refused: " + Command.Error);
        return ecBadArguments;
    }
    const TCommand& command = Command;
    FUnattended = command.Action == TActionVerb::avDeadline && command.Exit;
    using TSwitchHandler = TSwitchResult (TForm1::*)(std::int32_t, TSwitchRequester);
    static constexpr struct {
        TActionVerb Action;
        TSwitchHandler Handler;
    } switchTable[] = {
        {TActionVerb::avTurnOff, &TForm1::SwitchOffFor},
        {TActionVerb::avTurnOn, &TForm1::SwitchOn},
        {TActionVerb::avDeadline, &TForm1::CarryOutDueDeadline},
    };
    for (const auto& row : switchTable) {
        if (row.Action != command.Action) {
            continue;
        }
        FCommand = &command;
        const TScopeExit forgetCommand{[this] { FCommand = nullptr; }};
        try {
            const TSwitchResult result = (this->*row.Handler)(command.Minutes, TSwitchRequester::CommandLine);
            return result.Kind == TSwitchResultKind::HandedToElevatedCopy ? FElevatedCopyExitCode
                                                                          : ExitCodeOf(result.Kind);
        } catch (...) {
            const std::u16string message = ExceptionMessage(std::current_exception());
            ShowMessageBox(message, MB_OK | MB_ICONSTOP);
            return ExitCodeOf(std::current_exception());
        }
    }
    // "status" and "list" of a later start are answered by that start; nothing to do here.
    return ecDone;
}

int TForm1::CarryOutHandedOver(const TArguments& Arguments) {
    ISystemPlatform& system = FPlatforms.System;
    const TCommand command = ParseCommandLine(system, Arguments);
    if (command.Quit && !command.Refused()) {
        // Only an installer's own program may end it: a copy running from another folder is not the one
        // whose files are being replaced.
        if (Arguments.empty() || !SameTextLocale(system, Arguments.front(), ProgramFileName(system))) {
            return QuitRunsElsewhere;
        }
        // As at logoff: a pause stays recorded, and the next start (the new version's) takes it up.
        FIsExitingProgram = true;
        Close();
        return ecDone;
    }
    if (command.Action == TActionVerb::avNone && !command.Refused()) {
        // Asked from elsewhere, not by a click on the icon: the corner of the notification area.
        ShowBesideTray(false);
        return ecDone;
    }
    return CarryOutAction(command);
}

void TForm1::UpdateStateDisplay() {
    TInternetState state = TInternetState::Off;
    FAbsentWords.reset();
    try {
        state = InternetState(FPlatforms.Devices, ReadKeepList(FPlatforms.Registry));
        if (state == TInternetState::NoAdapter) {
            FAbsentWords = NoAdapterWords(false);
        }
    } catch (const EAdapterListFailed& error) {
        // Said, and logged: the display must not stop the start or a switch asked for, which tells the
        // reason itself.
        WriteToLog(error.Message());
        FAbsentWords = NoAdapterWords(true);
    }
    ShowState(state == TInternetState::On);
}

void TForm1::ShowState(bool On) {
    FShownOn = On;
    // A limited switch's end, while the state is the one it ends.
    std::u16string until;
    if (const auto deadline = ReadDeadline(FPlatforms.Registry);
        deadline && (deadline->Switch == TDeadlineSwitch::dsTurnOff) == On) {
        until = LocalClockText(FPlatforms.Clock, deadline->DueUtc);
    }
    const TStateWords words = FAbsentWords ? *FAbsentWords : StateWords(On, until);
    imgInternetOn->SetVisible(On);
    imgTarnwick->SetVisible(!On);
    FTray->SetTipString(words.Tip);
    FTray->ModifyIcon(On ? FInternetOnIcon : FInternetOffIcon);
    lblState->SetCaption(words.Label);
    lblState->SetFontColor(On ? clBlack : clGreen);
    btnSwitch->SetCaption(On ? u"Turn off the internet" : u"Turn on the internet");
}

TPoint TForm1::UnderSwitch() {
    // Where the keyboard's Enter and the mouse's click both expect the button's menu.
    TRect button{};
    Application().Windows().GetWindowRect(btnSwitch->Handle(), button);
    return {button.Left, button.Bottom};
}

void TForm1::btnSwitchClick(TComponent&) {
    if (IsInternetActive(FPlatforms.Devices, ReadKeepList(FPlatforms.Registry))) {
        // Off for good or for a pause, as on for good or for a while.
        PopupMenu(*TurnOffMenu, UnderSwitch());
        return;
    }
    PopupMenu(*TurnOnMenu, UnderSwitch());
}

namespace {

// The minutes of a switch's menu item, and who asked: the icon's menu, or the button whose menu it is.
std::pair<std::int32_t, TSwitchRequester> MenuChoice(const TPopupMenu& TrayMenu, TComponent& Sender) {
    const auto& item = dynamic_cast<const TMenuItem&>(Sender);
    return {static_cast<std::int32_t>(item.Tag()),
            TrayMenu.FindItem(item.Command()) ? TSwitchRequester::Menu : TSwitchRequester::Button};
}

} // namespace

void TForm1::urnonfor5min1Click(TComponent& Sender) {
    const auto [minutes, requester] = MenuChoice(*TrayMenu, Sender);
    SwitchOn(minutes, requester);
}

void TForm1::Turnofffor5min1Click(TComponent& Sender) {
    // A pause is recorded as the command line's is: its turn-on outlasts the program.
    const auto [minutes, requester] = MenuChoice(*TrayMenu, Sender);
    SwitchOffFor(minutes, requester);
}

void TForm1::About1Click(TComponent&) {
    WhileOwnPopupOpen(
        [&] { ShowAboutBox(Application(), FPlatforms.ShellExecute, IsProcessElevated(FPlatforms.System)); });
}

void TForm1::Exit1Click(TComponent&) {
    // The pending end of a limited switch outlives the tray: its scheduled task, or the next start,
    // carries it out.
    FIsExitingProgram = true;
    Close();
}

void TForm1::FormCloseQuery(TComponent&, bool& CanClose) {
    if (FIsExitingProgram) {
        CanClose = true;
        return;
    }
    CanClose = false;
    FTray->HideForm();
}

void TForm1::TurnOffTimerTimer(TComponent&) {
    CheckDeadline();
}

void TForm1::CheckDeadline() {
    const auto deadline = CurrentDeadline();
    if (!deadline) {
        TurnOffTimer->SetEnabled(false);
        return;
    }
    const std::uint32_t wait =
        DeadlineTimerInterval(FPlatforms.Clock.GetSystemTimeAsFileTime(), deadline->DueUtc);
    if (wait > 0) {
        ArmDeadlineTimer(wait);
        return;
    }
    CarryOutDeadline(*deadline);
}

std::optional<TDeadline> TForm1::CurrentDeadline() {
    const auto deadline = ReadDeadline(FPlatforms.Registry);
    if (!deadline) {
        return std::nullopt;
    }
    const auto bounded = BoundedDeadline(*deadline, FPlatforms.Clock.GetSystemTimeAsFileTime());
    if (!bounded) {
        return deadline;
    }
    // Kept as bounded, so that the end does not move away again at every look.
    WriteToLog(FormatText(u"The recorded end of the limited switch lies further ahead than the longest one "
                          u"(%d min): it is brought back to that bound",
                          {std::int64_t(MaxLimitedMinutes)}));
    if (!RecordDeadline(FPlatforms.Registry, *bounded)) {
        WriteToLog(u"The bounded end cannot be kept in the registry (HKEY_CURRENT_USER\\Software\\Tarnwick)");
    }
    ScheduleDeadline(bounded->DueUtc);
    return bounded;
}

void TForm1::NoticeDeadline() {
    // Recorded or cleared by another start, whose switch the device change announces.
    if (FDeadlineSwitching) {
        return;
    }
    const auto deadline = CurrentDeadline();
    if (!deadline) {
        return; // a timer still set finds none at its tick, and stops
    }
    const std::uint32_t wait =
        DeadlineTimerInterval(FPlatforms.Clock.GetSystemTimeAsFileTime(), deadline->DueUtc);
    if (wait > 0) {
        ArmDeadlineTimer(wait);
    } else if (!TurnOffTimer->Enabled()) {
        ArmDeadlineTimer(1); // at once; a retry that waits keeps its minute
    }
}

void TForm1::CarryOutDeadline(const TDeadline& Deadline) {
    // Armed first: should the switch fail, it is tried again a minute later. A switch that completes
    // clears the deadline and disarms the timer.
    ArmDeadlineTimer(DeadlineRetryMilliseconds);
    const TScopeExit restoreSwitching{[this, saved = FDeadlineSwitching] { FDeadlineSwitching = saved; }};
    FDeadlineSwitching = true;
    try {
        SwitchAtDeadline(Deadline);
    } catch (...) {
        if (FDeadlineBoxOpen) {
            WriteBoxToLog(ExceptionMessage(std::current_exception())); // in the log, not in a second box
            return;
        }
        FDeadlineBoxOpen = true;
        Application().HandleException(this);
        FDeadlineBoxOpen = false;
    }
}

void TForm1::ShowFailureBox(const std::u16string& Text, std::uint32_t Flags) {
    if (!FDeadlineSwitching) {
        ShowMessageBox(Text, Flags);
        return;
    }
    if (FDeadlineBoxOpen) {
        WriteBoxToLog(Text); // in the log, not on the screen a second time
        return;
    }
    // The box's own message loop lets the retries tick meanwhile.
    FDeadlineBoxOpen = true;
    ShowMessageBox(Text, Flags);
    FDeadlineBoxOpen = false;
}

void TForm1::ArmDeadlineTimer(std::uint32_t Milliseconds) {
    // Switched off first, so that the countdown starts now even with the same interval.
    TurnOffTimer->SetEnabled(false);
    TurnOffTimer->SetInterval(Milliseconds);
    TurnOffTimer->SetEnabled(true);
}

void TForm1::RecordDeadlineOrRefuse(std::int32_t Minutes, TDeadlineSwitch Switch) {
    const TDeadline deadline = DeadlineAfter(FPlatforms.Clock.GetSystemTimeAsFileTime(), Minutes, Switch);
    if (!RecordDeadline(FPlatforms.Registry, deadline)) {
        // Without the record the deadline would not outlast this process.
        throw EGeneralError(FormatText(u"The end of the %d min cannot be kept in the registry "
                                       u"(HKEY_CURRENT_USER\\Software\\Tarnwick). Nothing has been switched.",
                                       {std::int64_t(Minutes)}));
    }
    ArmDeadlineTimer(static_cast<std::uint32_t>(Minutes) * 60000u);
    ScheduleDeadline(deadline.DueUtc);
    ShowState(FShownOn);
}

void TForm1::ScheduleDeadline(TFileTime StartUtc) {
    if (!FPlatforms.Scheduler) {
        return;
    }
    if (const auto refusal =
            ScheduleDeadlineTask(*FPlatforms.Scheduler, ProgramFileName(FPlatforms.System), StartUtc)) {
        FTaskRefusal = *refusal;
    }
}

void TForm1::ForgetDeadline() {
    // Without a record there is no task of ours to remove (one left over does nothing when it runs, and
    // removes itself); a switch then does not wait for the Task Scheduler's service to start.
    const bool recorded = ReadDeadline(FPlatforms.Registry).has_value();
    ClearDeadline(FPlatforms.Registry);
    TurnOffTimer->SetEnabled(false);
    if (FPlatforms.Scheduler && recorded) {
        RemoveDeadlineTask(*FPlatforms.Scheduler);
    }
    if (FFirstDutiesDone) {
        ShowState(FShownOn);
    }
}

TSwitchResult TForm1::CarryOutDueDeadline(std::int32_t, TSwitchRequester Requester) {
    WriteToLog(u"The recorded end of a limited switch is looked at, asked by " + RequesterText(Requester));
    const auto deadline = CurrentDeadline();
    if (!deadline) {
        // Cancelled, replaced by a switch for good, or carried out already: the task has nothing to do.
        WriteToLog(u"No end of a limited switch is recorded; nothing to do");
        if (FPlatforms.Scheduler) {
            RemoveDeadlineTask(*FPlatforms.Scheduler);
        }
        return {};
    }
    const TFileTime now = FPlatforms.Clock.GetSystemTimeAsFileTime();
    if (deadline->DueUtc > now) {
        WriteToLog(u"The recorded end has not come yet; its task is set for it again");
        ScheduleDeadline(deadline->DueUtc);
        if (!FIsExitingProgram) {
            ArmDeadlineTimer(DeadlineTimerInterval(now, deadline->DueUtc));
        }
        return {};
    }
    // A switch that fails leaves the record: the task comes again a minute later, as the tray's retry.
    struct TRetry {
        TForm1& Form;
        TFileTime Now;
        bool Saved;
        ~TRetry() {
            Form.FLookingAtStart = Saved;
            if (ReadDeadline(Form.FPlatforms.Registry)) {
                Form.ScheduleDeadline(Now +
                                      TFileTime(DeadlineRetryMilliseconds) * FileTimeTicksPerMillisecond);
            }
        }
    } retry{*this, now, FLookingAtStart};
    FLookingAtStart = true; // found by a run of its own, not by a tray that watched it come
    return SwitchAtDeadline(*deadline);
}

TSwitchResult TForm1::SwitchAtDeadline(const TDeadline& Deadline) {
    const TScopeExit forgetLateNotice{[this] { FLateNotice.clear(); }};
    if (FLookingAtStart && IsLate(Deadline, FPlatforms.Clock.GetSystemTimeAsFileTime())) {
        FLateNotice = LateDeadlineText(Deadline);
        WriteToLog(FLateNotice);
    }
    return Deadline.Switch == TDeadlineSwitch::dsTurnOn ? SwitchOn(0, TSwitchRequester::Deadline)
                                                        : SwitchOff(TSwitchRequester::Deadline);
}

bool TForm1::NeedsElevation() {
    ISystemPlatform& system = FPlatforms.System;
    const bool elevationSwitch = FProgramCommand.Elevation || (FCommand && FCommand->Elevation);
    const TWindowsVersion version = GetWindowsVersion(system);
    const std::uint8_t code = WindowsVersionCodeOf(version.Major, version.Minor);
    // The token is asked only where the answer depends on it.
    const bool newer = !elevationSwitch && code == 0 && IsNewerThanWindows7(version);
    return ElevationNeeded(code, newer, newer && IsProcessElevated(system), elevationSwitch);
}

TSwitchResult TForm1::RelaunchElevated(TActionVerb Action, std::int32_t Minutes) {
    ISystemPlatform& system = FPlatforms.System;
    // A start that is to end hands that on: its copy ends after the switch too.
    const bool exit = FCommand && FCommand->Exit;
    TCommand command;
    command.Action = Action;
    command.Minutes = Minutes;
    command.Exit = exit;
    const std::u16string parameters = ElevatedCopyParameters(command);
    // The copy is to become the instance: the claim goes first, and comes back if the copy is not started.
    if (FPlatforms.Instance) {
        FPlatforms.Instance->Release();
    }
    TScopeExit reclaim{[this] {
        if (FPlatforms.Instance) {
            FPlatforms.Instance->Claim();
        }
    }};
    try {
        // A start that is to end with the switch's exit code waits for the copy and ends with its code.
        std::uint32_t copyExitCode = ecDone;
        RunElevated(FPlatforms.ShellExecute, system, Handle(), ProgramFileName(system), parameters,
                    exit ? &copyExitCode : nullptr);
        FElevatedCopyExitCode = static_cast<int>(copyExitCode);
        reclaim.Dismiss();
    } catch (const EElevationDeclined&) {
        // The user said no: a choice, not a fault. Everything stays as it was.
        WriteToLog(u"The elevation prompt was declined; nothing was switched");
        FTray->ShowBalloonTrayIcon(0, DeclinedNotice, u"Tarnwick", bitInfo);
        return {TSwitchResultKind::ElevationDeclined, {}};
    }
    WriteToLog(u"Handed to an elevated copy of the program: " + parameters);
    FIsExitingProgram = true;
    Close();
    return {TSwitchResultKind::HandedToElevatedCopy, {}};
}

void TForm1::ShowMessageBox(const std::u16string& Text, std::uint32_t Flags) {
    WriteBoxToLog(Text);
    if (FUnattended) {
        return;
    }
    // A start that ends answers the console it was started from, when it has one: no box waits there.
    if (FIsExitingProgram && FPlatforms.Console && FPlatforms.Console->Tell(Text)) {
        return;
    }
    WhileOwnPopupOpen([&] { Application().MessageBox(Text, Flags); });
}

TSwitchResultKind TForm1::TellOutcome(const TSwitchReport& Report, const std::u16string& Notice,
                                      const std::u16string& Title) {
    FTray->HideForm();
    if (Report.NothingToSwitch()) {
        ShowFailureBox(NoAdapterText(Report), MB_OK | MB_ICONWARNING);
        return TSwitchResultKind::NoAdapter;
    }
    if (!Report.AllSucceeded()) {
        ShowFailureBox(SwitchFailureText(Report), MB_OK | MB_ICONWARNING);
        return TSwitchResultKind::PartlyFailed;
    }
    if (Report.AnyNeedsRestart()) {
        // The user has to act (restart Windows): a box, which a start with -exit prints instead.
        ShowFailureBox(RestartText(Report) + u"\r\n\r\n" + CountText(Report) + u".",
                       MB_OK | MB_ICONINFORMATION);
        return TSwitchResultKind::RestartPending;
    }
    std::u16string notice = FLateNotice.empty() ? Notice : FLateNotice;
    if (!FTaskRefusal.empty()) {
        // The switch is made; only its end depends on Tarnwick running.
        notice += u"\r\n" + FTaskRefusal;
        if (FIsExitingProgram && FPlatforms.Console) {
            FPlatforms.Console->Tell(FTaskRefusal);
        }
        FTaskRefusal.clear();
    }
    FTray->ShowBalloonTrayIcon(0, notice, Title, bitInfo);
    return TSwitchResultKind::Switched;
}

namespace {

// Every adapter took the change (some perhaps once Windows restarts): trying again would change nothing.
bool TookTheChange(TSwitchResultKind Kind) {
    return Kind == TSwitchResultKind::Switched || Kind == TSwitchResultKind::RestartPending;
}

// "Turn on the internet for 5 min, asked by ...": the log's line for a switch as it is asked for.
void LogSwitchRequest(const std::u16string& What, std::int32_t Minutes, TSwitchRequester Requester) {
    WriteToLog(What + (Minutes == 0 ? std::u16string() : u" for " + IntToText(Minutes) + u" min") +
               u", asked by " + RequesterText(Requester));
}

} // namespace

TSwitchResult TForm1::SwitchOn(std::int32_t Minutes, TSwitchRequester Requester) {
    LogSwitchRequest(u"Turn on the internet", Minutes, Requester);
    if (!MinutesInRange(Minutes)) {
        // Its milliseconds would not fit the platform timer and the turn-off would come far too soon.
        throw EGeneralError(MinutesOutOfRangeText(true, IntToText(Minutes)));
    }
    if (NeedsElevation()) {
        return RelaunchElevated(TActionVerb::avTurnOn, Minutes);
    }
    std::u16string notice;
    if (Minutes == 0) {
        notice = u"The internet is turned on now";
        // On for good, as asked; the end of a pause goes only once it is done.
        if (Requester != TSwitchRequester::Deadline) {
            ForgetDeadline();
        }
    } else {
        notice = u"The internet is turned on for " + IntToText(Minutes) + u" min only";
        // Kept before the adapters are enabled, so that the turn-off outlasts a kill or a restart.
        RecordDeadlineOrRefuse(Minutes, TDeadlineSwitch::dsTurnOff);
    }
    TSwitchResult result;
    result.Report = TurnOnInternet(FPlatforms.Devices, ReadKeepList(FPlatforms.Registry));
    result.Kind = TellOutcome(result.Report, notice, u"Internet On");
    if (Minutes == 0 && TookTheChange(result.Kind)) {
        ForgetDeadline();
    }
    return result;
}

TSwitchResult TForm1::SwitchOff(TSwitchRequester Requester) {
    return SwitchOffFor(0, Requester);
}

TSwitchResult TForm1::SwitchOffFor(std::int32_t Minutes, TSwitchRequester Requester) {
    LogSwitchRequest(u"Turn off the internet", Minutes, Requester);
    if (!MinutesInRange(Minutes)) {
        throw EGeneralError(MinutesOutOfRangeText(false, IntToText(Minutes)));
    }
    if (NeedsElevation()) {
        return RelaunchElevated(TActionVerb::avTurnOff, Minutes);
    }
    if (Minutes > 0) {
        // Kept before the adapters are disabled, so that the turn-on outlasts a kill or a restart.
        RecordDeadlineOrRefuse(Minutes, TDeadlineSwitch::dsTurnOn);
    }
    TSwitchResult result;
    result.Report = TurnOffInternet(FPlatforms.Devices, ReadKeepList(FPlatforms.Registry));
    if (Minutes == 0) {
        result.Kind = TellOutcome(result.Report, u"The internet is turned off now. Happy offline work!",
                                  u"Internet Off");
        // A turn-off that some adapter refused keeps the deadline: it is tried again.
        if (TookTheChange(result.Kind)) {
            ForgetDeadline();
        }
    } else {
        // The pause runs also when some adapter refused: the others come back on at its end.
        result.Kind = TellOutcome(result.Report,
                                  u"The internet is turned off for " + IntToText(Minutes) +
                                      u" min. Happy offline work!",
                                  u"Internet Off");
    }
    return result;
}

void TForm1::WMTrayCallback(std::uintptr_t WParam, std::intptr_t LParam) {
    const TTrayCallback callback = ReadTrayCallback(WParam, LParam, FTray->UsesVersion4());
    switch (callback.Request) {
    case TTrayRequest::trShowWindowAtCursor:
        ShowBesideTray(true);
        break;
    case TTrayRequest::trShowWindowForKeys:
        ShowBesideTray(false);
        break;
    case TTrayRequest::trShowMenu: {
        TPoint at = callback.Point;
        if (!callback.HasPoint) {
            Application().Windows().GetCursorPos(at);
        }
        UpdateExitCaption();
        // The switch's choices for the state the internet is in now.
        UpdateStateDisplay();
        const bool on = FShownOn;
        for (TMenuItem* item : {TrayTurnOn1.get(), TrayTurnOnFor5min1.get(), TrayTurnOnFor15min1.get(),
                                TrayTurnOnFor30min1.get(), TrayTurnOnForAnHour1.get()}) {
            item->SetVisible(!on);
        }
        for (TMenuItem* item : {TrayTurnOff1.get(), TrayTurnOffFor5min1.get(), TrayTurnOffFor15min1.get(),
                                TrayTurnOffFor30min1.get(), TrayTurnOffForAnHour1.get()}) {
            item->SetVisible(on);
        }
        PopupMenu(*TrayMenu, at);
        // Closed with a choice or without: the keyboard goes back to the notification area.
        FTray->ReturnFocus();
        break;
    }
    case TTrayRequest::trNone:
        // Every other message, mouse moves included, is ignored: the tray's hover detector is never fed.
        break;
    }
}

void TForm1::PopupMenu(TPopupMenu& Menu, TPoint At) {
    WhileOwnPopupOpen([&] { Menu.Popup(At.X, At.Y); });
}

void TForm1::UpdateExitCaption() {
    SYSTEMTIME localNow{};
    FPlatforms.System.GetLocalTime(localNow);
    Exit1->SetCaption(
        ExitCaption(ReadDeadline(FPlatforms.Registry), FPlatforms.Clock.GetSystemTimeAsFileTime(), localNow));
}

void TForm1::ShowBesideTray(bool CenterOnCursor) {
    PositionFormToTray(FPlatforms.Shell, this, CenterOnCursor);
    FTray->ShowForm();
    IGuiPlatform& gui = Application().Gui();
    gui.SetForegroundWindow(Handle());
    // The keyboard starts on the switch, and a screen reader says so.
    gui.SetFocus(btnSwitch->Handle());
    SetFormTopMost(*this);
}

std::intptr_t TForm1::WndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    switch (Msg) {
    case WM_FIRST_DUTIES:
        RunFirstDuties();
        return 0;
    case WM_ACTIVATE:
        // A flyout: a click elsewhere hides it, but not the opening of its own menu or box.
        if (LowWord(WParam) == WA_INACTIVE && FOwnPopupsOpen == 0 &&
            Application().Gui().IsWindowVisible(Handle())) {
            FTray->HideForm();
        }
        break;
    case WM_KILLFOCUS:
        return 0;
    case WM_QUERYENDSESSION:
        // Logoff or shutdown may go on; the close that follows ends the program.
        FIsExitingProgram = true;
        return 1;
    case WM_ENDSESSION:
        // The logoff or shutdown was cancelled: the close box hides the window again.
        if (WParam == 0) {
            FIsExitingProgram = false;
        }
        return 0;
    case WM_TIMECHANGE:
        CheckDeadline();
        return 0;
    case WM_POWERBROADCAST:
        // Back from sleep or hibernation: the window timer may not have counted the time asleep.
        if (WParam == PBT_APMRESUMEAUTOMATIC || WParam == PBT_APMRESUMESUSPEND) {
            CheckDeadline();
        }
        return 1;
    case WM_COPYDATA:
        if (const auto commandLine = HandedOverCommandLine(LParam)) {
            return EncodeHandOverReply(CarryOutHandedOver(SplitCommandLine(*commandLine)));
        }
        return 0;
    case WM_DEVICECHANGE:
        UpdateStateDisplay();
        NoticeDeadline();
        return 0;
    case WM_TRAY_CALLBACK:
        WMTrayCallback(WParam, LParam);
        return 0;
    case WM_TRAY_MOUSE_HOVER:
        FTray->ShowForm();
        return 0;
    default:
        break;
    }
    if (FShowMainWindowMessage != 0 && Msg == FShowMainWindowMessage) {
        ShowBesideTray(false);
        return 0;
    }
    if (FTaskbarCreatedMessage != 0 && Msg == FTaskbarCreatedMessage) {
        if (FFirstDutiesDone) {
            FTray->CreateIcon(); // with the picture of the last state shown
        }
        return 0;
    }
    return TForm::WndProc(Msg, WParam, LParam);
}

} // namespace tarnwick
