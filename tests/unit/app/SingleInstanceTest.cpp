// One instance per user session: a later start finds the running instance and hands it its command line;
// the instance carries it out and its result is the later start's exit code.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/ProgramEntry.h"
#include "app/ProgramSupport.h"
#include "deadline/Deadline.h"
#include "diag/DebugUnit.h"
#include "instance/HandOver.h"
#include "tests/unit/app/ProgramHarness.h"
#include "tests/unit/debug/FakeProcessImage.h"
#include "tests/unit/support/FakeFilePlatform.h"

namespace tarnwick {
namespace {

void PassOn(std::uint32_t, std::uint32_t, std::uint32_t, const std::uintptr_t*) {}

// A user session: the running instance (the harness's window, holding the claim), and later starts.
struct TSession {
    test::TProgramHarness h;
    tarnwick::testing::FakeFilePlatform Files;
    tarnwick::testing::TFakeProcessImage ProcessImage;
    test::TFakeInstancePlatform Instance{h.Desktop};
    std::optional<TInstanceClaim> InstanceClaim;

    void StartInstance(const std::u16string& Arguments) {
        InstanceClaim.emplace(Instance);
        h.Start(Arguments);
    }
    // A later start with this command line, in the same session; its exit code.
    int StartLater(const std::u16string& Arguments) {
        h.System.CommandLine = u"\"" + std::u16string(test::ProgramPath) + u"\" " + Arguments;
        return RunProgram({h.System, Files, h.Registry, h.ShellExecute, h.Shell, h.Desktop, h.Desktop,
                           h.Desktop, h.Machine.sim, ProcessImage, Instance, h.Clock});
    }
    // The same from another program file (the instance's own system stays as it is).
    int StartLaterFrom(const std::u16string& Program, const std::u16string& Arguments) {
        tarnwick::testing::FakeSystemPlatform system = h.System;
        system.ModuleFileName = Program;
        system.CommandLine = u"\"" + Program + u"\" " + Arguments;
        return RunProgram({system, Files, h.Registry, h.ShellExecute, h.Shell, h.Desktop, h.Desktop,
                           h.Desktop, h.Machine.sim, ProcessImage, Instance, h.Clock});
    }
    std::size_t MainWindows() const { return h.Desktop.WindowsOfClass(MainWindowClassName).size(); }

