#include <gtest/gtest.h>

#include "deadline/DeadlineTexts.h"

namespace tarnwick {
namespace {

constexpr TFileTime Noon = 134099280000000000ull;
constexpr TFileTime Second = 10000000;
constexpr TFileTime Minute = 60 * Second;

TEST(DeadlineTexts, ALateEndSaysWhatEndedAndWhatIsDoneNow) {
    const struct {
        TDeadline Deadline;
        const char16_t* Text;
    } cases[] = {
        {{Noon, TDeadlineSwitch::dsTurnOff, 15},
         u"The 15 minutes of internet ended while Tarnwick was not running; the internet is turned off now"},
        {{Noon, TDeadlineSwitch::dsTurnOff, 1},
         u"The 1 minute of internet ended while Tarnwick was not running; the internet is turned off now"},
        {{Noon, TDeadlineSwitch::dsTurnOn, 30},
         u"The pause of 30 minutes ended while Tarnwick was not running; the internet is turned on now"},
        {{Noon, TDeadlineSwitch::dsTurnOff, 0},
         u"The limited turn-on ended while Tarnwick was not running; the internet is turned off now"},
        {{Noon, TDeadlineSwitch::dsTurnOn, 0},
         u"The pause ended while Tarnwick was not running; the internet is turned on now"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LateDeadlineText(c.Deadline), c.Text);
    }
}

TEST(DeadlineTexts, ExitNamesThePendingEndInLocalTime) {
    // Local time 14:20:30 on 11 December 2026 (whatever the offset from UTC).
    const SYSTEMTIME local{2026, 12, 5, 11, 14, 20, 30, 0};
    const struct {
        std::optional<TDeadline> Pending;
        const char16_t* Caption;
    } cases[] = {
        {std::nullopt, u"E&xit"},
        {TDeadline{Noon + 14 * Minute + 30 * Second, TDeadlineSwitch::dsTurnOn, 15},
         u"E&xit (the internet goes back on at 14:35)"},
        {TDeadline{Noon + 14 * Minute + 31 * Second, TDeadlineSwitch::dsTurnOff, 15},
         u"E&xit (the internet goes off at 14:36)"}, // never shown before it comes
        {TDeadline{Noon - Minute, TDeadlineSwitch::dsTurnOff, 5}, u"E&xit (the internet goes off at 14:21)"},
        {TDeadline{Noon + 10 * 60 * Minute, TDeadlineSwitch::dsTurnOn, 600},
         u"E&xit (the internet goes back on at 2026-12-12 00:21)"},
        {TDeadline{Noon + 21 * 24 * 60 * Minute, TDeadlineSwitch::dsTurnOff, 30240},
         u"E&xit (the internet goes off at 2027-01-01 14:21)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExitCaption(c.Pending, Noon, local), c.Caption);
    }
}

} // namespace
} // namespace tarnwick
