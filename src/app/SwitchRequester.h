#pragma once
// Who asked the main window for a switch: the log names it.

#include <cstdint>
#include <string>

namespace tarnwick {

enum class TSwitchRequester : std::uint8_t { Button, Menu, CommandLine, Deadline };
// "the button", "the menu", "the command line", "the deadline".
std::u16string RequesterText(TSwitchRequester Requester);

} // namespace tarnwick