    TSession() {
        ProcessImage.RaiseExceptionAddress = reinterpret_cast<std::uintptr_t>(&PassOn);
        ProcessImage.Image = tarnwick::testing::TPeImageBuilder()
                                 .Import("KERNEL32.dll", {ProcessImage.RaiseExceptionAddress})
                                 .Build();
    }
};
struct SingleInstance : ::testing::Test, TSession {};

TEST_F(SingleInstance, ALaterStartHandsItsCommandLineOverAndEndsWithTheResult) {
    struct Case {
        const char16_t* Arguments;
        int ExitCode;
        bool EndOn;
        bool WindowShown;
        const char16_t* Box;
    };
    const Case cases[] = {
        {u"-elevation -action turnoff", 0, false, false, u""},
        {u"-elevation -action turnon 5", 0, true, false, u""},
        {u"", 0, true, true, u""},
        // Refused by the later start itself: nothing is handed over, and the instance shows nothing.
        {u"-elevation -action reboot", ecBadArguments, true, false, u"Unknown action: reboot"},
        {u"-elevation -action turnon 35792", ecBadArguments, true, false,
         u"a limited turn-on lasts at most 35791 min"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Arguments));
        TSession t;
        t.StartInstance(u"-elevation");
        ASSERT_TRUE(t.h.BothOn());
        EXPECT_EQ(t.StartLater(c.Arguments), c.ExitCode);
        EXPECT_EQ(t.MainWindows(), 1u) << "the later start made no window of its own";
        EXPECT_EQ(t.h.Shell.Icons.size(), 1u);
        if (c.ExitCode == ecBadArguments) {
            EXPECT_TRUE(t.Instance.Sent.empty());
        } else {
            ASSERT_EQ(t.Instance.Sent.size(), 1u);
            EXPECT_EQ(t.Instance.Sent[0], t.h.System.CommandLine) << "the whole command line";
        }
        EXPECT_EQ(t.h.BothOn(), c.EndOn);
        EXPECT_EQ(t.h.Desktop.OnScreen(t.h.FormWindow()), c.WindowShown);
        if (*c.Box) {
            ASSERT_EQ(t.h.Desktop.Boxes.size(), 1u);
            EXPECT_NE(t.h.Desktop.Boxes[0].Text.find(c.Box), std::u16string::npos);
        } else {
            EXPECT_TRUE(t.h.Desktop.Boxes.empty());
        }
        EXPECT_FALSE(t.h.Desktop.QuitPosted) << "the instance stays";
        EXPECT_EQ(t.Instance.Objects.at(InstanceObjectName), 1) << "the later start let the name go";
        EXPECT_TRUE(t.h.ShellExecute.Requests.empty());
    }
}

TEST_F(SingleInstance, QuitEndsOnlyTheInstanceOfTheSameProgramFileAndWaitsUntilItHasGone) {
    const struct {
        const char16_t* Program;
        bool Ends;
    } cases[] = {
        {test::ProgramPath, true},
        {u"c:\\PROGRAM FILES\\Tarnwick\\TARNWICK.EXE", true}, // the same file, as another start spells it
        {u"D:\\Tools\\Tarnwick\\tarnwick.exe", false},        // a portable copy: not the installer's
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Program));
        TSession t;
        t.StartInstance(u"");
        // The instance's process ends a while after its window has closed, and lets its claim go.
        int sleepsUntilGone = 3;
        t.Instance.OnSleep = [&t, &sleepsUntilGone] {
            if (t.h.Desktop.QuitPosted && --sleepsUntilGone == 0) {
                t.InstanceClaim.reset();
            }
        };
        EXPECT_EQ(t.StartLaterFrom(c.Program, u"-quit"), 0);
        ASSERT_EQ(t.Instance.Sent.size(), 1u);
        EXPECT_EQ(t.Instance.Sent[0], u"\"" + std::u16string(c.Program) + u"\" -quit")
            << "its own file named";
        EXPECT_EQ(t.h.Desktop.QuitPosted, c.Ends);
        EXPECT_EQ(sleepsUntilGone == 0, c.Ends) << "it waited until the instance had gone";
        EXPECT_EQ(t.MainWindows(), 1u) << "the quitting start made no window";
        EXPECT_TRUE(t.h.Desktop.Boxes.empty());
    }
}

TEST_F(SingleInstance, QuitWithoutAnInstanceStartsNone) {
    EXPECT_EQ(StartLater(u"-quit"), 0);
    EXPECT_EQ(MainWindows(), 0u);
    EXPECT_TRUE(h.Shell.Icons.empty());
    EXPECT_TRUE(Instance.Objects.empty()) << "the claim was let go again";
}

TEST_F(SingleInstance, QuitThatCannotEndTheInstanceSaysSo) {
    StartInstance(u"");
    Instance.RefusingWindows.push_back(h.FormWindow()); // it runs elevated
    EXPECT_EQ(StartLater(u"-quit"), ecNotEnded);
    EXPECT_FALSE(h.Desktop.QuitPosted);
    EXPECT_TRUE(h.ShellExecute.Requests.empty()) << "no elevation asked for";

    Instance.RefusingWindows.clear(); // it takes the request but never goes
    EXPECT_EQ(StartLater(u"-quit"), ecNotEnded);
    EXPECT_TRUE(h.Desktop.QuitPosted);
    EXPECT_GE(Instance.Slept, 10000u) << "it waited ten seconds";
}

