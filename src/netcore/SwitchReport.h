#pragma once
// The honest account of one switch: what became of every adapter, told to the user and to the log.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick {

enum class TAdapterOutcome : std::uint8_t {
    Switched, // the class installer carried out the change
    Failed,   // the system refused; Reason says why
    NotFound  // the adapter was gone by the time it was to be switched
};

struct TAdapterSwitchResult {
    std::u16string Name;    // its friendly name, or its description, or else its instance ID
    std::u16string PnPName; // its instance ID
    TAdapterOutcome Outcome = TAdapterOutcome::Switched;
    std::u16string Reason;         // the system's words for a failure; empty when switched cleanly
    std::uint32_t ErrorCode = 0;   // the system's code for a failure; 0 when none
    bool NeedsRestart = false;     // the change takes effect only after Windows restarts
    bool NowInWantedState = false; // read back from the adapters after the whole switch
};

struct TSwitchReport {
    bool TurnOn = false;                        // the wanted state: on (enabled) or off (disabled)
    std::vector<TAdapterSwitchResult> Adapters; // in the order they were switched

    // Every adapter took the change (also true when there was none).
    bool AllSucceeded() const noexcept;
    // Adapters that are now in the wanted state, as read back after the switch.
    std::size_t CountInWantedState() const noexcept;
    bool AnyNeedsRestart() const noexcept;
};

// "off" or "on".
std::u16string StateWord(bool TurnOn);
// "3 of 4 adapters are now off".
std::u16string CountText(const TSwitchReport& Report);
// One line per adapter that needs a restart, naming it; empty when none does.
std::u16string RestartText(const TSwitchReport& Report);
// The text of the box shown when not every adapter took the change: each failing adapter with the
// system's reason, the adapters that wait for a restart, and how many of how many are now off (or on).
std::u16string SwitchFailureText(const TSwitchReport& Report);
// The log line of one adapter's outcome.
std::u16string AdapterLogLine(const TAdapterSwitchResult& Adapter, bool TurnOn);

} // namespace tarnwick
