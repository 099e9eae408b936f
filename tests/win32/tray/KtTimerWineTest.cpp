// TKtTimer on the real platform: ticks through the message loop at about its interval.
#include "tray/KtTimer.h"

#include <gtest/gtest.h>

#include "core/Errors.h"
#include "platform/win32/Win32Windows.h"
#include "testing/fixtures/HeadlessGuiPlatform.h"
#include "tests/win32/common/MessageLoop.h"
#include "toolkit/win32/Win32WindowFactory.h"

namespace tarnwick {
namespace {

class KtTimerWineTest : public ::testing::Test {
protected:
    win32::TWin32WindowPlatform Windows;
    win32::TWin32WindowFactory Factory{::GetModuleHandleW(nullptr)};
    tarnwick::testing::THeadlessGuiPlatform Gui;
    TApplication App{Windows, Factory, Gui};
    TOwned<TKtTimer> Timer = MakeComponent<TKtTimer>(App, &App);
    int Ticks = 0;
};

TEST_F(KtTimerWineTest, TicksAtAboutItsIntervalAndStopsWhenDisabled) {
    Timer->SetInterval(100);
    Timer->SetOnTimer([this](TComponent&) { ++Ticks; });
    test::PumpMessages(1000);
    // Ten periods; the platform's timer granularity and a loaded machine (a starved message loop gets
    // fewer ticks, never more) allow slack below, little above.
    EXPECT_GE(Ticks, 3);
    EXPECT_LE(Ticks, 11);

    Timer->SetEnabled(false);
    test::PumpMessages(20); // a tick already queued may still come
    const int stopped = Ticks;
    test::PumpMessages(400);
    EXPECT_EQ(Ticks, stopped);

    Timer->SetEnabled(true);
    test::PumpMessages(1000, [this, stopped] { return Ticks > stopped; });
    EXPECT_GT(Ticks, stopped);
}

TEST_F(KtTimerWineTest, StopsWhenDestroyed) {
    Timer->SetInterval(30);
    Timer->SetOnTimer([this](TComponent&) { ++Ticks; });
    test::PumpMessages(1000, [this] { return Ticks >= 2; });
    ASSERT_GE(Ticks, 2);
    const HWND wnd = reinterpret_cast<HWND>(Timer->WindowHandle());
    Timer.Reset();
    EXPECT_FALSE(::IsWindow(wnd));
    const int atDestruction = Ticks;
    test::PumpMessages(300);
    EXPECT_EQ(Ticks, atDestruction);
}

TEST_F(KtTimerWineTest, AFailingHandlerGoesToTheCentralHandlingAndTheTicksGoOn) {
    int handled = 0;
    App.OnException = [&](TComponent* sender, std::exception_ptr) {
        EXPECT_EQ(sender, Timer.get());
        ++handled;
    };
    Timer->SetInterval(30);
    Timer->SetOnTimer([this](TComponent&) {
        ++Ticks;
        throw EGeneralError(u"tick failed");
    });
    test::PumpMessages(2000, [this] { return Ticks >= 3; });
    EXPECT_GE(Ticks, 3);
    EXPECT_EQ(handled, Ticks);
}

TEST_F(KtTimerWineTest, ResetTimerRestartsTheCountdown) {
    Timer->SetInterval(300);
    Timer->SetOnTimer([this](TComponent&) { ++Ticks; });
    // Restarting every 100 ms keeps a 300 ms timer from ever firing.
    for (int i = 0; i < 8; ++i) {
        test::PumpMessages(100);
        Timer->ResetTimer();
    }
    EXPECT_EQ(Ticks, 0);
    test::PumpMessages(1000, [this] { return Ticks > 0; });
    EXPECT_EQ(Ticks, 1);
}

} // namespace
} // namespace tarnwick