TEST_F(SingleInstance, SubscribeOnStartupIsWrittenByTheLaterStartItself) {
    StartInstance(u"-elevation");
    EXPECT_EQ(StartLater(u"-subscribeonstartup"), 0);
    EXPECT_EQ(h.Registry.GetString(HKeyCurrentUser, u"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                   u"Tarnwick"),
              u"\"" + std::u16string(test::ProgramPath) + u"\"");
    EXPECT_TRUE(Instance.Sent.empty()) << "nothing to hand over";
    EXPECT_FALSE(h.Desktop.OnScreen(h.FormWindow()));

    EXPECT_EQ(StartLater(u"-subscribeonstartup -elevation -action turnoff"), 0);
    EXPECT_EQ(Instance.Sent.size(), 1u);
    EXPECT_TRUE(h.BothOff());
}

TEST_F(SingleInstance, AnElevatedInstanceRefusesTheHandOverAndTheLaterStartGoesThroughElevation) {
    StartInstance(u"-elevation");
    // The hand-over message is never let through the message filter; the show message and the taskbar's
    // are.
    for (const auto& [message, flag] : h.Desktop.MessageFilters) {
        EXPECT_NE(message, WM_COPYDATA);
    }
    EXPECT_THAT(h.Desktop.MessageFilters,
                ::testing::Contains(
                    std::make_pair(h.Desktop.RegisterWindowMessageW(ShowMainWindowMessageName), MSGFLT_ADD)));
    // A later start at a lower integrity level: the window refuses WM_COPYDATA from it.
    Instance.RefusingWindows.push_back(h.FormWindow());

    EXPECT_EQ(StartLater(u"-action turnoff"), 0);
    EXPECT_TRUE(h.BothOn()) << "the instance did not switch for it";
    ASSERT_EQ(h.ShellExecute.Requests.size(), 1u);
    EXPECT_EQ(h.ShellExecute.Requests[0].Verb, u"runas");
    EXPECT_EQ(h.ShellExecute.Requests[0].Parameters, u"-elevation -action turnoff");

    // Without an action, the window is still brought up.
    EXPECT_EQ(StartLater(u""), 0);
    h.Desktop.Pump(); // the instance's message loop
    EXPECT_TRUE(h.Desktop.OnScreen(h.FormWindow()));

    // An elevated copy that is refused too does not prompt again, and says why it did nothing.
    EXPECT_EQ(StartLater(u"-elevation -action turnoff"), ecInstanceUnreachable);
    EXPECT_EQ(h.ShellExecute.Requests.size(), 1u);
    EXPECT_TRUE(h.BothOn());
    ASSERT_FALSE(h.Desktop.Boxes.empty());
    EXPECT_NE(h.Desktop.Boxes.back().Text.find(u"Tarnwick is already running"), std::u16string::npos);
}

TEST_F(SingleInstance, AnInstanceThatNeverAnswersIsGivenUpWithoutASecondWindow) {
    Instance.Objects[InstanceObjectName] = 1; // claimed (squatted, say), but no window ever comes
    EXPECT_EQ(StartLater(u"-elevation -action turnoff"), ecInstanceUnreachable) << "nothing was switched";
    EXPECT_EQ(MainWindows(), 0u);
    EXPECT_GE(Instance.Slept, 5000u) << "it waited for the window";
    EXPECT_LE(Instance.Slept, 15000u);
    EXPECT_TRUE(h.Machine.sim.Changes().empty());
    // Said where the start was made from: here, without a console, in a box.
    ASSERT_EQ(h.Desktop.Boxes.size(), 1u);
    EXPECT_NE(h.Desktop.Boxes[0].Text.find(u"Tarnwick is already running but does not answer"),
              std::u16string::npos);
}

TEST_F(SingleInstance, AnotherProgramsWindowIsSentNothing) {
    // "TForm1", the class of many programs' main windows, made before our instance.
    const HWND_T other = h.Desktop.CreateWindowExW(0, u"TForm1", u"", 0, 0, 0, 10, 10, 0, 0);
    Instance.WindowProcesses[other] = 999;
    StartInstance(u"-elevation");
    EXPECT_EQ(StartLater(u"-elevation -action turnoff"), ecDone);
    EXPECT_TRUE(h.BothOff()) << "the real instance took it";
    EXPECT_EQ(Instance.Sent.size(), 1u);
    EXPECT_EQ(Instance.SentTo, std::vector<HWND_T>{h.FormWindow()});
}

TEST_F(SingleInstance, AWindowOfOurClassInAProcessWithoutTheClaimIsSentNothing) {
    const HWND_T squatter = h.Desktop.CreateWindowExW(0, MainWindowClassName, u"", 0, 0, 0, 10, 10, 0, 0);
    Instance.WindowProcesses[squatter] = 999;
    Instance.Objects[InstanceObjectName] = 1; // the claim squatted too
    EXPECT_EQ(StartLater(u"-elevation -action turnoff"), ecInstanceUnreachable);
    EXPECT_TRUE(Instance.Sent.empty());
    EXPECT_LE(Instance.Slept, 15000u);
    EXPECT_TRUE(h.BothOn());

    // The claim free: this start becomes the instance, the squatter's window still there.
    TSession alone;
    const HWND_T other = alone.h.Desktop.CreateWindowExW(0, MainWindowClassName, u"", 0, 0, 0, 10, 10, 0, 0);
    alone.Instance.WindowProcesses[other] = 999;
    EXPECT_EQ(alone.StartLater(u"-elevation -action turnoff -exit"), ecDone);
    EXPECT_TRUE(alone.Instance.Sent.empty());
    EXPECT_TRUE(alone.h.BothOff());
}

TEST_F(SingleInstance, AWindowThatGivesNoAnswerOfOursIsSentNothingAgain) {
    StartInstance(u"-elevation");
    // The instance's window answers WM_COPYDATA with 0, as a window going away would.
    Instance.SilentWindows.push_back(h.FormWindow());
    EXPECT_EQ(StartLater(u"-elevation -action turnoff"), ecInstanceUnreachable);
    EXPECT_EQ(Instance.Sent.size(), 1u) << "one message, never a second";
    EXPECT_LE(Instance.Slept, 15000u);
}

TEST_F(SingleInstance, TheInstanceGivesItsClaimUpBeforeStartingItsElevatedCopy) {
    // The first start on Windows 7 without elevation: the switch goes to an elevated copy, which must
    // find the name free to become the instance.
    std::optional<int> openWhenStarted;
    std::size_t madeWhenStarted = 0;
    h.ShellExecute.OnExecute = [&] {
        const auto it = Instance.Objects.find(InstanceObjectName);
        openWhenStarted = it == Instance.Objects.end() ? 0 : it->second;
        madeWhenStarted = Instance.Made;
    };
    EXPECT_EQ(StartLater(u"-action turnoff"), 0);
    ASSERT_EQ(h.ShellExecute.Requests.size(), 1u);
    EXPECT_EQ(openWhenStarted, 0);
    EXPECT_EQ(Instance.Made, madeWhenStarted) << "nor does it claim again once the copy has started";
    EXPECT_TRUE(h.Desktop.QuitSeen);

    // A declined prompt keeps the instance, and its claim.
    TSession declined;
    declined.h.ShellExecute.Succeeds = false;
    declined.h.Desktop.MenuChoice = [](const test::THeadlessDesktop::TPopup&) { return u"E&xit"; };
    int idle = 0;
    std::optional<int> openAfterDecline;
    declined.h.Desktop.OnIdle = [&] {
        if (idle++ > 0) {
            return false;
        }
        openAfterDecline = declined.Instance.Objects.count(InstanceObjectName);
        return false;
    };
    declined.StartLater(u"-action turnoff");
    EXPECT_EQ(openAfterDecline, 1);
}

TEST(InstanceClaim, OnlyAnObjectThatExistsOrRefusesThisProcessCountsAsAnotherInstance) {
    struct Case {
        std::uint32_t Error; // 0: the object is made
        bool OthersObject;   // another process holds it open
        bool Owned;
    };
    const Case cases[] = {
        {0, false, true},
        {0, true, false},
        {ERROR_ACCESS_DENIED, false, false},
        // Where the object cannot be made at all, the program runs unguarded rather than not at all.
        {ERROR_INVALID_HANDLE, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "error " << c.Error << (c.OthersObject ? ", held by another" : ""));
        test::THeadlessDesktop desktop;
        test::TFakeInstancePlatform instance(desktop);
        if (c.Error != 0) {
            instance.FailingObjects[InstanceObjectName] = c.Error;
        }
        if (c.OthersObject) {
            instance.Objects[InstanceObjectName] = 1;
        }
        const TInstanceClaim claim(instance);
        EXPECT_EQ(claim.Owned(), c.Owned);
        // The instance's object and its process's object, only when made.
        EXPECT_EQ(instance.OpenHandles(), c.Owned && c.Error == 0 ? 2u : 0u) << "only a made object is held";
    }
}

TEST(ElevatedCopyParameters, CarryTheSwitchItsMinutesAndItsEnd) {
    const auto command = [](TActionVerb Action, std::int32_t Minutes, bool Exit) {
        TCommand c;
        c.Action = Action;
        c.Minutes = Minutes;
        c.Exit = Exit;
        return c;
    };
    EXPECT_EQ(ElevatedCopyParameters(command(TActionVerb::avTurnOn, 15, true)),
              u"-elevation -action turnon 15 -exit");
    EXPECT_EQ(ElevatedCopyParameters(command(TActionVerb::avTurnOff, 0, false)),
              u"-elevation -action turnoff");
}

TEST(HandOverReply, CarriesEveryExitCodeAndIsNeverZero) {
    for (const std::int32_t exitCode : {0, 1, -1, 2, 0x7FFFFFFF, std::int32_t(0x80000000)}) {
        const std::intptr_t reply = EncodeHandOverReply(exitCode);
        EXPECT_NE(reply, 0);
        EXPECT_EQ(DecodeHandOverReply(reply), exitCode);
    }
    EXPECT_EQ(DecodeHandOverReply(0), std::nullopt) << "a refused or lost message";
    EXPECT_EQ(DecodeHandOverReply(1), std::nullopt);
}

TEST(HandOverData, OnlyOurKindOfWholeUtf16TextIsACommandLine) {
    const std::u16string text = u"tarnwick.exe -action turnoff";
    TCopyDataStruct data{HandOverDataKind, std::uint32_t(text.size() * 2), text.data()};
    EXPECT_EQ(HandedOverCommandLine(reinterpret_cast<std::intptr_t>(&data)), text);
    data.dwData = 1;
    EXPECT_EQ(HandedOverCommandLine(reinterpret_cast<std::intptr_t>(&data)), std::nullopt);
    data = {HandOverDataKind, 3, text.data()};
    EXPECT_EQ(HandedOverCommandLine(reinterpret_cast<std::intptr_t>(&data)), std::nullopt) << "odd size";
    data = {HandOverDataKind, 8, nullptr};
    EXPECT_EQ(HandedOverCommandLine(reinterpret_cast<std::intptr_t>(&data)), std::nullopt);
    EXPECT_EQ(HandedOverCommandLine(0), std::nullopt);
    // More than any command line can be: refused without a read (lpData points nowhere readable).
    data = {HandOverDataKind, (LongestCommandLine + 1) * 2,
            reinterpret_cast<const void*>(std::uintptr_t(16))};
    EXPECT_EQ(HandedOverCommandLine(reinterpret_cast<std::intptr_t>(&data)), std::nullopt);
    const std::u16string longest(LongestCommandLine, u'x');
    data = {HandOverDataKind, LongestCommandLine * 2, longest.data()};
    EXPECT_EQ(HandedOverCommandLine(reinterpret_cast<std::intptr_t>(&data)), longest);
}

} // namespace
} // namespace tarnwick
