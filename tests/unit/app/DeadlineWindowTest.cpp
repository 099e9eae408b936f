// The main window keeps a limited turn-on's end on the wall clock: recorded before the adapters are
// enabled, carried out across sleep, clock changes and restarts, cleared by the switches that end it.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

#include "core/Errors.h"
#include "deadline/Deadline.h"
#include "tests/unit/app/ProgramHarness.h"
#include "tests/unit/tray/LogRecorder.h"

namespace tarnwick {
namespace {

using test::TProgramHarness;

constexpr std::uint64_t Minute = 60000;
constexpr std::uint32_t ResumeAutomatic = PBT_APMRESUMEAUTOMATIC;

std::optional<TDeadline> Recorded(TProgramHarness& h) {
    return ReadDeadline(h.Registry);
}
void Record(TProgramHarness& h, std::int64_t MinutesFromNow,
            TDeadlineSwitch Switch = TDeadlineSwitch::dsTurnOff) {
    const auto now = static_cast<std::int64_t>(h.Clock.GetSystemTimeAsFileTime());
    ASSERT_TRUE(RecordDeadline(
        h.Registry,
        {static_cast<TFileTime>(now + MinutesFromNow * std::int64_t(FileTimeTicksPerMinute)), Switch}));
}
// Moves the desktop's clock (and the wall clock with it) to the minute.
void AtMinute(TProgramHarness& h, std::uint64_t M) {
    if (M * Minute > h.Desktop.Now) {
        h.Desktop.AdvanceTime(M * Minute - h.Desktop.Now);
    }
}

TEST(Deadline, ALimitedTurnOnIsRecordedBeforeTheAdaptersAreEnabled) {
    TProgramHarness h;
    h.TurnAdaptersOff();
    std::vector<std::optional<TDeadline>> seenAtChange;
    h.Machine.sim.OnDevicesChanged = [&] { seenAtChange.push_back(Recorded(h)); };
    h.Start(u"-elevation -action turnon 15");
    ASSERT_TRUE(h.BothOn());
    const TDeadline expected{test::SomeNoonUtc + 15 * FileTimeTicksPerMinute, TDeadlineSwitch::dsTurnOff, 15};
    ASSERT_FALSE(seenAtChange.empty());
    EXPECT_EQ(seenAtChange.front(), expected) << "recorded before the first adapter changed";
    EXPECT_EQ(Recorded(h), expected);
    EXPECT_TRUE(h.TimerArmed());
}

TEST(Deadline, HoldsOnTheWallClockAcrossSleepAndClockChanges) {
    // A turn-on for 15 minutes at minute 0; at minute 5 something happens to the wall clock; then the
    // desktop's minutes at which the internet is seen on and off.
    struct Case {
        const char* Name;
        std::function<void(TProgramHarness&)> AtMinute5;
        std::vector<std::pair<std::uint64_t, bool>> OnAt;
    };
    auto resume = [](TProgramHarness& h) { h.Send(WM_POWERBROADCAST, ResumeAutomatic); };
    const Case cases[] = {
        {"asleep past the deadline: off at resume",
         [&](TProgramHarness& h) {
             h.Clock.JumpMinutes(20);
             resume(h);
         },
         {{5, false}}},
        {"asleep for 5 minutes: off 5 minutes after resume",
         [&](TProgramHarness& h) {
             h.Clock.JumpMinutes(5);
             resume(h);
         },
         {{9, true}, {10, false}}},
        {"resumed by the user after the deadline",
         [](TProgramHarness& h) {
             h.Clock.JumpMinutes(60);
             h.Send(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND);
         },
         {{5, false}}},
        {"the clock set forward past the deadline",
         [](TProgramHarness& h) {
             h.Clock.JumpMinutes(11);
             h.Send(WM_TIMECHANGE);
         },
         {{5, false}}},
        {"the clock set back 30 minutes",
         [](TProgramHarness& h) {
             h.Clock.JumpMinutes(-30);
             h.Send(WM_TIMECHANGE);
         },
         {{15, true}, {44, true}, {45, false}}},
        {"the clock set back unannounced: the tick looks again",
         [](TProgramHarness& h) { h.Clock.JumpMinutes(-30); },
         {{15, true}, {44, true}, {45, false}}},
        {"nothing", [](TProgramHarness&) {}, {{14, true}, {15, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TProgramHarness h;
        h.TurnAdaptersOff();
        h.Start(u"-elevation -action turnon 15");
        ASSERT_TRUE(h.BothOn());
        AtMinute(h, 5);
        c.AtMinute5(h);
        for (const auto& [minute, on] : c.OnAt) {
            AtMinute(h, minute);
            EXPECT_EQ(h.BothOn(), on) << "minute " << minute;
            EXPECT_EQ(h.BothOff(), !on) << "minute " << minute;
        }
        EXPECT_EQ(Recorded(h), std::nullopt);
        EXPECT_FALSE(h.TimerArmed()) << "no wake-ups once the deadline is done";
        EXPECT_EQ(h.LastBalloon(), test::OffNotice);
    }
}

TEST(Deadline, EveryStartTakesUpARecordedDeadline) {
    struct Case {
        const char* Name;
        std::int64_t MinutesFromStart;
        TDeadlineSwitch Switch;
        bool AdaptersOnAtStart;
        std::vector<std::pair<std::uint64_t, bool>> OnAt;
    };
    const Case cases[] = {
        {"still ahead: re-armed for the rest",
         7,
         TDeadlineSwitch::dsTurnOff,
         true,
         {{0, true}, {6, true}, {7, false}}},
        {"already past: carried out at once", -3, TDeadlineSwitch::dsTurnOff, true, {{0, false}}},
        {"past by less than a minute: on time", -1, TDeadlineSwitch::dsTurnOff, true, {{0, false}}},
        {"a pause still ahead", 2, TDeadlineSwitch::dsTurnOn, false, {{1, false}, {2, true}}},
        {"a pause over a year ago", -366 * 24 * 60, TDeadlineSwitch::dsTurnOn, false, {{0, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TProgramHarness h;
        if (!c.AdaptersOnAtStart) {
            h.TurnAdaptersOff();
        }
        Record(h, c.MinutesFromStart, c.Switch);
        h.Start(u"-elevation"); // as the autostart at logon, elevated
        for (const auto& [minute, on] : c.OnAt) {
            AtMinute(h, minute);
            EXPECT_EQ(h.BothOn(), on) << "minute " << minute;
            EXPECT_EQ(h.BothOff(), !on) << "minute " << minute;
        }
        EXPECT_EQ(Recorded(h), std::nullopt);
        EXPECT_FALSE(h.TimerArmed());
        // Found long past at the start: carried out and told so.
        const bool late = c.MinutesFromStart < -1;
        EXPECT_EQ(h.LastBalloon().find(u"ended while Tarnwick was not running") != std::u16string::npos, late)
            << std::string(h.LastBalloon().begin(), h.LastBalloon().end());
    }

    // Unreadable values are no deadline: nothing is switched and no timer runs.
    TProgramHarness h;
    h.Registry.PutString(HKeyCurrentUser, u"Software\\Tarnwick", u"DeadlineUtc", u"soon");
    h.Start(u"-elevation");
    EXPECT_TRUE(h.BothOn());
    EXPECT_FALSE(h.TimerArmed());
    EXPECT_TRUE(h.Desktop.Boxes.empty());
}

TEST(Deadline, ATurnOffAndATurnOnForGoodClearItExitLogoffAndAKillDoNot) {
    struct Case {
        const char* Name;
        std::function<void(TProgramHarness&)> Do;
        bool Cleared;
        bool EndOn;
    };
    const Case cases[] = {
        {"a turn-off", [](TProgramHarness& h) { h.PressSwitch(); }, true, false},
        {"a turn-on for good", [](TProgramHarness& h) { h.Choose(*h.Form->Justturnon1); }, true, true},
        {"Exit", [](TProgramHarness& h) { h.Choose(*h.Form->Exit1); }, false, true},
        {"a logoff",
         [](TProgramHarness& h) {
             h.Send(WM_QUERYENDSESSION);
             h.Send(WM_CLOSE);
         },
         false, true},
        {"the program going away (killed)", [](TProgramHarness& h) { h.Form.Reset(); }, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TProgramHarness h;
        h.TurnAdaptersOff();
        h.Start(u"-elevation");
        h.Choose(*h.Form->urnonfor30min1);
        ASSERT_TRUE(Recorded(h));
        c.Do(h);
        EXPECT_EQ(Recorded(h).has_value(), !c.Cleared);
        EXPECT_EQ(h.BothOn(), c.EndOn);
        if (c.Cleared && h.Form) {
            EXPECT_FALSE(h.TimerArmed());
        }
    }
}

TEST(Deadline, AFailedTurnOffIsRetriedEveryMinuteWithOneErrorBoxAtATime) {
    TProgramHarness h;
    h.TurnAdaptersOff();
    h.Start(u"-elevation -action turnon 5");
    ASSERT_TRUE(h.BothOn());
    h.Machine.sim.Device(h.Wired).RefuseChangeError = ERROR_ACCESS_DENIED;
    // The first box stays open for three minutes, as a user away from the screen leaves it.
    h.Desktop.WhileBoxOpen = [&](const test::THeadlessDesktop::TBox&) {
        if (h.Desktop.OpenBoxes == 1 && h.Desktop.Boxes.size() == 1) {
            h.Desktop.AdvanceTime(3 * Minute);
        }
    };
    AtMinute(h, 5);
    EXPECT_EQ(h.Desktop.Boxes.size(), 1u) << "the retries while the box was open showed none";
    EXPECT_EQ(h.Desktop.MostOpenBoxes, 1);
    EXPECT_TRUE(h.AdapterOn(h.Wired));
    EXPECT_TRUE(h.TimerArmed());
    EXPECT_EQ(h.Form->TurnOffTimer->Interval(), DeadlineRetryMilliseconds);

    // With the box closed, the next failure shows one again; then the adapter gives in.
    AtMinute(h, 9);
    EXPECT_EQ(h.Desktop.Boxes.size(), 2u);
    h.Machine.sim.Device(h.Wired).RefuseChangeError = 0;
    AtMinute(h, 10);
    EXPECT_TRUE(h.BothOff());
    EXPECT_FALSE(h.TimerArmed());
    EXPECT_EQ(Recorded(h), std::nullopt);
}

TEST(Deadline, MinutesAtTheLimits) {
    const struct {
        std::int32_t Minutes;
        bool Accepted;
    } cases[] = {{1, true}, {MaxLimitedMinutes, true}, {MaxLimitedMinutes + 1, false}, {-1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Minutes);
        for (const bool pause : {false, true}) {
            TProgramHarness h;
            h.Start(u"-elevation");
            if (!pause) {
                h.TurnAdaptersOff();
            }
            try {
                pause ? h.Form->SwitchOffFor(c.Minutes, TSwitchRequester::CommandLine)
                      : h.Form->SwitchOn(c.Minutes, TSwitchRequester::CommandLine);
            } catch (const EGeneralError&) {
            }
            const auto recorded = Recorded(h);
            EXPECT_EQ(recorded.has_value(), c.Accepted);
            EXPECT_EQ(h.BothOn(), c.Accepted != pause) << "nothing switched when refused";
            if (recorded) {
                EXPECT_EQ(recorded->DueUtc,
                          test::SomeNoonUtc + TFileTime(c.Minutes) * FileTimeTicksPerMinute);
                EXPECT_EQ(recorded->Switch, pause ? TDeadlineSwitch::dsTurnOn : TDeadlineSwitch::dsTurnOff);
                EXPECT_EQ(h.Form->TurnOffTimer->Interval(), std::uint32_t(c.Minutes) * Minute);
            }
        }
    }
}

TEST(Deadline, ARegistryThatRefusesTheRecordRefusesTheLimitedTurnOn) {
    TProgramHarness h;
    h.TurnAdaptersOff();
    h.Registry.DeniedRoots.insert(HKeyCurrentUser);
    h.Start(u"-elevation -action turnon 15");
    EXPECT_TRUE(h.BothOff()) << "without its end kept, the turn-on is not made";
    ASSERT_EQ(h.Desktop.Boxes.size(), 1u);
    EXPECT_NE(h.Desktop.Boxes[0].Text.find(u"cannot be kept"), std::u16string::npos);
    EXPECT_FALSE(h.TimerArmed());
}

TEST(Deadline, NoTimerRunsWhileNoDeadlineIsRecorded) {
    TProgramHarness h;
    h.Start(u"-elevation");
    h.Send(WM_POWERBROADCAST, ResumeAutomatic);
    h.Send(WM_TIMECHANGE);
    h.PressSwitch();
    EXPECT_TRUE(h.BothOff());
    EXPECT_TRUE(h.Desktop.Timers.empty());
}

TEST(Deadline, ExitDuringAPauseNamesTheEndAndTheNextStartStillCarriesItOut) {
    TProgramHarness h;
    h.Start(u"-elevation");
    h.Form->SwitchOffFor(30, TSwitchRequester::Menu);
    ASSERT_TRUE(h.BothOff());
    h.System.Now = SYSTEMTIME{2026, 12, 5, 11, 14, 20, 0, 0}; // the local clock as the menu opens
    h.TrayClick(WM_CONTEXTMENU);
    EXPECT_EQ(h.Form->Exit1->Caption(), u"E&xit (the internet goes back on at 14:50)");
    h.Choose(*h.Form->Exit1);
    EXPECT_TRUE(h.BothOff()) << "Exit ends the tray, not the pause";
    ASSERT_TRUE(Recorded(h));
    h.Form.Reset();

    h.Clock.JumpMinutes(45);
    h.Start(u"-elevation");
    EXPECT_TRUE(h.BothOn());
    EXPECT_EQ(Recorded(h), std::nullopt);
    EXPECT_EQ(h.LastBalloon(),
              u"The pause of 30 minutes ended while Tarnwick was not running; the internet is turned on now");
}

TEST(Deadline, AnEndAYearAwayIsBroughtBackToTheLongestLimitedSwitchAndLogged) {
    TProgramHarness h;
    h.TurnAdaptersOff();
    Record(h, 366 * 24 * 60, TDeadlineSwitch::dsTurnOn);
    test::LogRecorder log;
    h.Start(u"-elevation");
    const TDeadline bounded{test::SomeNoonUtc + TFileTime(MaxLimitedMinutes) * FileTimeTicksPerMinute,
                            TDeadlineSwitch::dsTurnOn, 0};
    EXPECT_EQ(Recorded(h), bounded) << "kept as bounded";
    EXPECT_EQ(h.Form->TurnOffTimer->Interval(), std::uint32_t(MaxLimitedMinutes) * Minute);
    const bool logged = std::any_of(log.Lines.begin(), log.Lines.end(), [](const auto& line) {
        return line.first.find(u"brought back") != std::u16string::npos;
    });
    EXPECT_TRUE(logged);
}

TEST(Deadline, ADeadlineRecordedByAnotherStartIsNoticedAtItsSwitch) {
    TProgramHarness h;
    h.Start(u"-elevation");
    ASSERT_FALSE(h.TimerArmed());
    // Another elevated start records a pause and turns the adapters off; Windows announces the change.
    Record(h, 5, TDeadlineSwitch::dsTurnOn);
    h.TurnAdaptersOff();
    h.Desktop.Broadcast(WM_DEVICECHANGE, test::DBT_DEVNODES_CHANGED, 0);
    h.Desktop.Pump();
    EXPECT_TRUE(h.TimerArmed());
    AtMinute(h, 4);
    EXPECT_TRUE(h.BothOff());
    AtMinute(h, 5);
    EXPECT_TRUE(h.BothOn());
    EXPECT_EQ(Recorded(h), std::nullopt);
}

TEST(Deadline, ADeadlineSwitchThatFailsWhileItsBoxIsOpenIsLoggedNotShownAgain) {
    // A tray without administrator rights on Windows 10, whose elevated copy cannot be started: the
    // deadline's switch fails as a whole, at the start and at every retry.
    TProgramHarness h;
    h.ShellExecute.Succeeds = false;
    h.System.LastError = ERROR_ACCESS_DENIED;
    Record(h, 1);
    test::LogRecorder log;
    h.Desktop.WhileBoxOpen = [&](const test::THeadlessDesktop::TBox&) {
        if (h.Desktop.OpenBoxes == 1 && h.Desktop.Boxes.size() == 1) {
            h.Desktop.AdvanceTime(4 * Minute);
        }
    };
    h.Start(u"", 10, 0);
    AtMinute(h, 1);
    EXPECT_EQ(h.Desktop.Boxes.size(), 1u) << "the retries while the box was open showed none";
    EXPECT_EQ(h.Desktop.MostOpenBoxes, 1);
    const auto boxLines = std::count_if(log.Lines.begin(), log.Lines.end(), [](const auto& line) {
        return line.first.rfind(u"Message box: ", 0) == 0;
    });
    EXPECT_GE(boxLines, 4) << "the box and each retry behind it are in the log";
    EXPECT_TRUE(h.TimerArmed()) << "tried again later";
    EXPECT_TRUE(Recorded(h));
}

} // namespace
} // namespace tarnwick
