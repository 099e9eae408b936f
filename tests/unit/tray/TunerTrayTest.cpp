#include "tray/gototray.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/PlatformConstants.h"
#include "testing/fixtures/HeadlessGuiPlatform.h"
#include "tests/unit/tray/Fakes.h"
#include "tests/unit/tray/LogRecorder.h"
#include "toolkit/UtilityWindow.h"

namespace tarnwick {
namespace {

using test::Call;
using ::testing::ElementsAre;

class TunerTrayTest : public ::testing::Test {
protected:
    test::FakeWindowPlatform Windows;
    test::FakeWindowFactory Factory;
    test::FakeShellPlatform Shell;
    tarnwick::testing::THeadlessGuiPlatform Gui;
    TApplication App{Windows, Factory, Gui};
    TOwned<TForm> Form = MakeComponent<TForm>(App, &App);
    TIcon AppIcon{0x51};
    TIcon OnIcon{0x52};
    std::unique_ptr<TTunerTray> Tray;

    TunerTrayTest() {
        App.SetMainForm(Form.get());
        Tray = std::make_unique<TTunerTray>(Shell, App, *Form, u"Power off the internet", AppIcon);
    }

    HWND_T TimerWindow() const {
        for (const auto& [h, w] : Factory.Windows) {
            if (w.Params.ClassName == UtilityWindowClassName) {
                return h;
            }
        }
        return 0;
    }
    static std::u16string Text(const char16_t* field) { return field; }
};

TEST_F(TunerTrayTest, ConstructionAddsNoIconAndMakesNoTimerUntilTheFirstReportOfAMove) {
    EXPECT_TRUE(Shell.Commands.empty());
    EXPECT_FALSE(Tray->MouseMovingDetectionRunning());
    EXPECT_EQ(TimerWindow(), 0u);
    EXPECT_EQ(Form->ComponentCount(), 0u);
    Tray->ResetMouseIsMovingOverTrayDetector();
    EXPECT_EQ(TimerWindow(), 0u) << "a reset with nothing running makes nothing";

    Tray->MouseIsMovingOverTrayNow();
    ASSERT_NE(TimerWindow(), 0u);
    EXPECT_EQ(Form->ComponentCount(), 1u); // the detection timer belongs to the form as its owner
    EXPECT_EQ(Windows.Count(Call("SetTimer", {(long long)TimerWindow(), 1, 50})), 1u);
    EXPECT_EQ(Windows.Count("SetTimer"), 1u) << "no timer at the default interval first";
}

TEST_F(TunerTrayTest, EachCommandFillsTheRecordForTheFormsWindow) {
    Tray->CreateIcon();
    Tray->ModifyIcon(OnIcon);
    EXPECT_TRUE(Tray->ShowBalloonTrayIcon(5, u"The internet is turned on now", u"Internet On", bitInfo));
    Tray->ReturnFocus();
    Tray->DeleteIcon();
    ASSERT_EQ(Shell.Commands.size(), 6u);

    const HWND_T formWnd = Form->Handle();
    // Version 4 is asked for right after the add: the shell keeps it with the icon.
    const std::uint32_t expectedMessages[] = {NIM_ADD,    NIM_SETVERSION, NIM_MODIFY,
                                              NIM_MODIFY, NIM_SETFOCUS,   NIM_DELETE};
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const NOTIFYICONDATAW& d = Shell.Commands[i].Data;
        EXPECT_EQ(Shell.Commands[i].Message, expectedMessages[i]);
        EXPECT_EQ(d.cbSize, 952u);
        EXPECT_EQ(d.hWnd, formWnd);
        EXPECT_EQ(d.uID, 0u);
        EXPECT_EQ(d.guidItem, Guid{});
        EXPECT_EQ(d.hBalloonIcon, 0u);
    }
    const NOTIFYICONDATAW& version = Shell.Commands[1].Data;
    EXPECT_EQ(version.uTimeout, NOTIFYICON_VERSION_4) << "uVersion shares the field";
    EXPECT_EQ(version.uFlags, 0u);
    EXPECT_TRUE(Tray->UsesVersion4());
    EXPECT_TRUE(Shell.Commands[4].Result);
    EXPECT_EQ(Shell.Commands[4].Data.uFlags, 0u);
    for (std::size_t i : {0, 2}) {
        const NOTIFYICONDATAW& d = Shell.Commands[i].Data;
        EXPECT_EQ(d.uFlags, NIF_MESSAGE | NIF_ICON | NIF_TIP);
        EXPECT_EQ(d.uFlags, 7u);
        EXPECT_EQ(d.uCallbackMessage, 0x1135u);
        EXPECT_EQ(Text(d.szTip), u"Power off the internet");
        EXPECT_EQ(Text(d.szInfo), u"");
    }
    EXPECT_EQ(Shell.Commands[0].Data.hIcon, 0x51u);
    EXPECT_EQ(Shell.Commands[2].Data.hIcon, 0x52u);

