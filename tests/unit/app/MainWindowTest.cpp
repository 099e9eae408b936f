#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/ProgramSupport.h"
#include "core/Errors.h"
#include "core/Text.h"
#include "fixtures/RecordingLog.h"
#include "tests/unit/app/ProgramHarness.h"

namespace tarnwick {
namespace {

using test::TProgramHarness;
using ::testing::ElementsAre;

constexpr std::uint32_t Minute = 60000;

// The entries of the timeline that show the first activation's duties and the showing of the windows.
std::vector<std::string> Duties(const TProgramHarness& h) {
    const std::string shield =
        "SendMessageW(" + std::to_string(h.Form->btnSwitch->Handle()) + "," + std::to_string(BCM_SETSHIELD);
    const std::string showApp = "ShowWindow(" + std::to_string(h.App->Handle()) + ",";
    const std::string showForm = "ShowWindow(" + std::to_string(h.Form->Handle()) + ",";
    std::vector<std::string> duties;
    for (const std::string& entry : h.Desktop.Timeline) {
        if (entry.rfind("NIM_", 0) == 0 || entry.rfind(showApp, 0) == 0 || entry.rfind(showForm, 0) == 0 ||
            entry.rfind(shield, 0) == 0 || entry.rfind("DeleteTab", 0) == 0 ||
            entry.rfind("MessageBoxW", 0) == 0) {
            duties.push_back(entry.rfind(shield, 0) == 0 ? "RemoveButtonShield" : entry);
        }
    }
    return duties;
}

std::string Show(HWND_T Window, std::uint32_t Command) {
    return test::CallText("ShowWindow", {(long long)Window, Command});
}

TEST(MainWindow, IsBuiltFromItsDesignHiddenWithoutATrayIcon) {
    TProgramHarness h;
    h.Create(u"");
    TForm1& f = *h.Form;
    EXPECT_EQ(f.Caption(), u"Tarnwick");
    EXPECT_EQ(f.ClientWidth(), 248);
    EXPECT_EQ(f.ClientHeight(), 74);
    EXPECT_EQ(f.Width(), 248 + 6); // the dialog frame around the client area
    EXPECT_EQ(f.Height(), 74 + 25);
    EXPECT_EQ(f.Color(), clWhite);
    EXPECT_EQ(f.Font(), TFont{});

    const test::THeadlessDesktop::TWindow& window = h.Desktop.Window(f.Handle());
    EXPECT_EQ(window.ClassName, MainWindowClassName);
    EXPECT_EQ(window.Parent, h.App->Handle()) << "owned by the application window: no taskbar button";
    EXPECT_EQ(window.Style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX),
              WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(window.ExStyle, WS_EX_TOOLWINDOW) << "a flyout: not among the windows of Alt+Tab";
    EXPECT_FALSE(window.Visible);

    // The state label keeps its designed place and takes the size of its caption in bold. Assistive
    // technology reads each control's role, and its caption as its name: a picture's says what it shows.
    const TRect state = test::THeadlessDesktop::TextExtent(u"Internet is turned off", -11, true);
    const struct {
        TControl* Control;
        TRect Bounds; // left, top, width, height
        const char16_t* Caption;
        std::uint32_t Role;
    } controls[] = {
        {f.btnSwitch.get(), {79, 37, 153, 25}, u"Turn on the internet", ROLE_SYSTEM_PUSHBUTTON},
        {f.imgInternetOn.get(), {15, 13, 49, 49}, u"A globe: the internet is on", ROLE_SYSTEM_GRAPHIC},
        {f.lblState.get(),
         {95, 13, state.Right, state.Bottom},
         u"Internet is turned off",
         ROLE_SYSTEM_STATICTEXT},
        {f.imgTarnwick.get(),
         {15, 13, 49, 49},
         u"A globe crossed out: the internet is off",
         ROLE_SYSTEM_GRAPHIC},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(ToUtf8(c.Caption));
        EXPECT_EQ((TRect{c.Control->Left(), c.Control->Top(), c.Control->Width(), c.Control->Height()}),
                  c.Bounds);
        EXPECT_EQ(c.Control->Caption(), c.Caption);
        const auto& child = h.Desktop.Window(c.Control->Handle());
        EXPECT_EQ(child.Parent, f.Handle());
        EXPECT_EQ(child.Text, c.Caption);
        EXPECT_EQ(child.AccessibleRole, c.Role);
    }
    EXPECT_EQ(h.Desktop.Window(f.btnSwitch->Handle()).ClassName, u"Button");
    EXPECT_EQ(f.btnSwitch->TabOrder(), 0);
    EXPECT_TRUE(f.lblState->Font().Bold);
    EXPECT_EQ(f.lblState->Font().Color, 0x008000u);
    EXPECT_EQ(f.imgInternetOn->PictureName(), u"PNG_INTERNET_ON");
    EXPECT_EQ(f.imgTarnwick->PictureName(), u"PNG_INTERNET_OFF");
    EXPECT_NE(f.imgTarnwick->Picture(), 0u);
    // The crossed-out globe lies over the globe: made after it.
    EXPECT_GT(f.imgTarnwick->Handle(), f.imgInternetOn->Handle());

    auto menu = [](const TPopupMenu& m) {
        std::vector<std::pair<std::u16string, std::intptr_t>> items;
        for (const TMenuItem* item : m.Items()) {
            items.emplace_back(item->Caption(), item->Tag());
        }
        return items;
    };
    using Item = std::pair<std::u16string, std::intptr_t>;
    EXPECT_THAT(menu(*f.TrayMenu),
                ElementsAre(Item{u"Turn &on the internet", 0}, Item{u"Turn on for &5 min", 5},
                            Item{u"Turn on for &15 min", 15}, Item{u"Turn on for &30 min", 30},
                            Item{u"Turn on for an &hour", 60}, Item{u"Turn &off the internet", 0},
                            Item{u"Turn off for &5 min", 5}, Item{u"Turn off for &15 min", 15},
                            Item{u"Turn off for &30 min", 30}, Item{u"Turn off for an &hour", 60},
                            Item{u"-", 0}, Item{u"&About", 0}, Item{u"-", 0}, Item{u"E&xit", 0}));
    EXPECT_EQ(f.Exit1->Command(), 1002) << "the command number other programs and tests know";
    EXPECT_THAT(menu(*f.TurnOnMenu),
                ElementsAre(Item{u"Turn on for &5 min", 5}, Item{u"Turn on for &15 min", 15},
                            Item{u"Turn on for &30 min", 30}, Item{u"Turn on for an &hour", 60},
                            Item{u"-", 0}, Item{u"Turn on for &good", 0}));
    EXPECT_THAT(menu(*f.TurnOffMenu),
                ElementsAre(Item{u"Turn off for &5 min", 5}, Item{u"Turn off for &15 min", 15},
                            Item{u"Turn off for &30 min", 30}, Item{u"Turn off for an &hour", 60},
                            Item{u"-", 0}, Item{u"Turn off for &good", 0}));

    EXPECT_FALSE(f.TurnOffTimer->Enabled());
    EXPECT_EQ(h.Desktop.Count("SetTimer"), 0u);
    EXPECT_TRUE(h.Shell.Icons.empty());
    EXPECT_EQ(f.InternetOffIcon().Handle(), h.Desktop.Icons.at(u"ZTARNWICKICON"));
    EXPECT_EQ(f.InternetOnIcon().Handle(), h.Desktop.Icons.at(u"ZINTERNETONICON"));
    EXPECT_THAT(
        h.Desktop.MessageFilters,
        ElementsAre(std::make_pair(test::THeadlessDesktop::TaskbarCreated, MSGFLT_ADD),
                    std::make_pair(h.Desktop.RegisterWindowMessageW(ShowMainWindowMessageName), MSGFLT_ADD)));
}

TEST(MainWindow, TheFirstDutiesRunFromAPostedMessageAndShowOrActivateNothing) {
    TProgramHarness h;
    h.Desktop.Foreground = h.Desktop.Active = 0x7E57; // what the user was typing into
    h.Create(u"");
    EXPECT_TRUE(h.Shell.Icons.empty()) << "nothing before the message loop runs";
    EXPECT_FALSE(h.Form->FirstDutiesDone());
    h.Desktop.Pump();
    const HWND_T app = h.App->Handle();
    const HWND_T form = h.FormWindow();
    EXPECT_THAT(Duties(h), ElementsAre(
                               // The duties, in order: the icon, its protocol, the windows kept hidden,
                               // the state.
                               "NIM_ADD(" + std::to_string(h.Desktop.Icons.at(u"MAINICON")) + ")",
                               "NIM_SETVERSION(4)", Show(app, SW_HIDE), Show(form, SW_HIDE),
                               "NIM_MODIFY(" + std::to_string(h.Desktop.Icons.at(u"ZINTERNETONICON")) + ")"
                               // The button's window is not made yet: no shield to remove. The application
                               // window is hidden: no taskbar button to remove, no taskbar list made.
                               ));
    EXPECT_TRUE(h.Form->FirstDutiesDone());
    ASSERT_NE(h.TrayIcon(), nullptr);
    EXPECT_EQ(h.TrayIcon()->Icon, h.Desktop.Icons.at(u"ZINTERNETONICON"));
    EXPECT_EQ(h.TrayIcon()->Tip, u"Tarnwick: the internet is on");
    EXPECT_EQ(h.TrayIcon()->CallbackMessage, WM_TRAY_CALLBACK);
    EXPECT_EQ(h.Desktop.Foreground, 0x7E57u) << "the foreground window stays where it was";
    EXPECT_EQ(h.Desktop.Active, 0x7E57u);
    EXPECT_EQ(h.Desktop.Count("SetForegroundWindow"), 0u);
    EXPECT_EQ(h.Desktop.Count("SetFocus"), 0u);
    for (HWND_T window : {form, app}) {
        EXPECT_FALSE(h.Desktop.Window(window).Visible) << "no window shown, no taskbar button";
        EXPECT_TRUE(h.Desktop.Window(window).WindowIcons.empty());
    }
    EXPECT_FALSE(h.Desktop.QuitPosted);
    EXPECT_TRUE(h.Shell.Balloons.empty());
    EXPECT_TRUE(h.ShellExecute.Requests.empty());

    // The loop of the program itself shows nothing either.
    TProgramHarness run;
    run.Create(u"");
    run.Desktop.OnIdle = [] { return false; };
    run.App->Run();
    EXPECT_TRUE(run.Form->FirstDutiesDone());
    EXPECT_FALSE(run.Desktop.Window(run.FormWindow()).Visible);
    EXPECT_FALSE(run.Desktop.Window(run.App->Handle()).Visible);
    EXPECT_EQ(run.Desktop.Active, 0u);
}

TEST(MainWindow, LaterActivationsRepeatNoneOfTheFirstDuties) {
    TProgramHarness h;
    h.Start(u"-elevation -action turnoff");
    ASSERT_TRUE(h.BothOff());
    h.Machine.sim.Enable(h.Wired);
    h.Desktop.Timeline.clear();
    h.Send(WM_FIRST_DUTIES);
    h.Send(WM_ACTIVATE, 1, 0);
    h.TrayClick(NIN_SELECT); // shown from the tray: activated
    EXPECT_EQ(h.Desktop.Count("NIM_ADD"), 0u);
    EXPECT_EQ(h.Desktop.Count("NIM_MODIFY"), 0u);
    EXPECT_EQ(h.Desktop.Count("DeleteTab"), 0u);
    EXPECT_TRUE(h.AdapterOn(h.Wired)) << "the action is not carried out again";
    EXPECT_EQ(h.Shell.Balloons.size(), 1u);
}

TEST(MainWindow, CarriesOutTheCommandLineAction) {
    struct Case {
        const char16_t* Arguments;
        bool StartOn;
        bool EndOn;
        const char16_t* Balloon; // empty: none
        const char16_t* BalloonTitle;
        std::uint32_t Interval; // 0: the turn-off timer stays off
        const char16_t* Box;    // empty: none
    };
    const Case cases[] = {
        {u"-elevation -action turnoff", true, false, test::OffNotice, u"Internet Off", 0, u""},
        {u"-elevation -action TurnOff", true, false, test::OffNotice, u"Internet Off", 0, u""},
        {u"-elevation -action turnon 15", false, true, u"The internet is turned on for 15 min only",
         u"Internet On", 15 * Minute, u""},
        {u"-elevation -action turnon", false, true, u"The internet is turned on now", u"Internet On", 0, u""},
        {u"-elevation -action TURNON 35791", false, true, u"The internet is turned on for 35791 min only",
         u"Internet On", 35791 * Minute, u""},
        // Refused command lines never reach the window (their start answers them); should one come, it
        // changes nothing and shows nothing.
        {u"-elevation -action reboot", true, true, u"", u"", 0, u""},
        {u"-elevation", true, true, u"", u"", 0, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Arguments));
        TProgramHarness h;
        if (!c.StartOn) {
            h.TurnAdaptersOff();
        }
        h.Start(c.Arguments);
        EXPECT_EQ(h.BothOn(), c.EndOn);
        EXPECT_EQ(h.BothOff(), !c.EndOn);
        EXPECT_EQ(h.LastBalloon(), c.Balloon);
        if (!h.Shell.Balloons.empty()) {
            EXPECT_EQ(h.Shell.Balloons.back().Title, c.BalloonTitle);
            EXPECT_EQ(h.Shell.Balloons.back().TimeoutMs, 0u);
            EXPECT_EQ(h.Shell.Balloons.back().Flags, NIIF_INFO);
        }
        EXPECT_EQ(h.Form->TurnOffTimer->Enabled(), c.Interval != 0);
        EXPECT_EQ(h.TimerArmed(), c.Interval != 0);
        if (c.Interval) {
            EXPECT_EQ(h.Form->TurnOffTimer->Interval(), c.Interval);
        }
        if (*c.Box) {
            ASSERT_EQ(h.Desktop.Boxes.size(), 1u);
            EXPECT_EQ(h.Desktop.Boxes[0].Text, c.Box);
            EXPECT_EQ(h.Desktop.Boxes[0].Caption, u"Tarnwick");
        } else {
            EXPECT_TRUE(h.Desktop.Boxes.empty());
        }
        // Whatever the action, the program stays in the tray with the state shown.
        EXPECT_FALSE(h.Desktop.QuitPosted);
        ASSERT_NE(h.TrayIcon(), nullptr);
        EXPECT_EQ(h.TrayIcon()->Icon,
                  c.EndOn ? h.Form->InternetOnIcon().Handle() : h.Form->InternetOffIcon().Handle());
        EXPECT_TRUE(h.ShellExecute.Requests.empty());
    }
}

TEST(MainWindow, OnWindows7WithoutElevationEverySwitchStartsAnElevatedCopyAndEnds) {
    struct Case {
        const char16_t* Arguments;
        bool StartOn;
        const char16_t* Parameters;
    };
    const Case cases[] = {
        {u"-action turnoff", true, u"-elevation -action turnoff"},
        {u"-action turnon", false, u"-elevation -action turnon"},
        {u"-action turnon 15", false, u"-elevation -action turnon 15"},
        {u"-action TurnOn 0", false, u"-elevation -action turnon"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Arguments));
        TProgramHarness h;
        if (!c.StartOn) {
            h.TurnAdaptersOff();
        }
        h.Start(c.Arguments);
        ASSERT_EQ(h.ShellExecute.Requests.size(), 1u);
        const auto& request = h.ShellExecute.Requests[0];
        EXPECT_EQ(request.Verb, u"runas");
        EXPECT_EQ(request.File, test::ProgramPath);
        EXPECT_EQ(request.Parameters, c.Parameters);
        EXPECT_EQ(request.Info.hwnd, h.FormWindow());
        EXPECT_TRUE(h.Form->IsExitingProgram());
        EXPECT_TRUE(h.Desktop.QuitPosted) << "the first instance ends";
        EXPECT_EQ(h.BothOn(), c.StartOn) << "nothing is switched here";
        EXPECT_TRUE(h.Shell.Balloons.empty());
        EXPECT_FALSE(h.Form->TurnOffTimer->Enabled());
    }
}

