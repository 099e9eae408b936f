#include "app/Unit1.h"

#include "app/About.h"
#include "app/CommandAnswers.h"
#include "app/ProgramSupport.h"
#include "app/resources/ResourceNames.h"
#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "diag/EasyLog.h"
#include "netcore/NetCore.h"
#include "support/EasyCmdLine.h"
#include "support/SupportUtils.h"
#include "tray/GUIUtils.h"

namespace tarnwick {

namespace {

constexpr char16_t TrayTip[] = u"Power off the internet";
constexpr char16_t DeclinedNotice[] = u"Nothing was switched: the administrator prompt was declined.";

template <class T> TNotifyEvent Handler(T* Form, void (T::*Method)(TComponent&)) {
    return [Form, Method](TComponent& Sender) { (Form->*Method)(Sender); };
}

} // namespace

TForm1::TForm1(TApplication& Application, TComponent* AOwner, const TForm1Platforms& Platforms)
    : TForm(Application, AOwner), FPlatforms(Platforms) {
    BuildDesign();
    // The toolkit's first automatic showing of the main window then happens far outside every screen.
    SetTop(-10000);
    FTray = std::make_unique<TTunerTray>(FPlatforms.Shell, Application, *this, TrayTip, Application.Icon());
    IGuiPlatform& gui = Application.Gui();
    FTarnwickIcon = TIcon(gui.LoadIconW(InternetOffIconName));
    FInternetOnIcon = TIcon(gui.LoadIconW(InternetOnIconName));
    // Explorer announces a new taskbar (after it restarted) with this message; the icon is added again
    // then. An elevated copy hears it only when the message filter lets it through.
    // Every error box the user sees is in the log too.
    Application.OnException = [&Application](TComponent*, std::exception_ptr Error) {
        const std::u16string message = ExceptionMessage(Error);
        WriteBoxToLog(message);
        Application.ShowException(message);
    };
    FTaskbarCreatedMessage = gui.RegisterWindowMessageW(u"TaskbarCreated");
    if (FTaskbarCreatedMessage) {
        gui.ChangeWindowMessageFilter(FTaskbarCreatedMessage, MSGFLT_ADD);
    }
}

TForm1::~TForm1() {
    try {
        FTray->DeleteIcon();
    } catch (...) {
        // Without a window there is no icon of it to remove.
    }
    FTray.reset();
}

void TForm1::BuildDesign() {
    SetCaption(u"Tarnwick");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetColor(clWhite);
    SetFont(TFont{});
    SetClientSize(248, 74);
    OnActivate = Handler(this, &TForm1::FormActivate);
    OnShow = Handler(this, &TForm1::FormShow);
    OnCloseQuery = [this](TComponent& Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };

    btnSwitch = MakeComponent<TButton>(*this, this);
    btnSwitch->SetBounds(79, 37, 153, 25);
    btnSwitch->SetCaption(u"Turn on the internet");
    btnSwitch->SetTabOrder(0);
    btnSwitch->OnClick = Handler(this, &TForm1::btnSwitchClick);

    imgInternetOn = MakeComponent<TImage>(*this, this);
    imgInternetOn->SetBounds(15, 13, 49, 49);
    imgInternetOn->LoadPicture(InternetOnPictureName);

    lblState = MakeComponent<TLabel>(*this, this);
    lblState->SetBounds(95, 13, 119, 13);
    lblState->SetCaption(u"Internet is turned off");
    TFont stateFont = Font();
    stateFont.Bold = true;
    stateFont.Color = clGreen;
    lblState->SetFont(stateFont);

    TrayMenu = MakeComponent<TPopupMenu>(*this, this);
    About1 = MakeComponent<TMenuItem>(*TrayMenu, this);
    About1->SetCaption(u"About");
    About1->OnClick = Handler(this, &TForm1::About1Click);
    N1 = MakeComponent<TMenuItem>(*TrayMenu, this);
    N1->SetCaption(cLineCaption);
    Exit1 = MakeComponent<TMenuItem>(*TrayMenu, this);
    Exit1->SetCaption(u"Exit");
    Exit1->OnClick = Handler(this, &TForm1::Exit1Click);

    // Lies over imgInternetOn; the state decides which of the two shows.
    imgTarnwick = MakeComponent<TImage>(*this, this);
    imgTarnwick->SetBounds(15, 13, 49, 49);
    imgTarnwick->LoadPicture(InternetOffPictureName);

    TurnOnMenu = MakeComponent<TPopupMenu>(*this, this);
    const struct {
        TOwned<TMenuItem>& Item;
        const char16_t* Caption;
        std::intptr_t Minutes;
    } turnOnItems[] = {
        {urnonfor5min1, u"Turn on for 5 min", 5},
        {urnonfor15min1, u"Turn on for 15 min", 15},
        {urnonfor30min1, u"Turn on for 30 min", 30},
        {urnonforanhour1, u"Turn on for an hour", 60},
        {N2, cLineCaption, 0},
        {Justturnon1, u"Just turn on", 0},
    };
    for (const auto& entry : turnOnItems) {
        entry.Item = MakeComponent<TMenuItem>(*TurnOnMenu, this);
        entry.Item->SetCaption(entry.Caption);
        entry.Item->SetTag(entry.Minutes);
        if (!entry.Item->IsLine()) {
            entry.Item->OnClick = Handler(this, &TForm1::urnonfor5min1Click);
        }
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

void TForm1::FormShow(TComponent&) {
    FTray->HideForm();
}

void TForm1::FormActivate(TComponent&) {
    if (FActivated) {
        return;
    }
    FActivated = true;
    ISystemPlatform& system = FPlatforms.System;
    const TArguments arguments = ProcessArguments(system);
    const TCommand command =
        ParseCommand(arguments, [&system](const std::u16string& A, const std::u16string& B) {
            return SameTextLocale(system, A, B);
        });
    if (!command.Refused() && command.SubscribeOnStartup) {
        // Quoted, so that a path with blanks stays one program for the shell that starts it.
        SetStartupEntry(FPlatforms.Registry, StartupValueName, u"\"" + ProgramFileName(system) + u"\"", false,
                        false, true, false);
    }
    // The autostart removal was done before the window was made; with an action it ends the program after
    // it, as the registration does.
    // A limited switch that is to end stays until its deadline has been carried out: nothing else would
    // switch back.
    FExitAtDeadline = !command.Refused() && command.Exit && command.Minutes > 0;
    if (!command.Refused() && !FExitAtDeadline &&
        (command.SubscribeOnStartup || command.UnsubscribeOnStartup || command.Exit)) {
        FIsExitingProgram = true;
        Close(); // only asks the loop to end: the duties below still run first
    }
    FTray->CreateIcon();
    FTray->HideForm();
    UpdateStateDisplay();
    RemoveButtonShield(Application().Windows(), btnSwitch->Handle());
    DeleteApplicationTaskBarTab(Application(), GetWindowsVersionCode(system));
    FExitCode = CarryOutAction(arguments);
    if (FExitAtDeadline && !FIsExitingProgram && (FExitCode != ecDone || !TurnOffTimer->Enabled())) {
        EndAfterDeadline(FExitCode);
    }
}

void TForm1::EndAfterDeadline(int ExitCode) {
    FExitAtDeadline = false;
    FExitCode = ExitCode;
    FIsExitingProgram = true;
    Close();
}

int TForm1::CarryOutAction(const TArguments& Arguments) {
    ISystemPlatform& system = FPlatforms.System;
    const TCommand command =
        ParseCommand(Arguments, [&system](const std::u16string& A, const std::u16string& B) {
            return SameTextLocale(system, A, B);
        });
    if (command.Refused()) {
        ShowMessageBox(command.Error, MB_OK);
        return ecBadArguments;
    }
    using TSwitchHandler = TSwitchResult (TForm1::*)(std::int32_t, TSwitchRequester);
    static constexpr struct {
        TActionVerb Action;
        TSwitchHandler Handler;
    } switchTable[] = {
        {TActionVerb::avTurnOff, &TForm1::SwitchOffFor},
        {TActionVerb::avTurnOn, &TForm1::SwitchOn},
    };
    for (const auto& row : switchTable) {
        if (row.Action != command.Action) {
            continue;
        }
        FCommand = &command;
        try {
            const TSwitchResult result = (this->*row.Handler)(command.Minutes, TSwitchRequester::CommandLine);
            FCommand = nullptr;
            return result.Kind == TSwitchResultKind::HandedToElevatedCopy ? FElevatedCopyExitCode
                                                                          : ExitCodeOf(result.Kind);
        } catch (...) {
            FCommand = nullptr;
            const std::u16string message = ExceptionMessage(std::current_exception());
            ShowMessageBox(message, MB_OK | MB_ICONSTOP);
            return ExitCodeOf(std::current_exception());
        }
    }
    // "status" and "list" of a later start are answered by that start; nothing to do here.
    return ecDone;
}

void TForm1::UpdateStateDisplay() {
    const bool on = IsInternetActive(FPlatforms.Devices, ReadKeepList(FPlatforms.Registry));
    imgInternetOn->SetVisible(on);
    imgTarnwick->SetVisible(!on);
    FTray->ModifyIcon(on ? FInternetOnIcon : FTarnwickIcon);
    lblState->SetCaption(on ? u"Internet is turned on" : u"Internet is turned off");
    lblState->SetFontColor(on ? clBlack : clGreen);
    btnSwitch->SetCaption(on ? u"Turn off the internet" : u"Turn on the internet");
}

void TForm1::btnSwitchClick(TComponent&) {
    if (IsInternetActive(FPlatforms.Devices, ReadKeepList(FPlatforms.Registry))) {
        SwitchOff(TSwitchRequester::Button);
        return;
    }
    TPoint cursor;
    Application().Windows().GetCursorPos(cursor);
    TurnOnMenu->Popup(cursor.X, cursor.Y);
}

void TForm1::urnonfor5min1Click(TComponent& Sender) {
    SwitchOn(static_cast<std::int32_t>(dynamic_cast<TMenuItem&>(Sender).Tag()), TSwitchRequester::Menu);
}

void TForm1::About1Click(TComponent&) {
    ShowAboutBox(Application(), FPlatforms.ShellExecute, IsProcessElevated(FPlatforms.System));
}

void TForm1::Exit1Click(TComponent&) {
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
    // A switch that some adapter refused keeps the timer: the next tick tries again.
    const TSwitchResult result =
        FTimerTurnsOn ? SwitchOn(0, TSwitchRequester::Deadline) : SwitchOff(TSwitchRequester::Deadline);
    if (result.Kind != TSwitchResultKind::PartlyFailed) {
        TurnOffTimer->SetEnabled(false);
    }
    if (FExitAtDeadline) {
        EndAfterDeadline(ExitCodeOf(result.Kind));
    }
}

bool TForm1::NeedsElevation() {
    ISystemPlatform& system = FPlatforms.System;
    const bool elevationSwitch = SwitchPresent(system, u"elevation");
    const std::uint8_t code = GetWindowsVersionCode(system);
    // The exact version and the token are asked only where the answer depends on them.
    const bool newer = !elevationSwitch && code == 0 && IsWindowsNewerThan7(system);
    return ElevationNeeded(code, newer, newer && IsProcessElevated(system), elevationSwitch);
}

TSwitchResult TForm1::RelaunchElevated(const std::u16string& Verb, const std::u16string& Argument) {
    std::u16string action = Verb;
    if (!Argument.empty()) {
        action += u" " + Argument;
    }
    ISystemPlatform& system = FPlatforms.System;
    // A start that is to end hands that on: its copy ends after the switch too.
    const bool exit = FCommand && FCommand->Exit;
    const std::u16string parameters = u"-elevation -action " + action + (exit ? u" -exit" : u"");
    try {
        // A start that is to end with the switch's exit code waits for the copy and ends with its code.
        std::uint32_t copyExitCode = ecDone;
        RunElevated(FPlatforms.ShellExecute, system, Handle(), ProgramFileName(system), parameters,
                    exit ? &copyExitCode : nullptr);
        FElevatedCopyExitCode = static_cast<int>(copyExitCode);
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
    // A start that ends answers the console it was started from, when it has one: no box waits there.
    if (FIsExitingProgram && FPlatforms.Console && FPlatforms.Console->Available()) {
        FPlatforms.Console->WriteLine(Text);
        return;
    }
    Application().MessageBox(Text, Flags);
}

TSwitchResultKind TForm1::TellOutcome(const TSwitchReport& Report, const std::u16string& Notice,
                                      const std::u16string& Title) {
    FTray->HideForm();
    if (!Report.AllSucceeded()) {
        ShowMessageBox(SwitchFailureText(Report), MB_OK | MB_ICONWARNING);
        return TSwitchResultKind::PartlyFailed;
    }
    const std::u16string restart = RestartText(Report);
    FTray->ShowBalloonTrayIcon(0, restart.empty() ? Notice : Notice + u"\r\n" + restart, Title, bitInfo);
    return TSwitchResultKind::Switched;
}

TSwitchResult TForm1::SwitchOn(std::int32_t Minutes, TSwitchRequester Requester) {
    WriteToLog(u"Turn on the internet" +
               (Minutes == 0 ? std::u16string() : u" for " + IntToText(Minutes) + u" min") + u", asked by " +
               RequesterText(Requester));
    if (Minutes < 0 || Minutes > MaxTurnOnMinutes) {
        // Its milliseconds would not fit the platform timer and the turn-off would come far too soon.
        throw EGeneralError(
            FormatText(u"The internet cannot be turned on for %d min: a limited turn-on lasts "
                       u"at most %d min. Nothing has been switched.",
                       {std::int64_t(Minutes), std::int64_t(MaxTurnOnMinutes)}));
    }
    if (NeedsElevation()) {
        return RelaunchElevated(u"turnon", IntToText(Minutes));
    }
    std::u16string notice;
    if (Minutes == 0) {
        notice = u"The internet is turned on now";
        if (FTimerTurnsOn) {
            TurnOffTimer->SetEnabled(false); // a pause ends early
        }
    } else {
        notice = u"The internet is turned on for " + IntToText(Minutes) + u" min only";
        ArmTimer(Minutes, false);
    }
    TSwitchResult result;
    result.Report = TurnOnInternet(FPlatforms.Devices, ReadKeepList(FPlatforms.Registry));
    result.Kind = TellOutcome(result.Report, notice, u"Internet On");
    return result;
}

TSwitchResult TForm1::SwitchOff(TSwitchRequester Requester) {
    return SwitchOffFor(0, Requester);
}

TSwitchResult TForm1::SwitchOffFor(std::int32_t Minutes, TSwitchRequester Requester) {
    WriteToLog(u"Turn off the internet" +
               (Minutes == 0 ? std::u16string() : u" for " + IntToText(Minutes) + u" min") + u", asked by " +
               RequesterText(Requester));
    if (NeedsElevation()) {
        return RelaunchElevated(u"turnoff", Minutes == 0 ? u"" : IntToText(Minutes));
    }
    TSwitchResult result;
    result.Report = TurnOffInternet(FPlatforms.Devices, ReadKeepList(FPlatforms.Registry));
    if (Minutes == 0) {
        result.Kind = TellOutcome(result.Report, u"The internet is turned off now. Happy offline work!",
                                  u"Internet Off");
        if (result.Kind == TSwitchResultKind::Switched) {
            TurnOffTimer->SetEnabled(false);
        }
    } else {
        // The pause runs also when some adapter refused: the others come back on at its end.
        ArmTimer(Minutes, true);
        result.Kind = TellOutcome(result.Report,
                                  u"The internet is turned off for " + IntToText(Minutes) +
                                      u" min. Happy offline work!",
                                  u"Internet Off");
    }
    return result;
}

void TForm1::ArmTimer(std::int32_t Minutes, bool TurnsOn) {
    FTimerTurnsOn = TurnsOn;
    TurnOffTimer->SetInterval(static_cast<std::uint32_t>(Minutes) * 60000u);
    TurnOffTimer->SetEnabled(true);
}

void TForm1::WMTrayCallback(std::intptr_t MouseMessage) {
    const auto message = static_cast<std::uint32_t>(MouseMessage & 0xFFFF);
    if (message == WM_LBUTTONDOWN) {
        PositionFormToTray(FPlatforms.Shell, this, true);
        FTray->ShowForm();
        Application().Gui().SetFocus(Handle());
        SetFormTopMost(*this);
    } else if (message == WM_RBUTTONDOWN) {
        TPoint cursor;
        Application().Windows().GetCursorPos(cursor);
        TrayMenu->Popup(cursor.X, cursor.Y);
    }
    // Every other mouse message, moves included, is ignored: the tray's hover detector is never fed.
}

std::intptr_t TForm1::WndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    switch (Msg) {
    case WM_KILLFOCUS:
        return 0;
    case WM_QUERYENDSESSION:
        // Logoff or shutdown may go on; the close that follows ends the program.
        FIsExitingProgram = true;
        return 1;
    case WM_DEVICECHANGE:
        UpdateStateDisplay();
        return 0;
    case WM_TRAY_CALLBACK:
        WMTrayCallback(LParam);
        return 0;
    case WM_TRAY_MOUSE_HOVER:
        FTray->ShowForm();
        return 0;
    default:
        break;
    }
    if (FTaskbarCreatedMessage != 0 && Msg == FTaskbarCreatedMessage) {
        if (FActivated) {
            FTray->CreateIcon(); // with the picture of the last state shown
        }
        return 0;
    }
    return TForm::WndProc(Msg, WParam, LParam);
}

} // namespace tarnwick
