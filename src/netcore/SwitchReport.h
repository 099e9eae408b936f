#pragma once
// The honest account of one switch: what became of every adapter, told to the user and to the log.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

enum class TAdapterOutcome : std::uint8_t {
    Switched,       // read back in the wanted state
    Failed,         // not in the wanted state; Reason says why
    RestartPending, // Windows took the change, which takes effect only once Windows restarts
    Removed         // turned off: it is no longer present, gone with the device it belongs to
};

struct TAdapterSwitchResult {
    std::u16string Name;    // its friendly name, or its description, or else its instance ID
    std::u16string PnPName; // its instance ID
    TAdapterOutcome Outcome = TAdapterOutcome::Switched;
    std::u16string Reason;         // why it failed; a note when it did not (empty when there is none)
    std::uint32_t ErrorCode = 0;   // the system's code for a failure; 0 when none
    bool NeedsRestart = false;     // the install parameters asked for a restart of Windows
    bool NowInWantedState = false; // read back from the adapters after the whole switch
};

struct TSwitchReport {
    bool TurnOn = false;                        // the wanted state: on (enabled) or off (disabled)
    std::vector<TAdapterSwitchResult> Adapters; // in the order they were switched
    std::vector<std::u16string> Left; // shown and not kept, but Windows does not let them be disabled

    // No adapter failed: each is in the wanted state or waits for a restart (also true when there was none).
    bool AllSucceeded() const noexcept;
    // Adapters that are now in the wanted state, as read back after the switch.
    std::size_t CountInWantedState() const noexcept;
    // An adapter takes the change only once Windows restarts.
    bool AnyNeedsRestart() const noexcept;
    // There was no adapter to switch.
    bool NothingToSwitch() const noexcept { return Adapters.empty(); }
};

// "off" or "on".
std::u16string StateWord(bool TurnOn);
// "3 of 4 adapters are now off".
std::u16string CountText(const TSwitchReport& Report);
// Why a switch found nothing to switch: no adapter is shown, every one is kept, or Windows lets none be
// disabled.
std::u16string NoAdapterText(const TSwitchReport& Report);
// One line per adapter that waits for a restart, naming it; empty when none does.
std::u16string RestartText(const TSwitchReport& Report);
// The text of the box shown when not every adapter took the change: each failing adapter with the
// system's reason, the adapters that wait for a restart, and how many of how many are now off (or on).
std::u16string SwitchFailureText(const TSwitchReport& Report);
// The log line of one adapter's outcome.
std::u16string AdapterLogLine(const TAdapterSwitchResult& Adapter, bool TurnOn);
// The log line of an adapter left as it is because Windows does not let it be disabled.
std::u16string LeftLogLine(std::u16string_view Name, std::u16string_view PnPName);

} // namespace tarnwick
