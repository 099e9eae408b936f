#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/PlatformConstants.h"
#include "deadline/Deadline.h"
#include "tests/unit/support/FakeRegistryPlatform.h"
#include "tests/unit/tray/LogRecorder.h"

namespace tarnwick {
namespace {

using Registry = tarnwick::testing::FakeRegistryPlatform;
using Value = Registry::Value;

constexpr TFileTime Noon = 134099280000000000ull;
constexpr char16_t Key[] = u"Software\\Tarnwick";

std::vector<std::uint8_t> Bytes(std::uint64_t Value, std::size_t Size) {
    std::vector<std::uint8_t> data(Size);
    std::memcpy(data.data(), &Value, Size);
    return data;
}
// The one-value record as it is written: time, switch, minutes.
Value Record(TFileTime Due, std::uint32_t Switch, std::int32_t Minutes) {
    std::vector<std::uint8_t> data = Bytes(Due, 8);
    for (const std::uint64_t part : {std::uint64_t(Switch), std::uint64_t(std::uint32_t(Minutes))}) {
        const auto bytes = Bytes(part, 4);
        data.insert(data.end(), bytes.begin(), bytes.end());
    }
    return {REG_BINARY, data};
}
void PutTwoValueForm(Registry& R, TFileTime Due, std::uint32_t Switch) {
    R.PutValue(HKeyCurrentUser, Key, u"DeadlineUtc", Value{REG_QWORD, Bytes(Due, 8)});
    R.PutValue(HKeyCurrentUser, Key, u"DeadlineSwitch", Value{REG_DWORD, Bytes(Switch, 4)});
}

TEST(Deadline, IsRecordedInOneValueReadBackAndClearedInTheUsersRegistry) {
    for (const TDeadlineSwitch kind : {TDeadlineSwitch::dsTurnOff, TDeadlineSwitch::dsTurnOn}) {
        Registry registry;
        const TDeadline deadline = DeadlineAfter(Noon, 15, kind);
        EXPECT_EQ(deadline.DueUtc, Noon + 15 * 600000000ull);
        EXPECT_EQ(deadline.Minutes, 15);
        ASSERT_TRUE(RecordDeadline(registry, deadline));
        const auto value = registry.Get(HKeyCurrentUser, Key, u"Deadline");
        ASSERT_TRUE(value);
        EXPECT_EQ(value->Type, REG_BINARY);
        EXPECT_EQ(value->Data, Record(deadline.DueUtc, std::uint32_t(kind), 15).Data);
        EXPECT_EQ(registry.CountCalls("RegSetValueExW"), 1u) << "one write: whole or nothing";
        EXPECT_EQ(ReadDeadline(registry), deadline);

        EXPECT_TRUE(ClearDeadline(registry));
        EXPECT_EQ(ReadDeadline(registry), std::nullopt);
        EXPECT_TRUE(ClearDeadline(registry)) << "nothing left to clear is no failure";
        EXPECT_EQ(registry.OpenHandles(), 0u);
    }
    Registry empty;
    EXPECT_TRUE(ClearDeadline(empty)) << "no key: nothing to clear";
}

TEST(Deadline, ARefusingRegistryIsReportedByRecordAndClear) {
    Registry denied;
    denied.DeniedRoots.insert(HKeyCurrentUser);
    EXPECT_FALSE(RecordDeadline(denied, DeadlineAfter(Noon, 5, TDeadlineSwitch::dsTurnOff)));
    EXPECT_FALSE(ClearDeadline(denied)) << "a key that cannot be opened may still hold a record";

    Registry undeletable;
    ASSERT_TRUE(RecordDeadline(undeletable, DeadlineAfter(Noon, 5, TDeadlineSwitch::dsTurnOn)));
    undeletable.RefuseDeletes = true;
    EXPECT_FALSE(ClearDeadline(undeletable));
    EXPECT_TRUE(ReadDeadline(undeletable));
}

// A write that fails leaves the earlier record whole, whichever form it had: never the new switch with
// the old time.
TEST(Deadline, AFailedWriteLeavesTheEarlierRecordWhole) {
    const TDeadline earlier{Noon, TDeadlineSwitch::dsTurnOff, 0};
    const TDeadline later = DeadlineAfter(Noon, 30, TDeadlineSwitch::dsTurnOn);
    for (const bool twoValueForm : {true, false}) {
        for (std::size_t writes = 0; writes < 3; ++writes) {
            SCOPED_TRACE(::testing::Message() << (twoValueForm ? "two values" : "one value") << ", " << writes
                                              << " writes succeed");
            Registry registry;
            if (twoValueForm) {
                PutTwoValueForm(registry, earlier.DueUtc, 0);
            } else {
                ASSERT_TRUE(RecordDeadline(registry, earlier));
                registry.Calls.clear();
            }
            registry.WritesBeforeRefusal = writes;
            const bool recorded = RecordDeadline(registry, later);
            EXPECT_EQ(ReadDeadline(registry), recorded ? later : earlier);
            EXPECT_EQ(recorded, writes > 0);
        }
    }
}

TEST(Deadline, TheTwoValueFormIsReadAndReplaced) {
    Registry registry;
    PutTwoValueForm(registry, Noon, 1);
    EXPECT_EQ(ReadDeadline(registry), (TDeadline{Noon, TDeadlineSwitch::dsTurnOn, 0}));
    const TDeadline later = DeadlineAfter(Noon, 5, TDeadlineSwitch::dsTurnOff);
    ASSERT_TRUE(RecordDeadline(registry, later));
    EXPECT_EQ(ReadDeadline(registry), later);
    EXPECT_FALSE(registry.Get(HKeyCurrentUser, Key, u"DeadlineUtc"));
    EXPECT_FALSE(registry.Get(HKeyCurrentUser, Key, u"DeadlineSwitch"));

    PutTwoValueForm(registry, Noon, 1);
    EXPECT_EQ(ReadDeadline(registry), later) << "the one value comes first";
    EXPECT_TRUE(ClearDeadline(registry));
    EXPECT_EQ(ReadDeadline(registry), std::nullopt) << "both forms cleared";
}

TEST(Deadline, ValuesMissingUnreadableOrOfAnotherTypeMeanNoDeadlineAndAreLogged) {
    struct Case {
        const char* Name;
        std::optional<Value> One, Time, Switch;
        std::optional<TDeadline> Expected;
        bool Logged;
    };
    const Value time{REG_QWORD, Bytes(Noon, 8)};
    const Case cases[] = {
        {"nothing recorded", std::nullopt, std::nullopt, std::nullopt, std::nullopt, false},
        {"a record", Record(Noon, 1, 30), std::nullopt, std::nullopt,
         TDeadline{Noon, TDeadlineSwitch::dsTurnOn, 30}, false},
        {"a record cut short", Value{REG_BINARY, Bytes(Noon, 8)}, std::nullopt, std::nullopt, std::nullopt,
         true},
        {"a record as a QWORD", Value{REG_QWORD, Bytes(Noon, 8)}, time, std::nullopt, std::nullopt, true},
        {"a record naming an unknown switch", Record(Noon, 2, 5), std::nullopt, std::nullopt, std::nullopt,
         true},
        {"a record with negative minutes", Record(Noon, 0, -5), std::nullopt, std::nullopt, std::nullopt,
         true},
        {"the time alone: a turn-off", std::nullopt, time, std::nullopt,
         TDeadline{Noon, TDeadlineSwitch::dsTurnOff, 0}, false},
        {"a pause's turn-on", std::nullopt, time, Value{REG_DWORD, Bytes(1, 4)},
         TDeadline{Noon, TDeadlineSwitch::dsTurnOn, 0}, false},
        {"the switch alone", std::nullopt, std::nullopt, Value{REG_DWORD, Bytes(0, 4)}, std::nullopt, false},
        {"the time as text", std::nullopt, Value{REG_SZ, {'1', 0, '2', 0, 0, 0}}, std::nullopt, std::nullopt,
         true},
        {"the time as a DWORD", std::nullopt, Value{REG_DWORD, Bytes(7, 4)}, std::nullopt, std::nullopt,
         true},
        {"the time cut short", std::nullopt, Value{REG_QWORD, Bytes(Noon, 4)}, std::nullopt, std::nullopt,
         true},
        {"the time too long", std::nullopt, Value{REG_QWORD, std::vector<std::uint8_t>(12, 1)}, std::nullopt,
         std::nullopt, true},
        {"the time as binary", std::nullopt, Value{REG_BINARY, Bytes(Noon, 8)}, std::nullopt, std::nullopt,
         true},
        {"an unknown switch", std::nullopt, time, Value{REG_DWORD, Bytes(2, 4)}, std::nullopt, true},
        {"the switch as text", std::nullopt, time, Value{REG_SZ, {'1', 0, 0, 0}}, std::nullopt, true},
        {"the switch as a QWORD", std::nullopt, time, Value{REG_QWORD, Bytes(1, 8)}, std::nullopt, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Registry registry;
        registry.PutValue(HKeyCurrentUser, Key, u"Other", Value{REG_SZ, {0, 0}});
        for (const auto& [name, value] : {std::pair{u"Deadline", c.One}, std::pair{u"DeadlineUtc", c.Time},
                                          std::pair{u"DeadlineSwitch", c.Switch}}) {
            if (value) {
                registry.PutValue(HKeyCurrentUser, Key, name, *value);
            }
        }
        test::LogRecorder log;
        EXPECT_EQ(ReadDeadline(registry), c.Expected);
        EXPECT_EQ(log.Lines.size(), c.Logged ? 1u : 0u);
        if (c.Logged && !log.Lines.empty()) {
            EXPECT_NE(log.Lines[0].first.find(u"is ignored"), std::u16string::npos)
                << log.Lines[0].first.size();
        }
        EXPECT_EQ(registry.OpenHandles(), 0u);
    }
}

TEST(Deadline, AnEndBeyondTheLongestLimitedSwitchIsBroughtBackToIt) {
    constexpr TFileTime Bound = Noon + TFileTime(MaxLimitedMinutes) * FileTimeTicksPerMinute;
    const struct {
        TFileTime Due;
        std::optional<TFileTime> Bounded;
    } cases[] = {
        {Noon - 1, std::nullopt},
        {Noon + FileTimeTicksPerMinute, std::nullopt},
        {Bound, std::nullopt},
        {Bound + 1, Bound},
        {Noon + 366 * 24 * 60 * FileTimeTicksPerMinute, Bound}, // a year away
        {~TFileTime(0), Bound},
    };
    for (const auto& c : cases) {
        const TDeadline deadline{c.Due, TDeadlineSwitch::dsTurnOn, 5};
        const auto bounded = BoundedDeadline(deadline, Noon);
        EXPECT_EQ(bounded.has_value(), c.Bounded.has_value()) << c.Due;
        if (bounded && c.Bounded) {
            EXPECT_EQ(*bounded, (TDeadline{*c.Bounded, TDeadlineSwitch::dsTurnOn, 5}));
        }
    }
}

TEST(Deadline, IsLateOnlyWhenMoreThanAMinutePast) {
    const TDeadline deadline{Noon, TDeadlineSwitch::dsTurnOff, 15};
    EXPECT_FALSE(IsLate(deadline, Noon - FileTimeTicksPerMinute * 5));
    EXPECT_FALSE(IsLate(deadline, Noon));
    EXPECT_FALSE(IsLate(deadline, Noon + FileTimeTicksPerMinute));
    EXPECT_TRUE(IsLate(deadline, Noon + FileTimeTicksPerMinute + 1));
    EXPECT_TRUE(IsLate(deadline, Noon + 400 * 24 * 60 * FileTimeTicksPerMinute)) << "a year late is late too";
}

TEST(Deadline, TheTimerWaitsTheRestRoundedUpAndAtMostTheLongestInterval) {
    constexpr TFileTime Ms = 10000;
    const struct {
        TFileTime Now, Due;
        std::uint32_t Wait;
    } cases[] = {
        {Noon, Noon - 1, 0},                                  // past
        {Noon, Noon, 0},                                      // come
        {Noon, Noon + 1, 1},                                  // a tenth of a microsecond: one whole ms
        {Noon, Noon + 15 * 60000 * Ms, 15 * 60000},           // the whole rest
        {Noon, Noon + 35791ull * 60000 * Ms, 35791u * 60000}, // the longest turn-on
        {Noon, Noon + 0x7FFFFFFFull * Ms, 0x7FFFFFFF},
        {Noon, Noon + 0x80000000ull * Ms, 0x7FFFFFFF}, // a later tick looks again
        {0, ~TFileTime(0), 0x7FFFFFFF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DeadlineTimerInterval(c.Now, c.Due), c.Wait) << c.Due - std::min(c.Due, c.Now);
    }
}

} // namespace
} // namespace tarnwick