TEST(MainWindow, TheButtonAndTheMenusRelaunchWithTheirActionToo) {
    TProgramHarness on;
    on.Start(u"");
    on.TrayClick(NIN_SELECT);
    on.PressSwitch();
    ASSERT_EQ(on.ShellExecute.Requests.size(), 1u);
    EXPECT_EQ(on.ShellExecute.Requests[0].Parameters, u"-elevation -action turnoff");
    EXPECT_TRUE(on.Desktop.QuitPosted);

    TProgramHarness off;
    off.TurnAdaptersOff();
    off.Start(u"");
    off.Choose(*off.Form->urnonfor30min1);
    ASSERT_EQ(off.ShellExecute.Requests.size(), 1u);
    EXPECT_EQ(off.ShellExecute.Requests[0].Parameters, u"-elevation -action turnon 30");
    EXPECT_TRUE(off.BothOff());
    EXPECT_FALSE(off.TimerArmed());
}

TEST(MainWindow, AHandedOverElevatedCommandLeavesTheWindowsOwnSwitchesAskingForElevation) {
    // Windows 10, not elevated: an elevated copy hands its command line to this instance.
    TProgramHarness h;
    h.Start(u"", 10, 0);
    EXPECT_EQ(h.Form->CarryOutHandedOver({test::ProgramPath, u"-elevation", u"-action", u"turnoff"}), ecDone);
    EXPECT_TRUE(h.BothOff());
    EXPECT_TRUE(h.ShellExecute.Requests.empty());

    // A switch from the menu afterwards is this process's own: it goes through the prompt, without that
    // command's switches.
    h.Choose(*h.Form->Justturnon1);
    ASSERT_EQ(h.ShellExecute.Requests.size(), 1u);
    EXPECT_EQ(h.ShellExecute.Requests[0].Parameters, u"-elevation -action turnon");
    EXPECT_TRUE(h.BothOff());
}