    const NOTIFYICONDATAW& balloon = Shell.Commands[3].Data;
    EXPECT_EQ(balloon.uFlags, NIF_INFO);
    EXPECT_EQ(Text(balloon.szInfo), u"The internet is turned on now");
    EXPECT_EQ(Text(balloon.szInfoTitle), u"Internet On");
    EXPECT_EQ(balloon.uTimeout, 5000u);
    EXPECT_EQ(balloon.dwInfoFlags, NIIF_INFO);
    EXPECT_EQ(balloon.hIcon, 0u);
    EXPECT_EQ(Text(balloon.szTip), u"");

    const NOTIFYICONDATAW& del = Shell.Commands[5].Data;
    EXPECT_EQ(del.uFlags, 0u);
    EXPECT_EQ(del.uCallbackMessage, 0u);
    EXPECT_EQ(del.hIcon, 0u);
    EXPECT_TRUE(Shell.Icons.empty());
}

TEST_F(TunerTrayTest, BalloonTimeoutAndIconTypeReachTheRecord) {
    struct Case {
        TBalloonTimeout timeout;
        TBalloonIconType type;
        std::uint32_t uTimeout;
        std::uint32_t flags;
    };
    const Case cases[] = {
        {0, bitNone, 0, 0},       {60, bitError, 60000, 3}, {15, bitInfo, 15000, 1},
        {1, bitWarning, 1000, 2}, {255, bitInfo, 60000, 1}, // beyond the type's range: held at its top
    };
    Tray->CreateIcon();
    for (const Case& c : cases) {
        EXPECT_TRUE(Tray->ShowBalloonTrayIcon(c.timeout, u"t", u"T", c.type));
        EXPECT_EQ(Shell.Commands.back().Data.uTimeout, c.uTimeout) << int(c.timeout);
        EXPECT_EQ(Shell.Commands.back().Data.dwInfoFlags, c.flags) << int(c.timeout);
    }
}

TEST_F(TunerTrayTest, TextsAreCutToTheirFieldsAndZeroTerminated) {
    struct Case {
        std::size_t length;
        std::size_t tip, info, title; // what each field keeps
    };
    const Case cases[] = {
        {63, 63, 63, 63}, {64, 64, 64, 63}, {127, 127, 127, 63}, {128, 127, 128, 63}, {300, 127, 255, 63},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const std::u16string text(c.length, u'x');
        Tray->SetTipString(text);
        Tray->CreateIcon();
        Tray->ShowBalloonTrayIcon(0, text, text, bitNone);
        EXPECT_EQ(Text(Shell.Commands[Shell.Commands.size() - 3].Data.szTip).size(), c.tip);
        EXPECT_EQ(Text(Shell.Commands.back().Data.szInfo).size(), c.info);
        EXPECT_EQ(Text(Shell.Commands.back().Data.szInfoTitle).size(), c.title);
        Tray->DeleteIcon();
    }
}

TEST_F(TunerTrayTest, ACutNeverSplitsASurrogatePair) {
    std::u16string tip(126, u'x');
    tip += u"\U0001F310"; // a globe: two code units, the first at the last place of the field
    Tray->SetTipString(tip);
    Tray->CreateIcon();
    EXPECT_EQ(Text(Shell.Commands.front().Data.szTip), std::u16string(126, u'x'));
}

TEST_F(TunerTrayTest, ANewTipReachesTheShellOnlyWithTheNextModify) {
    Tray->CreateIcon();
    Tray->SetTipString(u"Another tip");
    EXPECT_EQ(Tray->TipString(), u"Another tip");
    EXPECT_EQ(Shell.Commands.size(), 2u);
    Tray->ShowBalloonTrayIcon(0, u"b", u"B", bitInfo);
    EXPECT_EQ(Text(Shell.Commands.back().Data.szTip), u"");
    Tray->ModifyIcon(OnIcon);
    EXPECT_EQ(Text(Shell.Commands.back().Data.szTip), u"Another tip");
    EXPECT_EQ(Shell.Commands.back().Data.uCallbackMessage, WM_TRAY_CALLBACK);
    EXPECT_EQ(Shell.Commands.back().Data.hIcon, OnIcon.Handle());
}

TEST_F(TunerTrayTest, ABalloonBeforeTheIconIsAddedIsRefusedAndShowsNothing) {
    EXPECT_FALSE(Tray->ShowBalloonTrayIcon(0, u"early", u"Early", bitInfo));
    EXPECT_TRUE(Shell.Icons.empty());
    Tray->CreateIcon();
    EXPECT_TRUE(Tray->ShowBalloonTrayIcon(0, u"now", u"Now", bitInfo));
}

TEST_F(TunerTrayTest, DestructionRemovesTheIconAgainEvenWhenTheOwnerAlreadyDid) {
    Tray->CreateIcon();
    Tray->DeleteIcon();
    Tray->MouseIsMovingOverTrayNow();
    const HWND_T timerWnd = TimerWindow();
    Tray.reset();
    ASSERT_EQ(Shell.Commands.size(), 4u); // add, version, delete, delete
    EXPECT_EQ(Shell.Commands[3].Message, NIM_DELETE);
    EXPECT_FALSE(Shell.Commands[3].Result); // the shell refuses; nobody is told
    EXPECT_FALSE(Factory.Alive(timerWnd));
    EXPECT_EQ(Form->ComponentCount(), 0u);
}

TEST_F(TunerTrayTest, HideFormClearsTheFlagThenHidesTheApplicationWindowThenTheMainForm) {
    const HWND_T formWnd = Form->Handle();
    std::vector<std::string> seen;
    Windows.OnCall = [&](const std::string& call) {
        seen.push_back(call + (App.ShowMainForm() ? " flag" : " noflag"));
    };
    Form->SetVisible(true);
    seen.clear();
    Tray->HideForm();
    EXPECT_THAT(seen, ElementsAre(Call("ShowWindow", {(long long)App.Handle(), SW_HIDE}) + " noflag",
                                  Call("ShowWindow", {(long long)formWnd, SW_HIDE}) + " noflag"));
    EXPECT_TRUE(Form->Visible()); // the form's own property stays
    Windows.OnCall = nullptr;
}

TEST_F(TunerTrayTest, ShowFormShowsTheFormAloneAndNeverTheApplicationWindow) {
    const HWND_T formWnd = Form->Handle();
    App.SetShowMainForm(true);
    std::vector<std::string> seen;
    Windows.OnCall = [&](const std::string& call) { seen.push_back(call); };
    Tray->ShowForm();
    EXPECT_THAT(seen, ElementsAre(Call("ShowWindow", {(long long)formWnd, SW_SHOW}),
                                  Call("ShowWindow", {(long long)formWnd, SW_SHOW})));
    EXPECT_TRUE(Form->Visible());
    EXPECT_FALSE(App.ShowMainForm()) << "a main form shown with the flag would bring the taskbar button";

    Tray->HideForm();
    seen.clear();
    Tray->ShowForm(); // hidden by the tray: shown again
    EXPECT_THAT(seen, ElementsAre(Call("ShowWindow", {(long long)formWnd, SW_SHOW})));
    Windows.OnCall = nullptr;
}

TEST_F(TunerTrayTest, AnOlderShellKeepsThePlainMouseMessages) {
    Shell.TakesVersion4 = false;
    EXPECT_TRUE(Tray->CreateIcon());
    EXPECT_FALSE(Tray->UsesVersion4());
    Shell.TakesVersion4 = true;
    Tray->DeleteIcon();
    EXPECT_TRUE(Tray->CreateIcon());
    EXPECT_TRUE(Tray->UsesVersion4());
}

TEST_F(TunerTrayTest, ARefusedAddIsTriedAgainAFewTimesThenLeftToTheNextTaskbar) {
    test::LogRecorder log;
    Shell.RefusedAdds = 3;
    EXPECT_FALSE(Tray->CreateIcon());
    EXPECT_FALSE(Tray->IconAdded());
    EXPECT_TRUE(Shell.Icons.empty());
    ASSERT_EQ(log.Lines.size(), 1u);
    EXPECT_EQ(log.Lines[0].first, u"The notification area refused the icon; it is tried again every 2 s");
    const auto retry = [this] {
        // The hover detector makes its timer only at the first move reported: the one timer is the retry's.
        const HWND_T timer = TimerWindow();
        ASSERT_NE(timer, 0u) << "no retry timer";
        Factory.Deliver(timer, WM_TIMER, TKtTimer::TimerId);
    };
    EXPECT_THAT(Windows.Calls, ::testing::Contains(::testing::HasSubstr("SetTimer")));
    retry();
    retry(); // the third refusal
    EXPECT_FALSE(Tray->IconAdded());
    Tray->ModifyIcon(OnIcon); // while it is missing, a change adds it
    EXPECT_TRUE(Tray->IconAdded());
    EXPECT_EQ(Shell.Icons.size(), 1u);
    EXPECT_EQ(Shell.Commands.back().Message, NIM_SETVERSION);
    EXPECT_EQ(log.Lines.back().first, u"The icon is in the notification area now");

    // A shell that never gets ready: the tries end, the next taskbar's announcement adds it.
    Tray->DeleteIcon();
    Shell.RefusedAdds = 1000;
    log.Lines.clear();
    EXPECT_FALSE(Tray->CreateIcon());
    std::size_t tries = 0;
    for (; tries < 100 && Shell.RefusedAdds > 0; ++tries) {
        const int before = Shell.RefusedAdds;
        retry();
        if (Shell.RefusedAdds == before) {
            break; // the timer no longer tries
        }
    }
    EXPECT_EQ(1000 - Shell.RefusedAdds, 1 + IconAddRetries);
    EXPECT_EQ(log.Lines.back().first,
              u"The notification area still refuses the icon; it is added when the taskbar is made again");
}

TEST_F(TunerTrayTest, AnAddRefusedBecauseTheIconIsStillThereCountsAsAdded) {
    Tray->CreateIcon();
    Shell.Commands.clear();
    EXPECT_TRUE(Tray->CreateIcon()); // "TaskbarCreated" without a restart of the shell
    ASSERT_EQ(Shell.Commands.size(), 3u);
    EXPECT_FALSE(Shell.Commands[0].Result);
    EXPECT_EQ(Shell.Commands[1].Message, NIM_MODIFY);
    EXPECT_TRUE(Shell.Commands[1].Result);
}

// The hover detector, driven step by step: reports of mouse moves and ticks of its timer.
class HoverDetectorTest : public TunerTrayTest {
protected:
    enum Kind { Report, Tick };
    struct Step {
        Kind kind;
        std::uint32_t time;
        TPoint cursor;
        bool hover;   // a WM_TRAY_MOUSE_HOVER was posted by this step
        bool running; // the detector still polls after it
    };

