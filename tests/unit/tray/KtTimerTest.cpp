#include "tray/KtTimer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "testing/fixtures/HeadlessGuiPlatform.h"
#include "tests/unit/tray/Fakes.h"
#include "toolkit/UtilityWindow.h"

namespace tarnwick {
namespace {

using test::Call;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class KtTimerTest : public ::testing::Test {
protected:
    test::FakeWindowPlatform Windows;
    test::FakeWindowFactory Factory;
    tarnwick::testing::THeadlessGuiPlatform Gui;
    TApplication App{Windows, Factory, Gui};
    TOwned<TKtTimer> Timer = MakeComponent<TKtTimer>(App, nullptr);
    HWND_T Wnd = Timer->WindowHandle();
    int Ticks = 0;
    TNotifyEvent CountTicks = [this](TComponent&) { ++Ticks; };

    // Forget what construction did, and log the events into the same list as the platform calls.
    void StartWatching() {
        Windows.Calls.clear();
        Timer->SetOnEnabled([this](TComponent& s) {
            EXPECT_EQ(&s, Timer.get());
            Windows.Calls.push_back("OnEnabled");
        });
        Timer->SetOnDisabled([this](TComponent& s) {
            EXPECT_EQ(&s, Timer.get());
            Windows.Calls.push_back("OnDisabled");
        });
    }
    std::string SetTimer(std::uint32_t interval) const {
        return Call("SetTimer", {(long long)Wnd, 1, interval});
    }
    std::string KillTimer() const { return Call("KillTimer", {(long long)Wnd, 1}); }
};

TEST_F(KtTimerTest, StartsEnabledAtOneSecondWithAHiddenMessageOnlyToolWindowAndNoPlatformTimer) {
    EXPECT_TRUE(Timer->Enabled());
    EXPECT_EQ(Timer->Interval(), 1000u);
    EXPECT_FALSE(Timer->OnTimer());
    ASSERT_TRUE(Factory.Alive(Wnd));
    const TCreateParams& params = Factory.Windows.at(Wnd).Params;
    EXPECT_EQ(params.ClassName, UtilityWindowClassName);
    EXPECT_EQ(params.Style, WS_POPUP);
    EXPECT_EQ(params.ExStyle, WS_EX_TOOLWINDOW);
    EXPECT_EQ(params.Width, 0);
    EXPECT_EQ(params.Height, 0);
    EXPECT_EQ(params.WndParent, HwndMessage);
    EXPECT_EQ(Windows.Count("SetTimer"), 0u);
    EXPECT_EQ(Windows.Count("ShowWindow"), 0u);
}

TEST_F(KtTimerTest, StoringAHandlerStartsTheTimerAtOnceAndEveryStoreAppliesTheState) {
    StartWatching();
    Timer->SetOnTimer(CountTicks);
    Timer->SetOnTimer(CountTicks);
    EXPECT_THAT(Windows.Calls, ElementsAre(SetTimer(1000), SetTimer(1000)));
}

TEST_F(KtTimerTest, EnabledChangesRaiseTheirEventBeforeThePlatformCallAndTheSameValueDoesNothing) {
    Timer->SetOnTimer(CountTicks);
    StartWatching();
    Timer->SetEnabled(true);
    EXPECT_THAT(Windows.Calls, IsEmpty());
    Timer->SetEnabled(false);
    Timer->SetEnabled(false);
    Timer->SetEnabled(true);
    EXPECT_THAT(Windows.Calls, ElementsAre("OnDisabled", KillTimer(), "OnEnabled", SetTimer(1000)));
}

TEST_F(KtTimerTest, IntervalRestartsARunningTimerOnlyWhenItChanges) {
    Timer->SetOnTimer(CountTicks);
    StartWatching();
    Timer->SetInterval(1000);
    EXPECT_THAT(Windows.Calls, IsEmpty());
    Timer->SetInterval(50);
    EXPECT_EQ(Timer->Interval(), 50u);
    EXPECT_THAT(Windows.Calls, ElementsAre(SetTimer(50)));
}

TEST_F(KtTimerTest, ADisabledTimerStoresTheIntervalWithoutStartingAnything) {
    Timer->SetEnabled(false);
    Timer->SetOnTimer(CountTicks);
    StartWatching();
    Timer->SetInterval(250);
    EXPECT_THAT(Windows.Calls, ElementsAre(KillTimer()));
    EXPECT_FALSE(Timer->Enabled());
}

TEST_F(KtTimerTest, ResetTimerEnablesWithoutAnEventAndRestartsTheCountdown) {
    Timer->SetEnabled(false);
    Timer->SetOnTimer(CountTicks);
    StartWatching();
    Timer->ResetTimer();
    EXPECT_TRUE(Timer->Enabled());
    Timer->ResetTimer(300);
    EXPECT_EQ(Timer->Interval(), 300u);
    EXPECT_THAT(Windows.Calls, ElementsAre(SetTimer(1000), SetTimer(300)));
}

TEST_F(KtTimerTest, WithoutHandlerOrWithAZeroIntervalNoPlatformTimerRuns) {
    struct Case {
        const char* name;
        std::function<void(TKtTimer&)> change;
    };
    const Case cases[] = {
        {"handler cleared", [](TKtTimer& t) { t.SetOnTimer(nullptr); }},
        {"interval zero", [](TKtTimer& t) { t.SetInterval(0); }},
        {"reset to zero", [](TKtTimer& t) { t.ResetTimer(0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Timer->SetInterval(1000);
        Timer->SetOnTimer(CountTicks);
        StartWatching();
        c.change(*Timer);
        EXPECT_THAT(Windows.Calls, ElementsAre(KillTimer()));
        EXPECT_EQ(Windows.Count("SetTimer"), 0u);
    }
}

TEST_F(KtTimerTest, AFailedSetTimerIsOutOfResourcesAfterTheStateWasStored) {
    struct Case {
        const char* name;
        std::function<void(TKtTimer&)> change;
        std::uint32_t interval;
    };
    const Case cases[] = {
        {"ResetTimer", [](TKtTimer& t) { t.ResetTimer(70); }, 70},
        {"Enabled", [](TKtTimer& t) { t.SetEnabled(true); }, 1000},
        {"Interval", [](TKtTimer& t) { t.SetInterval(80); }, 80},
        {"OnTimer", [this](TKtTimer& t) { t.SetOnTimer(CountTicks); }, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Windows.SetTimerResult = 1;
        Timer->SetInterval(1000);
        Timer->SetOnTimer(CountTicks);
        Timer->SetEnabled(c.name == std::string("Interval") || c.name == std::string("OnTimer"));
        Windows.SetTimerResult = 0;
        try {
            c.change(*Timer);
            ADD_FAILURE() << "no error";
        } catch (const EOutOfResources& e) {
            EXPECT_EQ(e.Message(), u"Not enough timers available");
        }
        EXPECT_TRUE(Timer->Enabled());
        EXPECT_EQ(Timer->Interval(), c.interval);
    }
}

TEST_F(KtTimerTest, WmTimerCallsTheHandlerWithTheTimerWhateverTheIdentifierAndOtherMessagesGoToTheDefault) {
    TComponent* sender = nullptr;
    Timer->SetOnTimer([&](TComponent& s) {
        sender = &s;
        ++Ticks;
    });
    EXPECT_EQ(Factory.Deliver(Wnd, WM_TIMER, 1), 0);
    EXPECT_EQ(Factory.Deliver(Wnd, WM_TIMER, 42), 0);
    EXPECT_EQ(Ticks, 2);
    EXPECT_EQ(sender, Timer.get());

    Windows.Calls.clear();
    EXPECT_EQ(Factory.Deliver(Wnd, 0x0010, 5, 6), 77);
    EXPECT_THAT(Windows.Calls, ElementsAre(Call("DefWindowProcW", {(long long)Wnd, 0x0010, 5, 6})));

    Timer->SetOnTimer(nullptr);
    EXPECT_EQ(Factory.Deliver(Wnd, WM_TIMER, 1), 0); // a tick already queued: nothing happens
    EXPECT_EQ(Ticks, 2);
}

TEST_F(KtTimerTest, AHandlersErrorGoesToTheCentralHandlingAndTheTimerKeepsRunning) {
    std::vector<std::pair<TComponent*, std::u16string>> handled;
    App.OnException = [&](TComponent* sender, std::exception_ptr e) {
        handled.emplace_back(sender, ExceptionMessage(e));
    };
    Timer->SetOnTimer([](TComponent&) { throw EGeneralError(u"tick failed"); });
    Windows.Calls.clear();
    EXPECT_EQ(Factory.Deliver(Wnd, WM_TIMER, 1), 0);
    ASSERT_EQ(handled.size(), 1u);
    EXPECT_EQ(handled[0].first, Timer.get());
    EXPECT_EQ(handled[0].second, u"tick failed");
    EXPECT_TRUE(Timer->Enabled());
    EXPECT_EQ(Windows.Count("KillTimer"), 0u);
}

TEST_F(KtTimerTest, WithoutAHandlerOfItsOwnTheApplicationShowsTheErrorTitledWithItsTitle) {
    App.SetTitle(u"Tarnwick");
    Timer->SetOnTimer([](TComponent&) { throw EGeneralError(u"tick failed"); });
    Factory.Deliver(Wnd, WM_TIMER, 1);
    ASSERT_EQ(Windows.Boxes.size(), 1u);
    EXPECT_EQ(Windows.Boxes[0].first, u"tick failed");
    EXPECT_EQ(Windows.Boxes[0].second, u"Tarnwick");
    EXPECT_EQ(Windows.Count(Call("MessageBoxW", {(long long)App.Handle(), MB_OK | MB_ICONSTOP})), 1u);
}

TEST_F(KtTimerTest, DestroyingKillsThePlatformTimerBeforeTheWindowGoesWithoutAnEvent) {
    Timer->SetOnTimer(CountTicks);
    StartWatching();
    Factory.OnDestroy = [this](HWND_T h) { Windows.Calls.push_back(Call("Destroy", {(long long)h})); };
    Timer.Reset();
    EXPECT_THAT(Windows.Calls, ElementsAre(KillTimer(), Call("Destroy", {(long long)Wnd})));
}

TEST(KtTimerOwnership, TheOwnerFreesItsTimerUnlessTheTimerWasFreedFirst) {
    test::FakeWindowPlatform windows;
    test::FakeWindowFactory factory;
    tarnwick::testing::THeadlessGuiPlatform gui;
    TApplication app{windows, factory, gui};

    auto owner = MakeComponent<TComponent>(nullptr);
    auto early = MakeComponent<TKtTimer>(app, owner.get());
    auto late = MakeComponent<TKtTimer>(app, owner.get());
    const HWND_T lateWnd = late->WindowHandle();
    ASSERT_EQ(owner->ComponentCount(), 2u);

    early.Reset();
    EXPECT_EQ(owner->ComponentCount(), 1u);
    EXPECT_EQ(&owner->Components(0), late.get());

    owner.Reset();
    EXPECT_FALSE(late); // the owner freed it; its holder knows
    EXPECT_FALSE(factory.Alive(lateWnd));
    EXPECT_EQ(windows.Count(Call("KillTimer", {(long long)lateWnd, 1})), 1u);
}

} // namespace
} // namespace tarnwick
