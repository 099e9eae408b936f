#pragma once
// The adapters that are kept: never switched and not counted for the state. They are named by patterns
// in the multi-string value Keep of the user's key and of the policy key that Group Policy writes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device/PhysicalDevice.h"
#include "platform/RegistryPlatform.h"

namespace tarnwick {

// "*" stands for any run of characters, "?" for one; the rest matches ignoring the case of the letters
// LowerCaseLetter knows (Latin, Greek, Cyrillic, Armenian). The whole text must match.
bool MatchesPattern(std::u16string_view Pattern, std::u16string_view Text) noexcept;

// The texts of a REG_MULTI_SZ value's bytes; empty texts are left out and an odd last byte is ignored.
std::vector<std::u16string> SplitMultiString(const std::vector<std::uint8_t>& Data);

class TKeepList {
public:
    TKeepList() = default;
    explicit TKeepList(std::vector<std::u16string> Patterns) : FPatterns(std::move(Patterns)) {}

    // A pattern matches the adapter's friendly name, description, hardware ID or instance ID.
    bool Keeps(const TPhysicalDevice& Adapter) const;
    const std::vector<std::u16string>& Patterns() const noexcept { return FPatterns; }

private:
    std::vector<std::u16string> FPatterns;
};

inline constexpr char16_t KeepValueName[] = u"Keep";
// Each list is read every time the state is shown: a longer one is cut (at a whole pattern, with a log
// line), so that a mistaken or hostile value cannot stall the tray. Thousands of patterns still fit.
inline constexpr std::size_t MaxKeepListBytes = 64 * 1024;
inline constexpr char16_t UserSettingsKey[] = u"Software\\Tarnwick";
inline constexpr char16_t PolicySettingsKey[] = u"Software\\Policies\\Tarnwick";

// Both lists together: the user's (HKCU) and the administrators' (HKLM policies). A value that cannot be
// read or is not a multi-string is ignored, with a line in the log; a missing one is no list; one longer
// than MaxKeepListBytes is used up to its last whole pattern within that size, with a line in the log.
TKeepList ReadKeepList(IRegistryPlatform& Registry);

} // namespace tarnwick
