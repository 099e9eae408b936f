#include "deadline/Deadline.h"

#include <cstring>
#include <vector>

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "diag/EasyLog.h"
#include "support/RegistryKey.h"

namespace tarnwick {

namespace {

// USER_TIMER_MAXIMUM: the longest interval of a window-message timer.
constexpr std::uint32_t LongestTimerInterval = 0x7FFFFFFF;

// The one-value record's layout.
constexpr std::size_t RecordSize = 16;
constexpr std::size_t SwitchOffset = 8;
constexpr std::size_t MinutesOffset = 12;

const char16_t* const RecordPlace = u"HKEY_CURRENT_USER\\Software\\Tarnwick";

void LogIgnored(std::u16string_view Name, std::uint32_t Type, std::size_t Size) {
    WriteToLog(
        FormatText(u"The value %s under %s is not a deadline Tarnwick wrote (type %d, %d bytes); it is "
                   u"ignored",
                   {Name, std::u16string_view(RecordPlace), std::int64_t(Type), std::int64_t(Size)}));
}

template <class T> T Read(const std::vector<std::uint8_t>& Data, std::size_t Offset) {
    T value{};
    std::memcpy(&value, Data.data() + Offset, sizeof value);
    return value;
}

// The value Name when it is there: of exactly this type and size, or none with a log line.
std::optional<std::vector<std::uint8_t>> ReadExact(const TRegistryKey& Key, std::u16string_view Name,
                                                   std::uint32_t ExpectedType, std::size_t ExpectedSize,
                                                   bool& Present) {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    Present = Key.ReadValue(Name, type, data) != std::int32_t(ERROR_FILE_NOT_FOUND);
    if (!Present) {
        return std::nullopt;
    }
    if (type != ExpectedType || data.size() != ExpectedSize) {
        LogIgnored(Name, type, data.size());
        return std::nullopt;
    }
    return data;
}

std::optional<TDeadline> Checked(TDeadline Deadline, std::u16string_view Name) {
    if (static_cast<std::uint32_t>(Deadline.Switch) > static_cast<std::uint32_t>(TDeadlineSwitch::dsTurnOn) ||
        Deadline.Minutes < 0 || Deadline.Minutes > MaxLimitedMinutes) {
        WriteToLog(FormatText(u"The value %s under %s names no switch Tarnwick knows; it is ignored",
                              {Name, std::u16string_view(RecordPlace)}));
        return std::nullopt;
    }
    return Deadline;
}

// The two-value form of earlier versions.
std::optional<TDeadline> ReadTwoValueForm(const TRegistryKey& Key) {
    bool present = false;
    const auto time = ReadExact(Key, DeadlineTimeValue, REG_QWORD, 8, present);
    if (!time) {
        return std::nullopt;
    }
    TDeadline deadline{Read<std::uint64_t>(*time, 0), TDeadlineSwitch::dsTurnOff, 0};
    const auto kind = ReadExact(Key, DeadlineSwitchValue, REG_DWORD, 4, present);
    if (present) {
        if (!kind) {
            return std::nullopt;
        }
        deadline.Switch = TDeadlineSwitch(Read<std::uint32_t>(*kind, 0));
    }
    return Checked(deadline, DeadlineSwitchValue);
}

// The next look finds the record again and switches once more: the log says why.
void LogNotCleared() {
    WriteToLog(u"The end of the limited switch cannot be removed from the registry (" +
               std::u16string(RecordPlace) + u")");
}

// Removes a value; one that is not there counts as removed.
bool Removed(TRegistryKey& Key, IRegistryPlatform& Registry, const char16_t* Name) {
    const std::int32_t status = Registry.RegDeleteValueW(Key.Handle(), Name);
    return status == std::int32_t(ERROR_SUCCESS) || status == std::int32_t(ERROR_FILE_NOT_FOUND);
}

} // namespace

std::optional<TDeadline> ReadDeadline(IRegistryPlatform& Registry) {
    const auto key = TRegistryKey::Open(Registry, HKeyCurrentUser, DeadlineKeyPath, KEY_QUERY_VALUE);
    if (!key) {
        return std::nullopt;
    }
    bool present = false;
    const auto record = ReadExact(*key, DeadlineValue, REG_BINARY, RecordSize, present);
    if (present) {
        if (!record) {
            return std::nullopt;
        }
        return Checked({Read<std::uint64_t>(*record, 0),
                        TDeadlineSwitch(Read<std::uint32_t>(*record, SwitchOffset)),
                        Read<std::int32_t>(*record, MinutesOffset)},
                       DeadlineValue);
    }
    return ReadTwoValueForm(*key);
}

bool RecordDeadline(IRegistryPlatform& Registry, const TDeadline& Deadline) {
    auto key =
        TRegistryKey::Create(Registry, HKeyCurrentUser, DeadlineKeyPath, KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (!key) {
        return false;
    }
    std::uint8_t data[RecordSize] = {};
    std::memcpy(data, &Deadline.DueUtc, sizeof Deadline.DueUtc);
    const auto kind = static_cast<std::uint32_t>(Deadline.Switch);
    std::memcpy(data + SwitchOffset, &kind, sizeof kind);
    std::memcpy(data + MinutesOffset, &Deadline.Minutes, sizeof Deadline.Minutes);
    if (Registry.RegSetValueExW(key->Handle(), DeadlineValue, REG_BINARY, data, sizeof data) !=
        std::int32_t(ERROR_SUCCESS)) {
        return false;
    }
    // The one value is read before the two, so that a two-value record left behind is never read again.
    Removed(*key, Registry, DeadlineTimeValue);
    Removed(*key, Registry, DeadlineSwitchValue);
    return true;
}

bool ClearDeadline(IRegistryPlatform& Registry) {
    std::int32_t status = ERROR_SUCCESS;
    auto key = TRegistryKey::Open(Registry, HKeyCurrentUser, DeadlineKeyPath, KEY_SET_VALUE, &status);
    if (!key) {
        if (status != std::int32_t(ERROR_FILE_NOT_FOUND)) {
            LogNotCleared();
            return false;
        }
        return true;
    }
    // The time of the two-value form before its switch, so that nothing half-cleared names a turn-off.
    bool cleared = Removed(*key, Registry, DeadlineValue);
    cleared = Removed(*key, Registry, DeadlineTimeValue) && cleared;
    cleared = Removed(*key, Registry, DeadlineSwitchValue) && cleared;
    if (!cleared) {
        LogNotCleared();
    }
    return cleared;
}

TDeadline DeadlineAfter(TFileTime Now, std::int32_t Minutes, TDeadlineSwitch Switch) noexcept {
    return {Now + static_cast<TFileTime>(Minutes) * FileTimeTicksPerMinute, Switch, Minutes};
}

std::optional<TDeadline> BoundedDeadline(const TDeadline& Deadline, TFileTime Now) noexcept {
    const TFileTime latest = Now + static_cast<TFileTime>(MaxLimitedMinutes) * FileTimeTicksPerMinute;
    if (Deadline.DueUtc <= latest) {
        return std::nullopt;
    }
    TDeadline bounded = Deadline;
    bounded.DueUtc = latest;
    return bounded;
}

bool IsLate(const TDeadline& Deadline, TFileTime Now) noexcept {
    return Now > Deadline.DueUtc && Now - Deadline.DueUtc > LateDeadlineTicks;
}

std::uint32_t DeadlineTimerInterval(TFileTime Now, TFileTime DueUtc) noexcept {
    if (DueUtc <= Now) {
        return 0;
    }
    const TFileTime rest = DueUtc - Now;
    const TFileTime milliseconds =
        rest / FileTimeTicksPerMillisecond + (rest % FileTimeTicksPerMillisecond != 0);
    return milliseconds > LongestTimerInterval ? LongestTimerInterval
                                               : static_cast<std::uint32_t>(milliseconds);
}

} // namespace tarnwick
