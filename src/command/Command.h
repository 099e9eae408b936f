#pragma once
// The command line read into one command (the action, its minutes and the switches that go with it), the
// rules it is read by, the usage text made from those rules, and the exit codes the program ends with.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "command/ExitCode.h"
#include "deadline/Deadline.h"

namespace tarnwick {

// The longest limited turn-on or pause is MaxLimitedMinutes (deadline/Deadline.h).

enum class TActionVerb { avNone, avTurnOff, avTurnOn, avStatus, avList, avDeadline };

struct TCommand {
    TActionVerb Action = TActionVerb::avNone;
    // "turnon": 0 for good. "turnoff": 0 for good, otherwise the minutes until the internet is on again.
    std::int32_t Minutes = 0;
    bool Help = false;
    bool Version = false;
    bool Exit = false;
    bool Elevation = false;
    bool SubscribeOnStartup = false;
    bool UnsubscribeOnStartup = false;
    bool Uninstall = false;
    // Ends the instance when it runs from this very program file (what an installer needs before it
    // replaces or removes the file), and this start with it.
    bool Quit = false;
    // Not empty: the command line is refused, and this says why.
    std::u16string Error;

    bool Refused() const noexcept { return !Error.empty(); }
    // Answered by the starting process itself, with no tray instance and no elevation (the removal of the
    // autostart entry before a switching action too). A refused command line always is: a script that
    // mistyped must get its exit code, not a tray instance that waits.
    bool AnsweredWithoutTray() const noexcept {
        return Help || Version || Refused() || UnsubscribeOnStartup || Uninstall ||
               Action == TActionVerb::avStatus || Action == TActionVerb::avList;
    }
};

// Compares an action word with a verb of the table, ignoring case.
using TSameText = std::function<bool(const std::u16string& Word, const std::u16string& Verb)>;

// Reads Arguments[1..] (element 0 is the program). Switches start with "/", "-" or "--" and match their name
// ignoring ASCII case; "action" takes a verb and, for "turnon" and "turnoff", an optional number of
// minutes; the other switches take no value. A repeated switch counts once, except a second "action".
// Anything else (an unknown switch or verb, a stray word, unreadable or out-of-range minutes) fills Error.
TCommand ParseCommand(std::span<const std::u16string> Arguments, const TSameText& SameText);

// The usage: every switch and action with one line each, and the exit codes.
std::u16string UsageText();
// "Tarnwick 1.1.0": what -version prints.
std::u16string VersionText();

// Whether Minutes fit a limited turn-on or a pause.
constexpr bool MinutesInRange(std::int64_t Minutes) noexcept {
    return Minutes >= 0 && Minutes <= MaxLimitedMinutes;
}
// Why Minutes (as given) are refused for the turn-on (TurnOn) or the pause.
std::u16string MinutesOutOfRangeText(bool TurnOn, std::u16string_view Minutes);

// The parameters of the elevated copy that carries out Command's switch: "-elevation -action VERB [N]",
// and "-exit" when the command is to end.
std::u16string ElevatedCopyParameters(const TCommand& Command);

} // namespace tarnwick
