#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "tests/unit/app/HeadlessDesktop.h"
#include "toolkit/Form.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Timer.h"

namespace tarnwick {
namespace {

using test::THeadlessDesktop;
using ::testing::ElementsAre;

struct Toolkit : ::testing::Test {
    THeadlessDesktop Desktop;
    TApplication App{Desktop, Desktop, Desktop};

    Toolkit() { App.SetTitle(u"Tarnwick"); }
    std::vector<std::string> TimerCalls(HWND_T Window) const {
        std::vector<std::string> calls;
        const std::string set = "SetTimer(" + std::to_string(Window);
        const std::string kill = "KillTimer(" + std::to_string(Window);
        for (const std::string& e : Desktop.Timeline) {
            if (e.rfind(set, 0) == 0 || e.rfind(kill, 0) == 0) {
                calls.push_back(e.substr(0, e.find('(')) +
                                (e.rfind(set, 0) == 0 ? e.substr(e.rfind(',')) : ""));
            }
        }
        return calls;
    }
};

TEST_F(Toolkit, TheTimerStartsItsCountdownAnewOnlyWhenSwitchedOnOrGivenAnotherInterval) {
    TOwned<TTimer> timer = MakeComponent<TTimer>(App, &App);
    int ticks = 0;
    timer->SetEnabled(false);
    timer->SetOnTimer([&](TComponent&) { ++ticks; });
    const HWND_T window = timer->WindowHandle();
    EXPECT_FALSE(Desktop.TimerRunning(window, TTimer::TimerId));

    timer->SetInterval(1000);  // the same interval: nothing happens
    timer->SetInterval(60000); // disabled: nothing starts
    timer->SetEnabled(true);
    Desktop.AdvanceTime(30000);
    timer->SetEnabled(true);    // already on: the countdown goes on
    timer->SetInterval(60000);  // the same interval: likewise
    Desktop.AdvanceTime(30000); // due at 60 s
    EXPECT_EQ(ticks, 1);
    timer->SetInterval(10000); // another interval: a new countdown from now
    Desktop.AdvanceTime(9999);
    EXPECT_EQ(ticks, 1);
    Desktop.AdvanceTime(1);
    EXPECT_EQ(ticks, 2);
    timer->SetEnabled(false);
    Desktop.AdvanceTime(60000);
    EXPECT_EQ(ticks, 2);
    // Every change kills the platform timer and starts it again only when it is to run.
    EXPECT_THAT(TimerCalls(window),
                ElementsAre("KillTimer", "KillTimer", "KillTimer", "KillTimer", "SetTimer,60000)",
                            "KillTimer", "SetTimer,10000)", "KillTimer"));
}

TEST_F(Toolkit, ATimerHandlerThatFailsIsReportedAndTheTimerKeepsRunning) {
    TOwned<TTimer> timer = MakeComponent<TTimer>(App, &App);
    int ticks = 0;
    timer->SetOnTimer([&](TComponent&) {
        ++ticks;
        throw EGeneralError(u"tick failed");
    });
    Desktop.AdvanceTime(3000);
    EXPECT_EQ(ticks, 3);
    ASSERT_EQ(Desktop.Boxes.size(), 3u);
    EXPECT_EQ(Desktop.Boxes[0].Text, u"tick failed");
    EXPECT_EQ(Desktop.Boxes[0].Caption, u"Tarnwick");
    EXPECT_EQ(Desktop.Boxes[0].Type, MB_OK | MB_ICONSTOP);
    EXPECT_TRUE(Desktop.TimerRunning(timer->WindowHandle(), TTimer::TimerId));
}

TEST_F(Toolkit, ATimerWithoutPlatformTimersLeftSaysSo) {
    struct TNoTimers : THeadlessDesktop {
        std::uintptr_t SetTimer(HWND_T, std::uintptr_t, std::uint32_t) override { return 0; }
    } desktop;
    TApplication app(desktop, desktop, desktop);
    TOwned<TTimer> timer = MakeComponent<TTimer>(app, &app);
    try {
        timer->SetOnTimer([](TComponent&) {});
        FAIL() << "no error";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.Message(), u"Not enough timers available");
    }
}

TEST_F(Toolkit, ClosingHidesAFormEndsTheLoopForTheMainFormAndAsksFirst) {
    TOwned<TForm> main = MakeComponent<TForm>(App, &App);
    TOwned<TForm> other = MakeComponent<TForm>(App, &App);
    App.SetMainForm(main.get());
    bool allow = false;
    main->OnCloseQuery = [&](TComponent&, bool& CanClose) { CanClose = allow; };
    App.Run(); // shows the main form, then finds nothing to do
    EXPECT_TRUE(Desktop.Window(main->Handle()).Visible);
    EXPECT_TRUE(Desktop.Window(App.Handle()).Visible) << "the main form brings the taskbar button";
    EXPECT_FALSE(Desktop.Window(App.Handle()).Enabled == false);

    other->SetVisible(true);
    Desktop.Send(other->Handle(), WM_CLOSE);
    EXPECT_FALSE(Desktop.Window(other->Handle()).Visible);

    Desktop.Send(main->Handle(), WM_CLOSE);
    EXPECT_FALSE(Desktop.QuitPosted) << "refused";
    allow = true;
    Desktop.Send(main->Handle(), WM_CLOSE);
    EXPECT_TRUE(Desktop.QuitPosted);
}

TEST_F(Toolkit, TheLoopHandlesMessagesUntilItsQuitAndErrorsOfHandlersReachTheCentralHandling) {
    TOwned<TForm> main = MakeComponent<TForm>(App, &App);
    App.SetMainForm(main.get());
    App.SetShowMainForm(false);
    std::vector<std::string> seen;
    main->OnActivate = [&](TComponent&) {
        seen.push_back("activated");
        throw EOSError(u"Windows error 5 (Access is denied.)", 5);
    };
    std::vector<std::u16string> reported;
    App.OnException = [&](TComponent* Sender, std::exception_ptr Error) {
        EXPECT_EQ(Sender, main.get());
        reported.push_back(ExceptionMessage(Error));
    };
    int idle = 0;
    Desktop.OnIdle = [&] {
        switch (idle++) {
        case 0:
            Desktop.PostMessageW(main->Handle(), WM_ACTIVATE, 1, 0);
            return true;
        case 1:
            App.Terminate();
            Desktop.PostMessageW(main->Handle(), WM_NULL, 0, 0); // handled before the quit
            return true;
        default:
            return false;
        }
    };
    App.Run();
    EXPECT_FALSE(Desktop.Window(main->Handle()).Visible) << "not shown: the flag said so";
    EXPECT_TRUE(Desktop.QuitSeen);
    EXPECT_TRUE(App.Terminated());
    EXPECT_THAT(seen, ElementsAre("activated"));
    EXPECT_THAT(reported, ElementsAre(u"Windows error 5 (Access is denied.)"));
    EXPECT_TRUE(Desktop.Queue.empty());
}

TEST_F(Toolkit, APopupMenuIsShownAtThePointAndItsChosenItemIsClicked) {
    TOwned<TForm> form = MakeComponent<TForm>(App, &App);
    TOwned<TPopupMenu> menu = MakeComponent<TPopupMenu>(*form, form.get());
    std::vector<TOwned<TMenuItem>> items;
    std::vector<std::u16string> clicked;
    for (const char16_t* caption : {u"First", u"-", u"Second"}) {
        items.push_back(MakeComponent<TMenuItem>(*menu, form.get()));
        items.back()->SetCaption(caption);
        items.back()->OnClick = [&clicked, caption](TComponent&) { clicked.push_back(caption); };
    }
    Desktop.MenuChoice = [](const THeadlessDesktop::TPopup&) { return std::u16string(u"Second"); };
    form->Handle();
    Desktop.Timeline.clear();
    menu->Popup(10, 20);
    Desktop.Pump();
    const std::string owner = std::to_string(form->Handle());
    EXPECT_THAT(Desktop.Timeline,
                ElementsAre("SetForegroundWindow(" + owner + ")", "TrackPopupMenu(10,20," + owner + ")",
                            "PostMessageW(" + owner + ",0,0,0)"));
    ASSERT_EQ(Desktop.Popups.size(), 1u);
    EXPECT_EQ(Desktop.Popups[0].Entries[1].Flags, MF_SEPARATOR);
    EXPECT_THAT(clicked, ElementsAre(u"Second"));
    EXPECT_NE(items[0]->Command(), items[2]->Command());
    EXPECT_GT(items[0]->Command(), IDCANCEL) << "never taken for a dialog key";
}

TEST_F(Toolkit, AnApplicationMadeWithItsTitleHasItAsCaptionFromTheStart) {
    THeadlessDesktop desktop;
    TApplication app{desktop, desktop, desktop, u"Tarnwick"};
    EXPECT_EQ(app.Title(), u"Tarnwick");
    EXPECT_EQ(desktop.Window(app.Handle()).Text, u"Tarnwick");
    EXPECT_EQ(desktop.Count("SetWindowTextW"), 0u) << "made with its caption, not given it afterwards";
}

TEST_F(Toolkit, FontsAreMadeOncePerDescriptionAndScaleAndGoWithTheApplication) {
    THeadlessDesktop desktop;
    std::optional<TApplication> app;
    app.emplace(desktop, desktop, desktop);
    TFont bold;
    bold.Bold = true;
    const HFONT_T a = app->FontHandle(TFont{}, 96);
    const HFONT_T b = app->FontHandle(bold, 96);
    const HFONT_T large = app->FontHandle(bold, 144);
    EXPECT_NE(a, b);
    bold.Color = clGreen; // the colour is painted, not part of the font
    EXPECT_EQ(app->FontHandle(bold, 96), b);
    EXPECT_EQ(app->FontHandle(TFont{}, 96), a);
    EXPECT_EQ(app->FontHandle(bold, 144), large);
    EXPECT_EQ(desktop.FontStyles.at(a), std::make_pair(-11, 400));
    EXPECT_EQ(desktop.FontStyles.at(b), std::make_pair(-11, 700));
    EXPECT_EQ(desktop.FontStyles.at(large), std::make_pair(-17, 700))
        << "16.5 pixels, rounded as MulDiv does";
    EXPECT_EQ(desktop.Fonts.size(), 3u);
    app.reset();
    EXPECT_TRUE(desktop.Fonts.empty());
}

} // namespace
} // namespace tarnwick
