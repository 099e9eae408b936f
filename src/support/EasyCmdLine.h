#pragma once
// Switches among the program's arguments: "/name" or "-name", followed by the words that are its values.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SystemPlatform.h"

namespace tarnwick {

using TArguments = std::vector<std::u16string>;

// Splits a command line the way the runtime does: at blanks and control characters, double quotes group
// blanks and are removed, a stand-alone pair of quotes gives no argument. The list ends before the first
// argument that would be empty, so none is. Element 0 is the program.
TArguments SplitCommandLine(std::u16string_view CommandLine);
// The arguments of this process.
TArguments ProcessArguments(ISystemPlatform& System);

// A non-empty argument that starts with "/" or "-", other than a negative number ("-5" is a value, so
// that "turnoff -5" is refused for its minutes, not as an unknown switch).
bool IsSwitchLike(std::u16string_view Argument) noexcept;

// Looks for the first "/Name" or "-Name" (ASCII case ignored, whole argument) among Arguments[1..] and
// appends the arguments after it, up to the next switch-like one, to Values. True when it is present.
bool GetSwitchValues(std::span<const std::u16string> Arguments, std::u16string_view Name,
                     std::vector<std::u16string>& Values);
bool SwitchPresent(std::span<const std::u16string> Arguments, std::u16string_view Name);

// The same over the process's own command line.
bool GetSwitchValues(ISystemPlatform& System, std::u16string_view Name, std::vector<std::u16string>& Values);
bool SwitchPresent(ISystemPlatform& System, std::u16string_view Name);

} // namespace tarnwick