    void Run(const std::vector<Step>& steps) {
        const std::string hover = Call("PostMessageW", {(long long)Form->Handle(), 0x1137, 0, 0});
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const Step& s = steps[i];
            SCOPED_TRACE(::testing::Message() << "step " << i << " at " << s.time);
            Windows.Tick = s.time;
            Windows.Cursor = s.cursor;
            const std::size_t before = Windows.Count(hover);
            if (s.kind == Report) {
                Tray->MouseIsMovingOverTrayNow();
            } else {
                Factory.Deliver(TimerWindow(), WM_TIMER, TKtTimer::TimerId);
            }
            EXPECT_EQ(Windows.Count(hover) - before, s.hover ? 1u : 0u);
            EXPECT_EQ(Tray->MouseMovingDetectionRunning(), s.running);
        }
    }
};

TEST_F(HoverDetectorTest, ACursorRestingOnTheReportedSpotIsReportedOnEveryTickFromPast200ms) {
    const TPoint p{1200, 790};
    Run({{Report, 1000, p, false, true},
         {Tick, 1050, p, false, true},
         {Tick, 1100, p, false, true},
         {Tick, 1150, p, false, true},
         {Tick, 1200, p, false, true}, // exactly 200 ms: not yet
         {Tick, 1250, p, true, true},
         {Tick, 1300, p, true, true},
         {Tick, 1350, p, true, true}});
}