TEST(MainWindow, ElevationIsNeededOnVistaAnd7AndOnNewerWindowsUnlessAlreadyElevated) {
    struct Case {
        std::uint32_t Major, Minor;
        bool Elevated;
        bool TokenReadable;
        const char16_t* Arguments;
        bool Relaunch;
    };
    const Case cases[] = {
        {5, 1, false, false, u"-action turnoff", false},           // XP
        {5, 2, false, false, u"-action turnoff", false},           // XP x64, Server 2003
        {6, 0, false, true, u"-action turnoff", true},             // Vista
        {6, 1, false, true, u"-action turnoff", true},             // 7
        {6, 1, true, true, u"-action turnoff", true},              // 7 asks even when elevated
        {6, 2, false, true, u"-action turnoff", true},             // 8
        {10, 0, false, true, u"-action turnoff", true},            // 10 and 11
        {10, 0, false, false, u"-action turnoff", true},           // a token that cannot tell
        {10, 0, true, true, u"-action turnoff", false},            // 10, already elevated
        {6, 1, false, true, u"-action turnoff -elevation", false}, // the elevated copy itself
        {10, 0, false, true, u"-elevation -action turnoff", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Major) + "." + std::to_string(c.Minor) +
                     (c.Elevated ? " elevated " : " ") + ToUtf8(c.Arguments));
        TProgramHarness h;
        h.System.Elevated = c.Elevated;
        h.System.TokenReadable = c.TokenReadable;
        h.Start(c.Arguments, c.Major, c.Minor);
        EXPECT_EQ(h.ShellExecute.Requests.size(), c.Relaunch ? 1u : 0u);
        EXPECT_EQ(h.BothOff(), !c.Relaunch);
        EXPECT_EQ(h.Desktop.QuitPosted, c.Relaunch);
    }
}

TEST(ElevationDecision, FollowsTheVersionCodeTheSwitchAndTheToken) {
    struct Case {
        std::uint8_t Code;
        bool Newer, Elevated, Switch, Needed;
    };
    const Case cases[] = {
        {1, false, false, false, false}, {4, false, false, false, false}, {5, false, false, false, false},
        {6, false, false, false, true},  {7, false, false, false, true},  {7, false, true, false, true},
        {7, false, false, true, false},  {0, false, false, false, false}, {0, true, false, false, true},
        {0, true, true, false, false},   {0, true, false, true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ElevationNeeded(c.Code, c.Newer, c.Elevated, c.Switch), c.Needed)
            << int(c.Code) << c.Newer << c.Elevated << c.Switch;
    }
}

