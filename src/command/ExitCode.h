#pragma once
// The codes the process ends with, what each means (the usage lists them from here), and how a switch of
// the main window ended, with the code that gives. Kept apart from the main window so that the command
// line's reader stands on its own.

#include <cstdint>

namespace tarnwick {

// What the process tells its caller when it ends; every start that ends by itself ends with one of these.
enum TExitCode : int {
    ecDone = 0,                // done; for "status": the internet is on
    ecInternetOff = 1,         // "status": the internet is off
    ecNotEnded = 1,            // "-quit": the running instance of this file could not be ended
    ecBadArguments = 2,        // unknown switch or action, unreadable or out-of-range minutes
    ecElevationDeclined = 3,   // the user declined the elevation prompt
    ecAdapterFailed = 4,       // one or more adapters could not be switched
    ecInstanceUnreachable = 5, // Tarnwick runs already but did not take the command line
    ecRestartPending = 6,      // every adapter took the change, one or more only once Windows restarts
    ecNoAdapter = 7,           // no network adapter to switch or to tell the state of
    ecAdapterListFailed = 8,   // the network adapters could not be listed
};

struct TExitCodeMeaning {
    TExitCode Code;
    const char16_t* Meaning;
};

inline constexpr TExitCodeMeaning ExitCodeMeanings[] = {
    {ecDone, u"done; with status: the internet is on"},
    {ecInternetOff, u"with status: the internet is off; with -quit: Tarnwick could not be ended"},
    {ecBadArguments, u"the command line is wrong"},
    {ecElevationDeclined, u"the elevation prompt was declined"},
    {ecAdapterFailed, u"one or more adapters could not be switched"},
    {ecInstanceUnreachable, u"the running Tarnwick did not answer"},
    {ecRestartPending, u"switched; one or more adapters only once Windows restarts"},
    {ecNoAdapter, u"no network adapter to switch"},
    {ecAdapterListFailed, u"the network adapters could not be listed"},
};

// How a switch of the main window ended.
enum class TSwitchResultKind : std::uint8_t {
    Switched,             // every adapter took the change; the balloon was shown
    PartlyFailed,         // at least one adapter refused; the box named it
    HandedToElevatedCopy, // an elevated copy of the program does the switch; this one ends
    ElevationDeclined,    // the user declined the elevation prompt; nothing was switched
    RestartPending,       // no adapter refused, but one or more take the change once Windows restarts
    NoAdapter             // there was no adapter to switch; the box said so
};

// The exit code of a switch: done (or handed to the elevated copy), the prompt declined, an adapter
// refused, a restart awaited, no adapter to switch.
constexpr int ExitCodeOf(TSwitchResultKind Kind) noexcept {
    switch (Kind) {
    case TSwitchResultKind::PartlyFailed:
        return ecAdapterFailed;
    case TSwitchResultKind::ElevationDeclined:
        return ecElevationDeclined;
    case TSwitchResultKind::RestartPending:
        return ecRestartPending;
    case TSwitchResultKind::NoAdapter:
        return ecNoAdapter;
    case TSwitchResultKind::Switched:
    case TSwitchResultKind::HandedToElevatedCopy:
        break;
    }
    return ecDone;
}

} // namespace tarnwick
