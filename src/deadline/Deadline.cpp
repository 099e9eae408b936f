#include "deadline/Deadline.h"

#include <cstring>

#include "core/PlatformConstants.h"
#include "support/RegistryKey.h"

namespace tarnwick {

namespace {

// USER_TIMER_MAXIMUM: the longest interval of a window-message timer.
constexpr std::uint32_t LongestTimerInterval = 0x7FFFFFFF;

// A value of exactly this type and size, or none.
template <class T>
std::optional<T> ReadFixed(IRegistryPlatform& Registry, RegKey Key, const char16_t* Name,
                           std::uint32_t ExpectedType) {
    std::uint8_t data[sizeof(T) + 8] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof data;
    if (Registry.RegQueryValueExW(Key, Name, &type, data, &size) != std::int32_t(ERROR_SUCCESS) ||
        type != ExpectedType || size != sizeof(T)) {
        return std::nullopt;
    }
    T value{};
    std::memcpy(&value, data, sizeof value);
    return value;
}

template <class T>
bool WriteFixed(IRegistryPlatform& Registry, RegKey Key, const char16_t* Name, std::uint32_t Type, T Value) {
    std::uint8_t data[sizeof Value];
    std::memcpy(data, &Value, sizeof Value);
    return Registry.RegSetValueExW(Key, Name, Type, data, sizeof data) == std::int32_t(ERROR_SUCCESS);
}

} // namespace

std::optional<TDeadline> ReadDeadline(IRegistryPlatform& Registry) {
    const auto key = TRegistryKey::Open(Registry, HKeyCurrentUser, DeadlineKeyPath, KEY_QUERY_VALUE);
    if (!key) {
        return std::nullopt;
    }
    const auto due = ReadFixed<std::uint64_t>(Registry, key->Handle(), DeadlineTimeValue, REG_QWORD);
    if (!due) {
        return std::nullopt;
    }
    TDeadline deadline{*due, TDeadlineSwitch::dsTurnOff};
    std::uint32_t type = 0;
    if (Registry.RegQueryValueExW(key->Handle(), DeadlineSwitchValue, &type, nullptr, nullptr) ==
        std::int32_t(ERROR_SUCCESS)) {
        const auto kind = ReadFixed<std::uint32_t>(Registry, key->Handle(), DeadlineSwitchValue, REG_DWORD);
        if (!kind || *kind > std::uint32_t(TDeadlineSwitch::dsTurnOn)) {
            return std::nullopt;
        }
        deadline.Switch = TDeadlineSwitch(*kind);
    }
    return deadline;
}

bool RecordDeadline(IRegistryPlatform& Registry, const TDeadline& Deadline) {
    auto key =
        TRegistryKey::Create(Registry, HKeyCurrentUser, DeadlineKeyPath, KEY_QUERY_VALUE | KEY_SET_VALUE);
    return key &&
           WriteFixed(Registry, key->Handle(), DeadlineSwitchValue, REG_DWORD,
                      static_cast<std::uint32_t>(Deadline.Switch)) &&
           WriteFixed(Registry, key->Handle(), DeadlineTimeValue, REG_QWORD, Deadline.DueUtc);
}

void ClearDeadline(IRegistryPlatform& Registry) {
    if (auto key = TRegistryKey::Open(Registry, HKeyCurrentUser, DeadlineKeyPath, KEY_SET_VALUE)) {
        key->DeleteValue(DeadlineTimeValue);
        key->DeleteValue(DeadlineSwitchValue);
    }
}

TDeadline DeadlineAfter(TFileTime Now, std::int32_t Minutes, TDeadlineSwitch Switch) noexcept {
    return {Now + static_cast<TFileTime>(Minutes) * FileTimeTicksPerMinute, Switch};
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