TEST(MainWindow, SubscribeOnStartupWritesTheQuotedPathAndEndsAfterTheOtherDuties) {
    struct Case {
        const char16_t* Arguments;
        bool EndOn;
    };
    const Case cases[] = {
        {u"-subscribeonstartup", true},
        {u"-subscribeonstartup -elevation -action turnoff", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Arguments));
        TProgramHarness h;
        h.Start(c.Arguments);
        EXPECT_EQ(h.Registry.GetString(HKeyCurrentUser, u"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                       u"Tarnwick"),
                  u"\"" + std::u16string(test::ProgramPath) + u"\"");
        EXPECT_FALSE(h.Registry.Get(HKeyLocalMachine, u"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                    u"Tarnwick"));
        EXPECT_TRUE(h.Desktop.QuitPosted);
        EXPECT_TRUE(h.Form->IsExitingProgram());
        EXPECT_NE(h.TrayIcon(), nullptr) << "the duties after the registration still ran";
        EXPECT_EQ(h.BothOn(), c.EndOn);
    }
}

TEST(MainWindow, AFailedElevationLeavesWindowAndStateAsTheyWereADeclinedOneWithoutABox) {
    const struct {
        std::uint32_t Error;
        const char16_t* Box;     // empty: none
        const char16_t* Balloon; // empty: none
        const char16_t* LastLog; // the line the log ends with
    } cases[] = {
        {ERROR_CANCELLED, u"", u"Nothing was switched: the administrator prompt was declined.",
         u"The elevation prompt was declined; nothing was switched"},
        // The box of the central error handling reaches the log too, on one line.
        {ERROR_ACCESS_DENIED, u"System Error.  Code: 5.\r\nError ?", u"",
         u"Message box: System Error.  Code: 5. Error ?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Error);
        testing::RecordingLog log;
        TProgramHarness h;
        h.ShellExecute.Succeeds = false;
        h.System.LastError = c.Error;
        h.Start(u"");
        h.TrayClick(NIN_SELECT);
        ASSERT_TRUE(h.Desktop.OnScreen(h.FormWindow()));
        h.PressSwitch();
        if (*c.Box) {
            ASSERT_EQ(h.Desktop.Boxes.size(), 1u);
            EXPECT_EQ(h.Desktop.Boxes[0].Text, c.Box);
            EXPECT_EQ(h.Desktop.Boxes[0].Caption, u"Tarnwick");
        } else {
            EXPECT_TRUE(h.Desktop.Boxes.empty());
        }
        EXPECT_EQ(h.LastBalloon(), c.Balloon);
        EXPECT_TRUE(h.Desktop.OnScreen(h.FormWindow()));
        EXPECT_FALSE(h.Form->IsExitingProgram());
        EXPECT_FALSE(h.Desktop.QuitPosted);
        EXPECT_TRUE(h.BothOn());
        EXPECT_EQ(h.Form->btnSwitch->Caption(), u"Turn off the internet");
        ASSERT_FALSE(log.Lines.empty());
        EXPECT_EQ(log.Lines.back(), c.LastLog);
    }
}

TEST(MainWindow, ALimitedTurnOnArmsTheTimerAndEveryCompletedTurnOffDisarmsIt) {
    // Each case: a turn-on for 15 minutes at 0, something at minute 10, and the minutes at which the
    // internet is seen on and off afterwards.
    struct Case {
        const char* Name;
        std::function<void(TProgramHarness&)> AtMinute10;
        std::vector<std::pair<std::uint64_t, bool>> OnAt;
    };
    const Case cases[] = {
        {"the same minutes start the period anew",
         [](TProgramHarness& h) { h.Choose(*h.Form->urnonfor15min1); },
         {{15, true}, {24, true}, {25, false}}},
        {"other minutes start the period anew",
         [](TProgramHarness& h) { h.Choose(*h.Form->urnonfor30min1); },
         {{15, true}, {39, true}, {40, false}}},
        {"a turn-off from the button disarms it",
         [](TProgramHarness& h) { h.PressSwitch(); },
         {{10, false}, {15, false}}},
        {"nothing: the tick turns off", [](TProgramHarness&) {}, {{14, true}, {15, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TProgramHarness h;
        h.TurnAdaptersOff();
        h.Start(u"-elevation");
        h.Choose(*h.Form->urnonfor15min1);
        ASSERT_TRUE(h.BothOn());
        ASSERT_TRUE(h.TimerArmed());
        h.Desktop.AdvanceTime(10 * Minute);
        c.AtMinute10(h);
        for (const auto& [minute, on] : c.OnAt) {
            h.Desktop.AdvanceTime(minute * Minute - h.Desktop.Now);
            EXPECT_EQ(h.BothOn(), on) << "minute " << minute;
            EXPECT_EQ(h.BothOff(), !on) << "minute " << minute;
        }
        EXPECT_FALSE(h.Form->TurnOffTimer->Enabled());
        EXPECT_FALSE(h.TimerArmed());
        EXPECT_EQ(h.LastBalloon(), test::OffNotice);
        // Turned off once: a later hour brings no other turn-off.
        const auto changes = h.Machine.sim.Changes().size();
        h.Desktop.AdvanceTime(60 * Minute);
        EXPECT_EQ(h.Machine.sim.Changes().size(), changes);
    }
}

TEST(MainWindow, ATickWhoseTurnOffFailsLeavesTheTimerOnAndTheNextTickTriesAgain) {
    TProgramHarness h;
    h.TurnAdaptersOff();
    h.Start(u"-elevation");
    h.Choose(*h.Form->urnonfor5min1);
    ASSERT_TRUE(h.BothOn());
    h.Machine.sim.Device(h.Wired).RefuseChangeError = ERROR_ACCESS_DENIED;
    const std::size_t balloons = h.Shell.Balloons.size();

    h.Desktop.AdvanceTime(5 * Minute);
    EXPECT_EQ(h.Desktop.Boxes.size(), 1u) << "the error is shown";
    EXPECT_TRUE(h.AdapterOn(h.Wired));
    EXPECT_TRUE(h.Form->TurnOffTimer->Enabled());
    EXPECT_TRUE(h.TimerArmed());
    EXPECT_EQ(h.Shell.Balloons.size(), balloons) << "no turn-off notice";

    h.Machine.sim.Device(h.Wired).RefuseChangeError = 0;
    h.Desktop.AdvanceTime(5 * Minute);
    EXPECT_TRUE(h.BothOff());
    EXPECT_FALSE(h.TimerArmed());
    EXPECT_EQ(h.LastBalloon(), test::OffNotice);
}

TEST(MainWindow, TheCloseBoxHidesExitAndLogoffEndWithoutSwitching) {
    TProgramHarness h;
    h.Start(u"");
    h.TrayClick(NIN_SELECT);
    ASSERT_TRUE(h.Desktop.OnScreen(h.FormWindow()));

    h.Send(WM_CLOSE);
    EXPECT_FALSE(h.Desktop.Window(h.FormWindow()).Visible);
    EXPECT_FALSE(h.Desktop.Window(h.App->Handle()).Visible);
    EXPECT_FALSE(h.Desktop.QuitPosted);

    h.Choose(*h.Form->Exit1);
    EXPECT_TRUE(h.Desktop.QuitPosted);
    EXPECT_TRUE(h.BothOn());

    TProgramHarness logoff;
    logoff.Start(u"");
    EXPECT_EQ(logoff.Send(WM_QUERYENDSESSION), 1) << "the session may end";
    EXPECT_FALSE(logoff.Desktop.QuitPosted);
    logoff.Send(WM_CLOSE);
    EXPECT_TRUE(logoff.Desktop.QuitPosted);

    // Another program vetoed the logoff: the close box hides the window again.
    TProgramHarness cancelled;
    cancelled.Start(u"");
    cancelled.Send(WM_QUERYENDSESSION);
    cancelled.Send(WM_ENDSESSION, 0);
    cancelled.TrayClick(NIN_SELECT);
    cancelled.Send(WM_CLOSE);
    EXPECT_FALSE(cancelled.Desktop.QuitPosted);
    EXPECT_FALSE(cancelled.Desktop.OnScreen(cancelled.FormWindow()));
    // A logoff that goes on keeps the flag.
    cancelled.Send(WM_QUERYENDSESSION);
    cancelled.Send(WM_ENDSESSION, 1);
    cancelled.Send(WM_CLOSE);
    EXPECT_TRUE(cancelled.Desktop.QuitPosted);
}

TEST(MainWindow, ExitFromTheTrayMenuEndsTheMessageLoopAndRemovesTheIcon) {
    TProgramHarness h;
    h.Create(u"");
    h.Desktop.MenuChoice = [](const test::THeadlessDesktop::TPopup&) { return std::u16string(u"E&xit"); };
    int idle = 0;
    h.Desktop.OnIdle = [&] {
        if (idle++ > 0) {
            return false; // the loop should have ended by now
        }
        h.Desktop.PostMessageW(h.FormWindow(), WM_TRAY_CALLBACK, 0, WM_CONTEXTMENU);
        return true;
    };
    h.App->Run();
    EXPECT_TRUE(h.Desktop.QuitSeen);
    EXPECT_EQ(idle, 1);
    ASSERT_EQ(h.Desktop.Popups.size(), 1u);
    h.Form.Reset();
    EXPECT_TRUE(h.Shell.Icons.empty());
    EXPECT_TRUE(h.BothOn());
}

TEST(MainWindow, TheTrayIconShowsTheWindowBesideTheNotificationAreaOrItsMenu) {
    TProgramHarness h;
    h.Start(u"");
    const HWND_T form = h.FormWindow();

    // A shell of version 4 sends the mouse messages as well as the events they make: only the events count.
    for (std::uint32_t ignored :
         {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, 0x0203u /* double click */, 0x0205u}) {
        h.TrayClick(ignored);
    }
    EXPECT_FALSE(h.Desktop.Window(form).Visible);
    EXPECT_TRUE(h.Desktop.Popups.empty());
    EXPECT_FALSE(h.Form->Tray().MouseMovingDetectionRunning()) << "the hover detector is never fed";
    TForm1& f = *h.Form;
    const TControl* waiting[] = {f.btnSwitch.get(), f.imgInternetOn.get(), f.imgTarnwick.get()};
    for (const TControl* control : waiting) {
        EXPECT_FALSE(control->HandleAllocated()) << "resting in the tray, no button or picture window";
    }
    EXPECT_TRUE(f.lblState->HandleAllocated()) << "the state is told by the label's window";
    const HWND_T app = h.App->Handle();
    for (HWND_T window : {form, app}) {
        EXPECT_TRUE(h.Desktop.Window(window).WindowIcons.empty())
            << "resting in the tray, no icons given yet";
    }
    EXPECT_EQ(h.App->Icon().Handle(), HICON_T(0)) << "the large icon is loaded for the first window shown";

    h.TrayClick(NIN_SELECT);
    for (const TControl* control : waiting) {
        EXPECT_TRUE(control->HandleAllocated()) << "the windows are made when the form shows";
    }
    EXPECT_TRUE(h.Desktop.Window(f.imgInternetOn->Handle()).Visible) << "made in the state shown";
    EXPECT_FALSE(h.Desktop.Window(f.imgTarnwick->Handle()).Visible);
    const auto& icons = h.Desktop.Window(form).WindowIcons;
    ASSERT_EQ(icons.size(), 2u) << "the application's icons come with the first showing";
    EXPECT_EQ(icons.at(ICON_BIG), std::intptr_t(h.App->Icon().Handle()));
    EXPECT_EQ(icons.at(ICON_SMALL), std::intptr_t(h.App->SmallIcon().Handle()));
    EXPECT_NE(icons.at(ICON_BIG), 0);
    EXPECT_TRUE(h.Desktop.Window(app).WindowIcons.empty()) << "the application window is never shown";
    const TRect& r = h.Desktop.Window(form).Rect;
    const std::int32_t width = h.Form->Width();
    EXPECT_EQ(r.Left, h.Desktop.Cursor.X - width / 2) << "centred on the cursor";
    EXPECT_EQ(r.Bottom, test::THeadlessDesktop::Taskbar.Top) << "just above the taskbar";
    EXPECT_TRUE(h.Desktop.OnScreen(form));
    EXPECT_EQ(h.Desktop.Focus, f.btnSwitch->Handle()) << "the keyboard starts on the switch";
    EXPECT_EQ(h.Desktop.Foreground, form);
    EXPECT_TRUE(h.Desktop.Window(form).TopMost);
    EXPECT_FALSE(h.Desktop.Window(app).Visible) << "a flyout has no taskbar button";

    h.Send(WM_CLOSE);
    h.Send(WM_TRAY_MOUSE_HOVER);
    EXPECT_TRUE(h.Desktop.OnScreen(form));

    h.TrayClick(WM_CONTEXTMENU, {1250, 780});
    ASSERT_EQ(h.Desktop.Popups.size(), 1u);
    const auto& popup = h.Desktop.Popups[0];
    EXPECT_EQ(popup.X, 1250) << "where the shell anchors it";
    EXPECT_EQ(popup.Y, 780);
    EXPECT_EQ(h.Shell.FocusReturns, 1) << "the keyboard goes back to the notification area";
    EXPECT_EQ(popup.Owner, form);
    std::vector<std::u16string> shown;
    for (const auto& entry : popup.Entries) {
        shown.push_back(entry.Flags == MF_SEPARATOR ? u"-" : entry.Text);
    }
    // The internet is on: the switch turns it off, for good or for a pause.
    EXPECT_THAT(shown, ElementsAre(u"Turn &off the internet", u"Turn off for &5 min", u"Turn off for &15 min",
                                   u"Turn off for &30 min", u"Turn off for an &hour", u"-", u"&About", u"-",
                                   u"E&xit"));
    EXPECT_EQ(popup.Entries.back().Id, h.Form->Exit1->Command());
}

TEST(MainWindow, AFlyoutHidesOnEscapeOrWhenAnotherWindowIsActivatedButNotForItsOwnMenuOrBox) {
    TProgramHarness h;
    h.Start(u"-elevation");
    const HWND_T form = h.FormWindow();
    h.TrayClick(NIN_KEYSELECT);
    ASSERT_TRUE(h.Desktop.OnScreen(form));
    EXPECT_EQ(h.Desktop.Focus, h.ButtonWindow());
    EXPECT_EQ(h.Desktop.Window(form).Rect.Right, test::THeadlessDesktop::Taskbar.Right)
        << "from the keyboard: in the corner, not under a cursor that is elsewhere";
    EXPECT_EQ(h.Desktop.Window(h.ButtonWindow()).Style & BS_DEFPUSHBUTTON, BS_DEFPUSHBUTTON) << "Enter";

    // Escape, as the dialog manager reports it.
    h.Send(WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(h.Desktop.OnScreen(form));
    EXPECT_FALSE(h.Desktop.QuitPosted);

    // A click elsewhere: another window takes the activation.
    h.TrayClick(NIN_SELECT);
    ASSERT_TRUE(h.Desktop.OnScreen(form));
    h.Send(WM_ACTIVATE, WA_INACTIVE, 0x7E57);
    EXPECT_FALSE(h.Desktop.OnScreen(form));

    // Its own menu and boxes take the activation without hiding it.
    h.TurnAdaptersOff();
    h.Send(WM_DEVICECHANGE, test::DBT_DEVNODES_CHANGED, 0);
    h.TrayClick(NIN_SELECT);
    bool shownWithMenu = false;
    h.Desktop.MenuChoice = [&](const test::THeadlessDesktop::TPopup&) -> std::optional<std::u16string> {
        h.Desktop.Send(form, WM_ACTIVATE, WA_INACTIVE, 0x3E0);
        shownWithMenu = h.Desktop.OnScreen(form);
        return std::nullopt;
    };
    h.PressSwitch();
    EXPECT_TRUE(shownWithMenu);
    EXPECT_TRUE(h.Desktop.OnScreen(form));
    bool shownWithBox = false;
    h.Desktop.WhileBoxOpen = [&](const test::THeadlessDesktop::TBox&) {
        h.Desktop.Send(form, WM_ACTIVATE, WA_INACTIVE, 0xB0);
        shownWithBox = h.Desktop.OnScreen(form);
    };
    try {
        throw EGeneralError(u"A failure");
    } catch (...) {
        h.Form->Application().HandleException(h.Form.get());
    }
    ASSERT_EQ(h.Desktop.Boxes.size(), 1u);
    EXPECT_TRUE(shownWithBox);
}

TEST(MainWindow, AShellWithoutVersion4KeepsThePlainMouseMessages) {
    TProgramHarness h;
    h.Shell.TakesVersion4 = false;
    h.Start(u"");
    EXPECT_FALSE(h.Form->Tray().UsesVersion4());
    h.TrayClick(NIN_SELECT);
    EXPECT_FALSE(h.Desktop.OnScreen(h.FormWindow())) << "an older shell never sends it";
    h.TrayClick(WM_LBUTTONDOWN);
    EXPECT_TRUE(h.Desktop.OnScreen(h.FormWindow()));
    h.TrayClick(WM_RBUTTONDOWN);
    ASSERT_EQ(h.Desktop.Popups.size(), 1u);
    EXPECT_EQ(h.Desktop.Popups[0].X, h.Desktop.Cursor.X) << "at the cursor";
}

TEST(MainWindow, AnIconTheShellRefusedAtStartIsAddedOnALaterTry) {
    TProgramHarness h;
    h.Shell.RefusedAdds = 2; // the shell is not ready at logon
    h.Start(u"");
    EXPECT_EQ(h.TrayIcon(), nullptr);
    h.Desktop.AdvanceTime(2 * IconAddRetryMilliseconds);
    ASSERT_NE(h.TrayIcon(), nullptr);
    EXPECT_EQ(h.TrayIcon()->Icon, h.Desktop.Icons.at(u"ZINTERNETONICON")) << "with the present state";
    EXPECT_TRUE(h.Form->Tray().UsesVersion4());
}

TEST(MainWindow, TheTipAndTheStateTextSayTheStateAndALimitedSwitchsEndInTheUsersClock) {
    struct Case {
        const char16_t* Arguments;
        bool StartOn;
        bool TwelveHour;
        const char16_t* Label;
        const char16_t* Tip;
    };
    // The clock: noon UTC, in a zone one hour east.
    const Case cases[] = {
        {u"", true, false, u"Internet is turned on", u"Tarnwick: the internet is on"},
        {u"", false, false, u"Internet is turned off", u"Tarnwick: the internet is off"},
        {u"-elevation -action turnon 15", false, false, u"Internet is turned on until 13:15",
         u"Tarnwick: the internet is on until 13:15"},
        {u"-elevation -action turnoff 30", true, false, u"Internet is turned off until 13:30",
         u"Tarnwick: the internet is off until 13:30"},
        {u"-elevation -action turnon 15", false, true, u"Internet is turned on until 1:15 PM",
         u"Tarnwick: the internet is on until 1:15 PM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Label));
        TProgramHarness h;
        h.Clock.TwelveHour = c.TwelveHour;
        if (!c.StartOn) {
            h.TurnAdaptersOff();
        }
        h.Start(c.Arguments);
        EXPECT_EQ(h.Form->lblState->Caption(), c.Label);
        ASSERT_NE(h.TrayIcon(), nullptr);
        EXPECT_EQ(h.TrayIcon()->Tip, c.Tip);
        // At the end the switch is for good: no time is left to show.
        h.Desktop.AdvanceTime(30 * Minute);
        EXPECT_EQ(h.Form->lblState->Caption().find(u"until"), std::u16string::npos);
        EXPECT_EQ(h.TrayIcon()->Tip.find(u"until"), std::u16string::npos);
    }

    // A turn-on for good forgets the end at once, before any device change is reported.
    TProgramHarness h;
    h.TurnAdaptersOff();
    h.Start(u"-elevation -action turnon 15");
    ASSERT_EQ(h.TrayIcon()->Tip, u"Tarnwick: the internet is on until 13:15");
    h.Choose(*h.Form->TrayTurnOff1);
    h.Choose(*h.Form->TrayTurnOn1);
    EXPECT_EQ(h.TrayIcon()->Tip, u"Tarnwick: the internet is on");
}

TEST(MainWindow, NothingToSwitchOrAListThatFailsIsSaidInWordsNotShownAsOff) {
    const struct {
        const char* Title;
        void (*Arrange)(TProgramHarness&);
        const char16_t* Label;
        const char16_t* Tip;
    } cases[] = {
        {"every adapter kept",
         [](TProgramHarness& h) {
             h.Registry.PutString(HKeyCurrentUser, u"Software\\Tarnwick", u"Keep",
                                  std::u16string(u"*\0\0", 3), REG_MULTI_SZ);
         },
         u"No network adapter to switch", u"Tarnwick: no network adapter to switch"},
        {"the list refused",
         [](TProgramHarness& h) { h.Machine.sim.SetFault(sim::SimCall::GetClassDevs, ERROR_ACCESS_DENIED); },
         u"Network adapters cannot be listed",
         u"Tarnwick: the network adapters cannot be listed (see the log)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Title);
        TProgramHarness h;
        c.Arrange(h);
        h.Start(u"");
        EXPECT_EQ(h.Form->lblState->Caption(), c.Label);
        ASSERT_NE(h.TrayIcon(), nullptr);
        EXPECT_EQ(h.TrayIcon()->Tip, c.Tip);
    }
}

TEST(MainWindow, TheDisplayFollowsTheAdaptersOnEveryDeviceChange) {
    struct State {
        bool On;
        const char16_t* Label;
        TColor LabelColor;
        const char16_t* Button;
        const char16_t* Icon;
    };
    const State on{true, u"Internet is turned on", clBlack, u"Turn off the internet", u"ZINTERNETONICON"};
    const State off{false, u"Internet is turned off", clGreen, u"Turn on the internet", u"ZTARNWICKICON"};
    TProgramHarness h;
    h.TurnAdaptersOff();
    h.Start(u"");
    auto expect = [&](const State& s) {
        SCOPED_TRACE(ToUtf8(s.Label));
        TForm1& f = *h.Form;
        EXPECT_EQ(f.lblState->Caption(), s.Label);
        EXPECT_EQ(h.Desktop.Window(f.lblState->Handle()).Text, s.Label);
        EXPECT_EQ(f.lblState->Font().Color, s.LabelColor);
        EXPECT_TRUE(f.lblState->Font().Bold);
        EXPECT_EQ(h.Desktop.Window(f.btnSwitch->Handle()).Text, s.Button);
        EXPECT_EQ(h.Desktop.Window(f.imgInternetOn->Handle()).Visible, s.On);
        EXPECT_EQ(h.Desktop.Window(f.imgTarnwick->Handle()).Visible, !s.On);
        ASSERT_NE(h.TrayIcon(), nullptr);
        EXPECT_EQ(h.TrayIcon()->Icon, h.Desktop.Icons.at(s.Icon));
    };
    expect(off);
    // An adapter enabled behind the program's back: Windows reports a device change.
    h.Machine.sim.Enable(h.Wireless);
    h.Desktop.Broadcast(WM_DEVICECHANGE, test::DBT_DEVNODES_CHANGED, 0);
    h.Desktop.Pump();
    expect(on);
    h.Machine.sim.Disable(h.Wireless);
    EXPECT_EQ(h.Send(WM_DEVICECHANGE, 0x8000 /* any kind of change */, 0), 0);
    expect(off);
}

TEST(MainWindow, AChangeOfStateIsAnnouncedToAssistiveTechnology) {
    TProgramHarness h;
    h.TurnAdaptersOff();
    h.Start(u"");
    TForm1& f = *h.Form;
    // The state's change is announced on the label once its text says the new state.
    const HWND_T label = f.lblState->Handle();
    const auto announced = [&] {
        std::vector<std::u16string> names;
        for (const auto& e : h.Desktop.WinEvents) {
            if (e.Event == EVENT_OBJECT_NAMECHANGE && e.Window == label &&
                e.Object == std::int32_t(OBJID_CLIENT) && e.Child == std::int32_t(CHILDID_SELF)) {
                names.push_back(e.TextThen);
            }
        }
        h.Desktop.WinEvents.clear();
        return names;
    };
    announced();
    h.Machine.sim.Enable(h.Wireless);
    h.Desktop.Broadcast(WM_DEVICECHANGE, test::DBT_DEVNODES_CHANGED, 0);
    h.Desktop.Pump();
    EXPECT_THAT(announced(), ElementsAre(u"Internet is turned on"));
    h.Desktop.Broadcast(WM_DEVICECHANGE, test::DBT_DEVNODES_CHANGED, 0);
    h.Desktop.Pump();
    EXPECT_THAT(announced(), ElementsAre()) << "the same state: nothing to say";
}

TEST(MainWindow, PaintsTheStateInItsColoursAndOnlyTheVisiblePicture) {
    TProgramHarness h;
    h.Start(u"");
    TForm1& f = *h.Form;
    EXPECT_TRUE(h.Desktop.LoadedPictures.empty()) << "a form hidden in the tray decodes no picture";
    for (TControl* control :
         {static_cast<TControl*>(f.lblState.get()), static_cast<TControl*>(f.imgInternetOn.get())}) {
        h.Desktop.Send(control->Handle(), WM_PAINT);
    }
    EXPECT_EQ(h.Desktop.LoadedPictures, std::multiset<HPICTURE_T>{h.Desktop.Pictures.at(u"PNG_INTERNET_ON")})
        << "only the picture painted is decoded";
    ASSERT_EQ(h.Desktop.TextOuts.size(), 1u);
    EXPECT_EQ(h.Desktop.TextOuts[0].Text, u"Internet is turned on");
    EXPECT_EQ(h.Desktop.TextOuts[0].Color, 0x000000u);
    EXPECT_EQ(h.Desktop.FontStyles.at(h.Desktop.TextOuts[0].Font), std::make_pair(-11, 700));
    EXPECT_THAT(
        h.Desktop.DrawnPictures,
        ElementsAre(std::make_pair(f.imgInternetOn->Handle(), h.Desktop.Pictures.at(u"PNG_INTERNET_ON"))));
}

TEST(MainWindow, AHighContrastThemePaintsInTheSystemsColoursAndIsFollowedWhileRunning) {
    TProgramHarness h;
    h.TurnAdaptersOff();
    h.Start(u"");
    const HWND_T label = h.Form->lblState->Handle();
    const auto paintedColor = [&] {
        h.Desktop.TextOuts.clear();
        h.Desktop.Send(label, WM_PAINT);
        return h.Desktop.TextOuts.empty() ? 0xFFFFFFFFu : h.Desktop.TextOuts.back().Color;
    };
    EXPECT_EQ(paintedColor(), 0x008000u) << "the designed green";

    h.Desktop.HighContrast = true;
    EXPECT_EQ(paintedColor(), 0x008000u) << "asked once, not at every paint";
    h.Desktop.Timeline.clear();
    h.Send(WM_SETTINGCHANGE, 0x43 /* SPI_SETHIGHCONTRAST */, 0);
    EXPECT_GE(h.Desktop.Count("InvalidateRect(" + std::to_string(label)), 1u) << "painted anew";
    EXPECT_EQ(paintedColor(), h.Desktop.GetSysColor(8)) << "COLOR_WINDOWTEXT";

    h.Desktop.HighContrast = false;
    h.Send(WM_SYSCOLORCHANGE);
    EXPECT_EQ(paintedColor(), 0x008000u);
}

TEST(MainWindow, TheSwitchButtonOffersThePausesOrTheLimitedTurnOnsUnderIt) {
    TProgramHarness h;
    h.Start(u"-elevation");
    h.TrayClick(NIN_SELECT);
    h.Desktop.MenuChoice = [](const test::THeadlessDesktop::TPopup&) {
        return std::u16string(u"Turn off for &good");
    };
    h.PressSwitch();
    EXPECT_TRUE(h.BothOff());
    EXPECT_EQ(h.LastBalloon(), test::OffNotice);
    EXPECT_FALSE(h.Desktop.Window(h.FormWindow()).Visible) << "every switch hides the window";
    EXPECT_EQ(ReadDeadline(h.Registry), std::nullopt);

    h.TrayClick(NIN_SELECT);
    h.Desktop.MenuChoice = [](const test::THeadlessDesktop::TPopup&) {
        return std::u16string(u"Turn on for &30 min");
    };
    h.PressSwitch();
    ASSERT_EQ(h.Desktop.Popups.size(), 2u);
    const auto& popup = h.Desktop.Popups[1];
    const TRect& button = h.Desktop.Window(h.ButtonWindow()).Rect;
    EXPECT_EQ(popup.X, button.Left) << "under the button, for the keyboard as for the mouse";
    EXPECT_EQ(popup.Y, button.Bottom);
    std::vector<std::u16string> captions;
    for (const auto& entry : popup.Entries) {
        captions.push_back(entry.Flags == MF_SEPARATOR ? u"-" : entry.Text);
    }
    EXPECT_THAT(captions, ElementsAre(u"Turn on for &5 min", u"Turn on for &15 min", u"Turn on for &30 min",
                                      u"Turn on for an &hour", u"-", u"Turn on for &good"));
    EXPECT_TRUE(h.BothOn());
    EXPECT_EQ(h.LastBalloon(), u"The internet is turned on for 30 min only");
    EXPECT_EQ(h.Form->TurnOffTimer->Interval(), 30 * Minute);
    EXPECT_FALSE(h.Desktop.Window(h.FormWindow()).Visible);
}

TEST(MainWindow, APauseFromTheButtonOrTheTrayMenuIsRecordedAsTheCommandLinesPauseIs) {
    for (int fromTray = 0; fromTray < 2; ++fromTray) {
        SCOPED_TRACE(fromTray ? "tray menu" : "button");
        TProgramHarness h;
        h.Start(u"-elevation");
        h.Desktop.MenuChoice = [](const test::THeadlessDesktop::TPopup&) {
            return std::u16string(u"Turn off for &15 min");
        };
        if (fromTray) {
            h.TrayClick(WM_CONTEXTMENU, {1250, 780});
        } else {
            h.TrayClick(NIN_SELECT);
            h.PressSwitch();
        }
        EXPECT_TRUE(h.BothOff());
        const auto deadline = ReadDeadline(h.Registry);
        ASSERT_TRUE(deadline.has_value());
        EXPECT_EQ(deadline->Switch, TDeadlineSwitch::dsTurnOn);
        EXPECT_EQ(deadline->DueUtc, h.Clock.GetSystemTimeAsFileTime() + 15 * FileTimeTicksPerMinute);
        EXPECT_EQ(h.LastBalloon(), u"The internet is turned off for 15 min. Happy offline work!");
        h.Desktop.AdvanceTime(15 * Minute);
        EXPECT_TRUE(h.BothOn()) << "on again at the pause's end";
        EXPECT_EQ(ReadDeadline(h.Registry), std::nullopt);
    }
}

TEST(MainWindow, TheTrayMenuOffersTheTurnOnsWhileTheInternetIsOff) {
    TProgramHarness h;
    h.TurnAdaptersOff();
    h.Start(u"-elevation");
    h.Desktop.MenuChoice = [](const test::THeadlessDesktop::TPopup&) {
        return std::u16string(u"Turn on for &5 min");
    };
    h.TrayClick(WM_CONTEXTMENU, {1250, 780});
    ASSERT_EQ(h.Desktop.Popups.size(), 1u);
    std::vector<std::u16string> shown;
    for (const auto& entry : h.Desktop.Popups[0].Entries) {
        shown.push_back(entry.Flags == MF_SEPARATOR ? u"-" : entry.Text);
    }
    EXPECT_THAT(shown, ElementsAre(u"Turn &on the internet", u"Turn on for &5 min", u"Turn on for &15 min",
                                   u"Turn on for &30 min", u"Turn on for an &hour", u"-", u"&About", u"-",
                                   u"E&xit"));
    EXPECT_TRUE(h.BothOn());
    const auto deadline = ReadDeadline(h.Registry);
    ASSERT_TRUE(deadline.has_value());
    EXPECT_EQ(deadline->Switch, TDeadlineSwitch::dsTurnOff);
}

TEST(MainWindow, AddsTheIconAgainWithItsPresentPictureWhenTheTaskbarIsMadeAgain) {
    TProgramHarness h;
    h.TurnAdaptersOff();
    h.Create(u"");
    h.Desktop.Send(h.FormWindow(), h.Form->TaskbarCreatedMessage());
    EXPECT_TRUE(h.Shell.Icons.empty()) << "no icon before the first duties";

    h.Desktop.Pump();
    h.Shell.Icons.clear(); // Explorer restarted: the notification area is empty
    h.Desktop.Broadcast(test::THeadlessDesktop::TaskbarCreated, 0, 0);
    h.Desktop.Pump();
    ASSERT_NE(h.TrayIcon(), nullptr);
    EXPECT_EQ(h.TrayIcon()->Icon, h.Desktop.Icons.at(u"ZTARNWICKICON"));
    EXPECT_EQ(h.TrayIcon()->Tip, u"Tarnwick: the internet is off");
}

TEST(MainWindow, GoingAwayRemovesTheTrayIconAndReleasesWhatItMade) {
    TProgramHarness h;
    h.Start(u"");
    ASSERT_NE(h.TrayIcon(), nullptr);
    const HWND_T form = h.FormWindow();
    // The tray's icons and the application's small icon are loaded at the small-icon size, and owned.
    EXPECT_EQ(h.Desktop.OwnedIcons,
              (std::multiset<HICON_T>{h.Desktop.Icons.at(u"MAINICON"), h.Desktop.Icons.at(u"ZTARNWICKICON"),
                                      h.Desktop.Icons.at(u"ZINTERNETONICON")}));
    h.Form.Reset();
    EXPECT_TRUE(h.Shell.Icons.empty());
    EXPECT_FALSE(h.Desktop.Exists(form));
    EXPECT_TRUE(h.Desktop.LoadedPictures.empty());
    EXPECT_TRUE(h.Desktop.Timers.empty());
    EXPECT_EQ(h.App->ComponentCount(), 0u);
    EXPECT_EQ(h.Desktop.OwnedIcons, std::multiset<HICON_T>{h.Desktop.Icons.at(u"MAINICON")});
    h.App.reset();
    EXPECT_TRUE(h.Desktop.OwnedIcons.empty());
}

} // namespace
} // namespace tarnwick
