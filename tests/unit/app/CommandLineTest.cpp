// The command line as a script meets it: the whole program run for each command line over the simulated
// laptop, checked by its exit code, what it printed or showed, whether a tray instance stayed, and what
// happened to the adapters.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>

#include "app/ProgramEntry.h"
#include "command/Command.h"
#include "deadline/Deadline.h"
#include "deadline/DeadlineTask.h"
#include "tests/unit/app/ProgramHarness.h"
#include "tests/unit/debug/FakeProcessImage.h"
#include "tests/unit/support/FakeConsolePlatform.h"
#include "tests/unit/support/FakeFilePlatform.h"

namespace tarnwick {
namespace {

using TPlace = testing::FakeConsolePlatform::TPlace;
constexpr std::uint64_t Minute = 60000;

void PassOn(std::uint32_t, std::uint32_t, std::uint32_t, const std::uintptr_t*) {}

// One run of the program with its stand-ins.
struct TCommandRun {
    test::TProgramHarness h;
    testing::FakeFilePlatform Files;
    testing::TFakeProcessImage ProcessImage;
    testing::FakeConsolePlatform Console;
    test::TFakeInstancePlatform Instance{h.Desktop};

    TCommandRun() {
        ProcessImage.RaiseExceptionAddress = reinterpret_cast<std::uintptr_t>(&PassOn);
        ProcessImage.Image =
            testing::TPeImageBuilder().Import("KERNEL32.dll", {ProcessImage.RaiseExceptionAddress}).Build();
        Console.Place = TPlace::ParentConsole;
    }
    // The whole program for this command line (after the program's name), until it ends or, for a tray
    // instance that stays, until its messages are handled.
    int Start(const std::u16string& Arguments) {
        h.System.CommandLine = u"\"" + std::u16string(test::ProgramPath) + u"\" " + Arguments;
        return RunProgram({h.System, Files, h.Registry, h.ShellExecute, h.Shell, h.Desktop, h.Desktop,
                           h.Desktop, h.Machine.sim, ProcessImage, Instance, h.Clock, &Console,
                           &h.Scheduler});
    }
    bool TrayInstanceMade() const { return h.Desktop.Count("CreateWindow(TarnwickMainWindow)") != 0; }
    std::u16string Boxes() const {
        std::u16string text;
        for (const auto& box : h.Desktop.Boxes) {
            text += box.Text;
        }
        return text;
    }
};

struct CommandLine : ::testing::Test, TCommandRun {};

TEST_F(CommandLine, EachCommandLineEndsWithItsExitCodeAndTellsWhy) {
    enum TTray { NoTray, TrayEnds, TrayStays };
    struct Case {
        const char16_t* Arguments;
        bool StartOn;
        int ExitCode;
        TTray Tray;
        bool EndOn;
        const char16_t* Told; // on the console (or in a box for a tray instance that stays); empty: nothing
    };
    const Case cases[] = {
        // Asking without switching: answered by this start, which never elevates.
        {u"-action status", true, ecDone, NoTray, true, u"\r\non\r\n"},
        {u"-action status", false, ecInternetOff, NoTray, false, u"\r\noff\r\n"},
        {u"/ACTION Status", true, ecDone, NoTray, true, u"\r\non\r\n"},
        {u"-action status -exit -exit", false, ecInternetOff, NoTray, false, u"\r\noff\r\n"},
        {u"-action status now", true, ecBadArguments, NoTray, true,
         u"Sorry, this value of the action status is not understood: now"},
        {u"-action list 2", true, ecBadArguments, NoTray, true, u"Sorry, this value of the action list"},
        // Do and end.
        {u"-elevation -action turnoff -exit", true, ecDone, TrayEnds, false, u""},
        {u"-Elevation -ACTION TurnOn -EXIT", false, ecDone, TrayEnds, true, u""},
        {u"-exit -action turnon -elevation", false, ecDone, TrayEnds, true, u""},
        {u"-elevation -action turnon 0 -exit", false, ecDone, TrayEnds, true, u""},
        {u"-elevation -action turnon 35791 -exit", false, ecDone, TrayEnds, true, u""}, // its end recorded
        {u"-elevation -exit", true, ecDone, TrayEnds, true, u""},
        {u"-elevation -elevation -action turnoff -exit -exit", true, ecDone, TrayEnds, false, u""},
        // Bad arguments: nothing is switched.
        {u"-elevation -action turnon 5min -exit", false, ecBadArguments, NoTray, false,
         u"Sorry, \"5min\" is not a whole number of minutes. Nothing has been switched."},
        {u"-elevation -action turnon abc -exit", false, ecBadArguments, NoTray, false, u"\"abc\" is not"},
        {u"-elevation -action turnon 1.5 -exit", false, ecBadArguments, NoTray, false, u"\"1.5\" is not"},
        {u"-elevation -action turnon 35792 -exit", false, ecBadArguments, NoTray, false,
         u"The internet cannot be turned on for 35792 min: a limited turn-on lasts at most 35791 min."},
        {u"-elevation -action turnon 4294967296 -exit", false, ecBadArguments, NoTray, false,
         u"cannot be turned on for 4294967296 min"},
        {u"-elevation -action turnoff 99999 -exit", true, ecBadArguments, NoTray, true,
         u"The internet cannot be turned off for 99999 min: a pause lasts at most 35791 min."},
        {u"-elevation -action turnon 5 6 -exit", false, ecBadArguments, NoTray, false,
         u"this value of the action turnon is not understood: 6"},
        {u"-elevation -action turnon -5 -exit", false, ecBadArguments, NoTray, false,
         u"Sorry, the minutes cannot be negative: -5. Nothing has been switched."},
        {u"-elevation -action reboot -exit", true, ecBadArguments, NoTray, true, u"Unknown action: reboot"},
        {u"-elevation -action turnoff -action turnon -exit", true, ecBadArguments, NoTray, true,
         u"only one action can be given: -action appears twice"},
        {u"-elevation -actions turnoff -exit", true, ecBadArguments, NoTray, true,
         u"Unknown switch: -actions."},
        {u"--exit --elevation --action turnoff", true, ecDone, TrayEnds, false, u""},
        {u"turnoff -elevation -exit", true, ecBadArguments, NoTray, true,
         u"Sorry, this argument is not understood: turnoff"},
        {u"-elevation -exit now -action turnoff", true, ecBadArguments, NoTray, true,
         u"Sorry, the switch -exit takes no value: now"},
        {u"-subscribeonstartup -unsubscribeonstartup", true, ecBadArguments, NoTray, true,
         u"cannot be given together"},
        // Without -exit too a refused command line ends: a script must not wait for a tray instance.
        {u"-elevation -action reboot", true, ecBadArguments, NoTray, true,
         u"Unknown action: reboot. The actions are turnoff, turnon, status and list.\r\ntarnwick.exe -help "
         u"shows the usage."},
        {u"-action stauts", true, ecBadArguments, NoTray, true, u"Unknown action: stauts"},
        {u"-action \"status \"", true, ecBadArguments, NoTray, true, u"Unknown action: status . The actions"},
        {u"-elevation -action turnon abc", false, ecBadArguments, NoTray, false, u"\"abc\" is not"},
        {u"-action turnoff 5min", true, ecBadArguments, NoTray, true, u"\"5min\" is not"},
        {u"-action", true, ecBadArguments, NoTray, true, u"-action needs an action"},
        {u"-elevation -action turnon 15", false, ecDone, TrayStays, true, u""},
        {u"--action status", false, ecInternetOff, NoTray, false, u"\r\noff\r\n"},
        // The version.
        {u"-version", true, ecDone, NoTray, true, u"\r\nTarnwick 1."},
        {u"--Version -action turnoff", true, ecDone, NoTray, true, u"\r\nTarnwick 1."},
        // Help wins over everything else.
        {u"-help", true, ecDone, NoTray, true, u"Usage: tarnwick.exe"},
        {u"-H", true, ecDone, NoTray, true, u"Usage: tarnwick.exe"},
        {u"-?", true, ecDone, NoTray, true, u"Usage: tarnwick.exe"},
        {u"--help", true, ecDone, NoTray, true, u"Usage: tarnwick.exe"},
        {u"/help", true, ecDone, NoTray, true, u"Usage: tarnwick.exe"},
        {u"/?", true, ecDone, NoTray, true, u"Usage: tarnwick.exe"},
        {u"-elevation -action turnoff /Help -bogus", true, ecDone, NoTray, true, u"Usage: tarnwick.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Arguments));
        TCommandRun run;
        if (!c.StartOn) {
            run.h.TurnAdaptersOff();
        }
        EXPECT_EQ(run.Start(c.Arguments), c.ExitCode);
        EXPECT_EQ(run.TrayInstanceMade(), c.Tray != NoTray);
        if (c.Tray != NoTray) {
            EXPECT_EQ(run.h.Desktop.QuitSeen || run.h.Desktop.QuitPosted, c.Tray == TrayEnds)
                << "ends by itself";
        }
        EXPECT_EQ(run.h.BothOn(), c.EndOn);
        EXPECT_EQ(run.h.BothOff(), !c.EndOn);
        const std::u16string told = c.Tray == TrayStays ? run.Boxes() : run.Console.Output();
        if (*c.Told) {
            EXPECT_NE(told.find(c.Told), std::u16string::npos) << ToUtf8(told);
        } else {
            EXPECT_EQ(told, u"");
        }
        EXPECT_TRUE(run.h.ShellExecute.Requests.empty()) << "no elevated copy";
    }
}

TEST_F(CommandLine, TheUsageNamesEverySwitchEveryActionAndEveryExitCode) {
    const std::u16string usage = UsageText();
    for (const char16_t* part : {u"\r\n-action turnoff [N]\r\n",
                                 u"\r\n-action turnon [N]\r\n",
                                 u"\r\n-action status\r\n",
                                 u"\r\n-action list\r\n",
                                 u"\r\n-exit\r\n",
                                 u"\r\n-elevation\r\n",
                                 u"\r\n-subscribeonstartup\r\n",
                                 u"\r\n-unsubscribeonstartup\r\n",
                                 u"\r\n-quit\r\n",
                                 u"\r\n-help, -h, -?, /?\r\n",
                                 u"\r\n  0 ",
                                 u"\r\n  1 ",
                                 u"\r\n  2 ",
                                 u"\r\n  3 ",
                                 u"\r\n  4 ",
                                 u"\r\n  5 ",
                                 u"\r\n  6 ",
                                 u"\r\n  7 ",
                                 u"\r\n  8 ",
                                 u"\r\n-version\r\n",
                                 u"\r\n-uninstall\r\n",
                                 u"\r\n-action deadline\r\n",
                                 u"Keep",
                                 u"at most 35791 (almost 25 days)",
                                 u"\r\n    HKEY_CURRENT_USER\\Software\\Tarnwick\r\n",
                                 u"\r\n    HKEY_LOCAL_MACHINE\\Software\\Policies\\Tarnwick\r\n"}) {
        EXPECT_NE(usage.find(part), std::u16string::npos) << ToUtf8(part);
    }
    // Readable on an 80-column console, and in a box's proportional font: nothing is lined up with
    // spaces inside a line, only indented at its start.
    std::size_t start = 0;
    while (start < usage.size()) {
        const std::size_t end = usage.find(u"\r\n", start);
        ASSERT_NE(end, std::u16string::npos) << "every line ends with CR LF";
        const std::u16string line = usage.substr(start, end - start);
        EXPECT_LT(line.size(), 80u) << ToUtf8(line);
        const std::size_t text = line.find_first_not_of(u' ');
        EXPECT_TRUE(text == std::u16string::npos || line.find(u"  ", text) == std::u16string::npos)
            << ToUtf8(line);
        start = end + 2;
    }
    // Started from Explorer there is no console: the usage comes in a box, and no tray instance starts.
    Console.Place = TPlace::None;
    EXPECT_EQ(Start(u"/?"), ecDone);
    ASSERT_EQ(h.Desktop.Boxes.size(), 1u);
    EXPECT_EQ(h.Desktop.Boxes[0].Text, usage);
    EXPECT_EQ(h.Desktop.Boxes[0].Caption, u"Tarnwick");
    EXPECT_FALSE(TrayInstanceMade());
}

TEST(ExitCodes, TheReadmeTableHasARowForEveryCodeAndNoOther) {
    std::ifstream readme(TARNWICK_README);
    ASSERT_TRUE(readme) << TARNWICK_README;
    std::set<int> rows;
    for (std::string line; std::getline(readme, line);) {
        int code = 0;
        char bar = 0;
        if (std::sscanf(line.c_str(), "| %d %c", &code, &bar) == 2 && bar == '|') {
            rows.insert(code);
        }
    }
    std::set<int> codes;
    for (const TExitCodeMeaning& row : ExitCodeMeanings) {
        codes.insert(row.Code);
    }
    EXPECT_EQ(rows, codes);
}

TEST_F(CommandLine, ARefusedCommandLineOfAStartThatEndsIsShownInABoxWithoutAConsole) {
    Console.Place = TPlace::None;
    EXPECT_EQ(Start(u"-elevation -action turnon 5min -exit"), ecBadArguments);
    ASSERT_EQ(h.Desktop.Boxes.size(), 1u);
    EXPECT_EQ(h.Desktop.Boxes[0].Text, u"Sorry, \"5min\" is not a whole number of minutes. Nothing has been "
                                       u"switched.\r\ntarnwick.exe -help shows the usage.");
    EXPECT_FALSE(TrayInstanceMade());
}

TEST_F(CommandLine, ListPrintsEveryAdapterDeviceManagerShowsWithItsStateAndWhetherItIsKept) {
    h.Machine.sim.Disable(h.Wireless);
    h.Machine.AddHiddenAdapter(u"SWD\\MSRRAS\\MS_NDISWANIP");
    h.Registry.PutString(HKeyCurrentUser, u"Software\\Tarnwick", u"Keep", std::u16string(u"wirel*\0\0", 8),
                         REG_MULTI_SZ);
    Console.Place = TPlace::Redirected;
    EXPECT_EQ(Start(u"-action list"), ecDone);
    EXPECT_EQ(Console.Output(),
              u"Wired\tPCI\\VEN_8086&DEV_15B8\\1\ton\tnot kept\tcan be disabled\r\n"
              u"Wireless\tPCI\\VEN_8086&DEV_24FD\\2\toff (problem 22)\tkept\tcan be disabled\r\n");
    EXPECT_FALSE(TrayInstanceMade());
}

TEST_F(CommandLine, ListEscapesTabsAndLineBreaksInNamesSoThatEveryLineHasFiveFields) {
    h.Machine.AddAdapter(u"USB\\VID_0BDA&PID_8153\\3", u"Dock\tport\r\nB\x01");
    Console.Place = TPlace::Redirected;
    EXPECT_EQ(Start(u"-action list"), ecDone);
    EXPECT_NE(Console.Output().find(
                  u"Dock\\tport\\r\\nB\\u0001\tUSB\\VID_0BDA&PID_8153\\3\ton\tnot kept\tcan be disabled\r\n"),
              std::u16string::npos)
        << ToUtf8(Console.Output());
}

TEST_F(CommandLine, AFailingAdapterOrADeclinedPromptEndsWithItsCodeAndSaysWhy) {
    h.Machine.sim.Device(h.Wireless).RefuseChangeError = 0xE0000219;
    EXPECT_EQ(Start(u"-elevation -action turnoff -exit"), ecAdapterFailed);
    EXPECT_NE(Console.Output(), u"");
    EXPECT_TRUE(h.Desktop.Boxes.empty()) << "told on the console, not in a box";
    EXPECT_TRUE(h.Desktop.QuitSeen || h.Desktop.QuitPosted);

    TCommandRun declined;
    declined.h.ShellExecute.Succeeds = false;
    declined.h.System.LastError = ERROR_CANCELLED;
    EXPECT_EQ(declined.Start(u"-action turnoff -exit"), ecElevationDeclined);
    ASSERT_EQ(declined.h.ShellExecute.Requests.size(), 1u);
    EXPECT_EQ(declined.h.ShellExecute.Requests[0].Parameters, u"-elevation -action turnoff -exit");
    EXPECT_TRUE(declined.h.BothOn());
}

TEST_F(CommandLine, WithoutRightsAStartThatEndsWaitsForItsElevatedCopyAndEndsWithItsCode) {
    h.ShellExecute.CopyExitCode = ecAdapterFailed;
    EXPECT_EQ(Start(u"-action turnon 15 -exit"), ecAdapterFailed);
    ASSERT_EQ(h.ShellExecute.Requests.size(), 1u);
    EXPECT_EQ(h.ShellExecute.Requests[0].Parameters, u"-elevation -action turnon 15 -exit");
    EXPECT_EQ(h.ShellExecute.Waited,
              std::vector<std::uintptr_t>{testing::FakeShellExecutePlatform::StartedCopy});

    // Without -exit the first start neither waits nor keeps the copy's handle.
    TCommandRun tray;
    EXPECT_EQ(tray.Start(u"-action turnon 15"), ecDone);
    ASSERT_EQ(tray.h.ShellExecute.Requests.size(), 1u);
    EXPECT_EQ(tray.h.ShellExecute.Requests[0].Info.fMask & SEE_MASK_NOCLOSEPROCESS, 0u);
    EXPECT_TRUE(tray.h.ShellExecute.Waited.empty());
}

TEST_F(CommandLine, UnsubscribeRemovesTheAutostartValueAndEndsAlsoWhenThereWasNone) {
    const std::u16string run = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    h.Registry.PutString(HKeyCurrentUser, run, u"Tarnwick", u"\"C:\\Tools\\tarnwick.exe\"");
    h.Registry.PutString(HKeyCurrentUser, run, u"Other", u"other.exe");
    EXPECT_EQ(Start(u"-unsubscribeonstartup"), ecDone);
    EXPECT_FALSE(h.Registry.Get(HKeyCurrentUser, run, u"Tarnwick"));
    EXPECT_TRUE(h.Registry.Get(HKeyCurrentUser, run, u"Other"));
    EXPECT_FALSE(TrayInstanceMade());
    EXPECT_EQ(Start(u"-UnsubscribeOnStartup"), ecDone);
}

TEST_F(CommandLine, APauseTurnsTheInternetOffAndOnAgainAfterItsMinutes) {
    h.Desktop.OnIdle = [] { return false; };
    h.Create(u"-elevation -action turnoff 15");
    h.Desktop.Pump();
    EXPECT_TRUE(h.BothOff());
    ASSERT_FALSE(h.Shell.Balloons.empty());
    EXPECT_EQ(h.LastBalloon(), u"The internet is turned off for 15 min. Happy offline work!");
    EXPECT_EQ(h.Shell.Balloons.back().Title, u"Internet Off");
    ASSERT_TRUE(h.TimerArmed());
    EXPECT_EQ(h.Form->TurnOffTimer->Interval(), 15 * Minute);

    h.Desktop.AdvanceTime(15 * Minute - 1);
    EXPECT_TRUE(h.BothOff());
    h.Desktop.AdvanceTime(1);
    EXPECT_TRUE(h.BothOn());
    EXPECT_EQ(h.LastBalloon(), u"The internet is turned on now");
    EXPECT_FALSE(h.TimerArmed()) << "once";

    // A turn-on for good during a pause ends the pause; a limited turn-on afterwards turns off again.
    h.Form->CarryOutAction(h.Command({test::ProgramPath, u"-elevation", u"-action", u"turnoff", u"5"}));
    EXPECT_TRUE(h.BothOff());
    h.Form->CarryOutAction(h.Command({test::ProgramPath, u"-elevation", u"-action", u"turnon"}));
    EXPECT_FALSE(h.TimerArmed());
    EXPECT_EQ(
        h.Form->CarryOutAction(h.Command({test::ProgramPath, u"-elevation", u"-action", u"turnon", u"1"})),
        ecDone);
    h.Desktop.AdvanceTime(Minute);
    EXPECT_TRUE(h.BothOff());
}

TEST_F(CommandLine, ALimitedSwitchThatIsToEndLeavesItsDeadlineRecordedAndEndsAtOnce) {
    for (const bool pause : {true, false}) {
        SCOPED_TRACE(pause ? "pause" : "limited turn-on");
        TCommandRun run;
        if (!pause) {
            run.h.TurnAdaptersOff();
        }
        EXPECT_EQ(
            run.Start(pause ? u"-elevation -action turnoff 5 -exit" : u"-elevation -action turnon 5 -exit"),
            ecDone);
        EXPECT_TRUE(run.h.Desktop.QuitSeen);
        EXPECT_EQ(run.h.BothOn(), !pause) << "the switch itself is done";
        // The switch back is left to the tray instance or the next start, through the record.
        const auto deadline = ReadDeadline(run.h.Registry);
        ASSERT_TRUE(deadline.has_value());
        EXPECT_EQ(deadline->Switch, pause ? TDeadlineSwitch::dsTurnOn : TDeadlineSwitch::dsTurnOff);
    }
}

TEST_F(CommandLine, WithoutRightsThePauseIsHandedToTheElevatedCopyWithItsMinutes) {
    h.Start(u"-action turnoff 30 -exit");
    ASSERT_EQ(h.ShellExecute.Requests.size(), 1u);
    EXPECT_EQ(h.ShellExecute.Requests[0].Parameters, u"-elevation -action turnoff 30 -exit");
    EXPECT_TRUE(h.BothOn());
}

// The end of a pause or a limited turn-on handed to the Task Scheduler, and its task's command line run
// as the scheduler runs it, with no tray instance.
struct TTaskRun : TCommandRun {
    std::optional<TTaskDefinition> Task() const {
        return h.Scheduler.Task(DeadlineTaskFolder, DeadlineTaskName(h.Scheduler.UserSid));
    }
    // A later run of the program, as the scheduler starts it: its arguments are the task's own.
    int RunTask(const TTaskDefinition& Definition) {
        Next();
        return Start(Definition.Arguments);
    }
    // The program of the earlier start has ended; the machine, the registry and the scheduler stay.
    void Next() {
        h.Form.Reset();
        h.App.reset();
        h.Desktop.QuitSeen = h.Desktop.QuitPosted = false;
        Console.ConsoleText.clear();
        Console.FileBytes.clear();
    }
};

struct DeadlineTask : ::testing::Test, TTaskRun {};

TEST_F(DeadlineTask, APauseWithExitComesBackWithNoTarnwickRunningByItsTask) {
    ASSERT_EQ(Start(u"-elevation -action turnoff 30 -exit"), ecDone);
    ASSERT_TRUE(h.BothOff());
    const auto task = Task();
    ASSERT_TRUE(task) << "handed to the scheduler";
    EXPECT_EQ(task->StartBoundary, IsoUtcText(test::SomeNoonUtc + 30 * FileTimeTicksPerMinute));
    EXPECT_EQ(task->Path, test::ProgramPath);

    h.Clock.JumpMinutes(30);
    EXPECT_EQ(RunTask(*task), ecDone);
    EXPECT_TRUE(h.BothOn());
    EXPECT_FALSE(Task()) << "the run removes its task";
    EXPECT_EQ(ReadDeadline(h.Registry), std::nullopt);
    EXPECT_TRUE(h.Desktop.Boxes.empty());
}

TEST_F(DeadlineTask, ARunLongAfterTheEndCarriesItOutAndSaysSo) {
    h.TurnAdaptersOff();
    ASSERT_EQ(Start(u"-elevation -action turnon 15 -exit"), ecDone);
    const auto task = Task();
    ASSERT_TRUE(task);
    h.Clock.JumpMinutes(24 * 60); // the machine slept through the end
    constexpr char16_t AppData[] = u"C:\\Users\\tester\\AppData\\Roaming";
    Files.AddFolder(AppData);
    EXPECT_EQ(RunTask(*task), ecDone);
    EXPECT_TRUE(h.BothOff());
    EXPECT_NE(
        Files.Content(std::u16string(AppData) + u"\\Tarnwick\\Tarnwick.log.txt")
            .find(
                "The 15 minutes of internet ended while Tarnwick was not running; the internet is turned off "
                "now"),
        std::string::npos);
}

TEST_F(DeadlineTask, ARunFindingTheEndDoneReplacedOrAheadSwitchesNothing) {
    struct Case {
        const char* Name;
        const char16_t* ByHand; // what the user did after the pause
        std::int64_t RunAfterMinutes;
        bool TaskAfterRun;
        bool EndOn;
    };
    const Case cases[] = {
        {"turned on for good by hand", u"-elevation -action turnon -exit", 30, false, true},
        {"turned off for good by hand", u"-elevation -action turnoff -exit", 30, false, false},
        {"the clock set back: the task is set again", nullptr, -5, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TTaskRun run;
        ASSERT_EQ(run.Start(u"-elevation -action turnoff 30 -exit"), ecDone);
        const auto task = run.Task();
        ASSERT_TRUE(task);
        if (c.ByHand) {
            run.h.Scheduler.DeletionRefusal = testing::FakeTaskSchedulerPlatform::AccessDenied;
            run.Next();
            ASSERT_EQ(run.Start(c.ByHand), ecDone);
            ASSERT_TRUE(run.Task()) << "left behind by a refusal, as a task that had started already";
            run.h.Scheduler.DeletionRefusal = 0;
        }
        const bool on = run.h.BothOn();
        run.h.Clock.JumpMinutes(c.RunAfterMinutes);
        EXPECT_EQ(run.RunTask(*task), ecDone);
        EXPECT_EQ(run.h.BothOn(), on) << "nothing switched";
        EXPECT_EQ(run.h.BothOn(), c.EndOn);
        EXPECT_EQ(run.Task().has_value(), c.TaskAfterRun);
        if (c.TaskAfterRun) {
            EXPECT_EQ(run.Task()->StartBoundary, task->StartBoundary) << "set again for the recorded end";
        }
    }
}

TEST_F(DeadlineTask, JustTurnOnAndAnyOtherSwitchForGoodRemoveTheTask) {
    h.TurnAdaptersOff();
    h.Start(u"-elevation");
    h.Choose(*h.Form->urnonfor15min1);
    ASSERT_TRUE(Task());
    h.Choose(*h.Form->urnonfor30min1);
    ASSERT_TRUE(Task());
    EXPECT_EQ(Task()->StartBoundary, IsoUtcText(test::SomeNoonUtc + 30 * FileTimeTicksPerMinute))
        << "replaced";
    h.Choose(*h.Form->Exit1);
    EXPECT_TRUE(Task()) << "Exit leaves the end to the task";

    TTaskRun again;
    again.h.TurnAdaptersOff();
    again.h.Start(u"-elevation");
    again.h.Choose(*again.h.Form->urnonfor15min1);
    ASSERT_TRUE(again.Task());
    again.h.Choose(*again.h.Form->Justturnon1);
    EXPECT_FALSE(again.Task());
    EXPECT_EQ(ReadDeadline(again.h.Registry), std::nullopt);
}

TEST_F(DeadlineTask, ASchedulerThatRefusesLeavesTheSwitchMadeAndIsTold) {
    h.Scheduler.RegistrationRefusal = testing::FakeTaskSchedulerPlatform::AccessDenied;
    EXPECT_EQ(Start(u"-elevation -action turnoff 30 -exit"), ecDone);
    EXPECT_TRUE(h.BothOff()) << "the pause is made";
    EXPECT_TRUE(ReadDeadline(h.Registry)) << "its end kept for the next start";
    EXPECT_NE(Console.Output().find(u"The Task Scheduler refused the end (0x80070005)"), std::u16string::npos)
        << ToUtf8(Console.Output());
    EXPECT_NE(h.LastBalloon().find(u"refused the end"), std::u16string::npos);
}

TEST_F(DeadlineTask, TheUninstallDuringAPauseTurnsTheInternetBackOnAndLeavesNoTask) {
    ASSERT_EQ(Start(u"-elevation -action turnoff 30 -exit"), ecDone);
    ASSERT_TRUE(h.BothOff());
    Next();
    const auto windows = h.Desktop.Count("CreateWindow(TForm1)");
    EXPECT_EQ(Start(u"-uninstall"), ecDone);
    EXPECT_TRUE(h.BothOn());
    EXPECT_TRUE(h.Scheduler.Tasks.empty());
    EXPECT_TRUE(h.Scheduler.Folders.empty());
    EXPECT_EQ(ReadDeadline(h.Registry), std::nullopt);
    EXPECT_EQ(h.Desktop.Count("CreateWindow(TForm1)"), windows) << "no tray for it";

    // Nothing pending: the adapters stay as they are.
    TTaskRun off;
    off.h.TurnAdaptersOff();
    EXPECT_EQ(off.Start(u"-uninstall"), ecDone);
    EXPECT_TRUE(off.h.BothOff());
}

} // namespace
} // namespace tarnwick