TEST_F(HoverDetectorTest, AHoverLongerThanASecondIsReportedWhileReportsKeepComing) {
    const TPoint p{1200, 790};
    std::vector<Step> steps;
    for (std::uint32_t t = 1000; t <= 2000; t += 100) {
        steps.push_back({Report, t, p, false, true});
        steps.push_back({Tick, t + 50, p, t + 50 > 2000, true});
    }
    Run(steps);
}

TEST_F(HoverDetectorTest, ACursorLeavingWhileReportsArriveWithin50msKeepsTheDetectorRunning) {
    Run({{Report, 1000, {10, 10}, false, true},
         {Tick, 1040, {20, 20}, false, true},
         {Report, 1045, {30, 30}, false, true},
         {Tick, 1090, {40, 40}, false, true},
         {Tick, 1095, {40, 40}, false, true}, // exactly 50 ms
         {Tick, 1100, {40, 40}, false, false}});
    EXPECT_EQ(Windows.Calls.back(), Call("KillTimer", {(long long)TimerWindow(), 1}));
}

TEST_F(HoverDetectorTest, AWrappedTickCountCountsAsNotElapsed) {
    Run({{Report, 0xFFFFFF00u, {5, 5}, false, true},
         {Tick, 0x10, {5, 5}, false, true},   // resting, but the difference is negative
         {Tick, 0x20, {9, 9}, false, true}}); // moved away, likewise
}

TEST_F(HoverDetectorTest, OnlyTheFirstReportStartsThePollAndResetStopsIt) {
    Run({{Report, 1000, {5, 5}, false, true}, {Report, 1100, {5, 5}, false, true}});
    const std::string start = Call("SetTimer", {(long long)TimerWindow(), 1, 50});
    EXPECT_EQ(Windows.Count(start), 1u);

    Tray->ResetMouseIsMovingOverTrayDetector();
    EXPECT_FALSE(Tray->MouseMovingDetectionRunning());
    EXPECT_EQ(Windows.Calls.back(), Call("KillTimer", {(long long)TimerWindow(), 1}));

    // A new hover starts from its own report, not from the first one's time.
    Run({{Report, 5000, {5, 5}, false, true},
         {Tick, 5150, {5, 5}, false, true},
         {Tick, 5250, {5, 5}, true, true}});
    EXPECT_EQ(Windows.Count(start), 2u);
}

} // namespace
} // namespace tarnwick
