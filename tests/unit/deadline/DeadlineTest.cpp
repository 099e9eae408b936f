#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/PlatformConstants.h"
#include "deadline/Deadline.h"
#include "tests/unit/support/FakeRegistryPlatform.h"

namespace tarnwick {
namespace {

using Registry = tarnwick::testing::FakeRegistryPlatform;

constexpr TFileTime Noon = 134099280000000000ull;

std::vector<std::uint8_t> Bytes(std::uint64_t Value, std::size_t Size) {
    std::vector<std::uint8_t> data(Size);
    std::memcpy(data.data(), &Value, Size);
    return data;
}

TEST(Deadline, IsRecordedReadBackAndClearedInTheUsersRegistry) {
    for (const TDeadlineSwitch kind : {TDeadlineSwitch::dsTurnOff, TDeadlineSwitch::dsTurnOn}) {
        Registry registry;
        const TDeadline deadline = DeadlineAfter(Noon, 15, kind);
        EXPECT_EQ(deadline.DueUtc, Noon + 15 * 600000000ull);
        ASSERT_TRUE(RecordDeadline(registry, deadline));
        const auto time = registry.Get(HKeyCurrentUser, u"Software\\Tarnwick", u"DeadlineUtc");
        ASSERT_TRUE(time);
        EXPECT_EQ(time->Type, REG_QWORD);
        EXPECT_EQ(time->Data, Bytes(deadline.DueUtc, 8));
        EXPECT_EQ(ReadDeadline(registry), deadline);

        ClearDeadline(registry);
        EXPECT_EQ(ReadDeadline(registry), std::nullopt);
        EXPECT_FALSE(registry.Get(HKeyCurrentUser, u"Software\\Tarnwick", u"DeadlineSwitch"));
        EXPECT_EQ(registry.OpenHandles(), 0u);
    }
    Registry refusing;
    refusing.DeniedRoots.insert(HKeyCurrentUser);
    EXPECT_FALSE(RecordDeadline(refusing, DeadlineAfter(Noon, 5, TDeadlineSwitch::dsTurnOff)));
    ClearDeadline(refusing); // nothing to clear, and no failure
}

TEST(Deadline, ValuesMissingUnreadableOrOfAnotherTypeMeanNoDeadline) {
    using Value = Registry::Value;
    struct Case {
        const char* Name;
        std::optional<Value> Time, Switch;
        std::optional<TDeadline> Expected;
    };
    const Value time{REG_QWORD, Bytes(Noon, 8)};
    const Case cases[] = {
        {"nothing recorded", std::nullopt, std::nullopt, std::nullopt},
        {"the time alone: a turn-off", time, std::nullopt, TDeadline{Noon, TDeadlineSwitch::dsTurnOff}},
        {"a pause's turn-on", time, Value{REG_DWORD, Bytes(1, 4)},
         TDeadline{Noon, TDeadlineSwitch::dsTurnOn}},
        {"the switch alone", std::nullopt, Value{REG_DWORD, Bytes(0, 4)}, std::nullopt},
        {"the time as text", Value{REG_SZ, {'1', 0, '2', 0, 0, 0}}, std::nullopt, std::nullopt},
        {"the time as a DWORD", Value{REG_DWORD, Bytes(7, 4)}, std::nullopt, std::nullopt},
        {"the time cut short", Value{REG_QWORD, Bytes(Noon, 4)}, std::nullopt, std::nullopt},
        {"the time too long", Value{REG_QWORD, std::vector<std::uint8_t>(12, 1)}, std::nullopt, std::nullopt},
        {"the time as binary", Value{REG_BINARY, Bytes(Noon, 8)}, std::nullopt, std::nullopt},
        {"an unknown switch", time, Value{REG_DWORD, Bytes(2, 4)}, std::nullopt},
        {"the switch as text", time, Value{REG_SZ, {'1', 0, 0, 0}}, std::nullopt},
        {"the switch as a QWORD", time, Value{REG_QWORD, Bytes(1, 8)}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Registry registry;
        registry.PutValue(HKeyCurrentUser, u"Software\\Tarnwick", u"Other", Value{REG_SZ, {0, 0}});
        if (c.Time) {
            registry.PutValue(HKeyCurrentUser, u"Software\\Tarnwick", u"DeadlineUtc", *c.Time);
        }
        if (c.Switch) {
            registry.PutValue(HKeyCurrentUser, u"Software\\Tarnwick", u"DeadlineSwitch", *c.Switch);
        }
        EXPECT_EQ(ReadDeadline(registry), c.Expected);
        EXPECT_EQ(registry.OpenHandles(), 0u);
    }
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
