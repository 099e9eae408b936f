#pragma once
// The commands a start answers by itself and then ends, with no tray instance and no elevation: the
// usage, a refused command line that is to end, "status", "list", and the removal of the autostart entry.

#include <optional>

#include "command/Command.h"
#include "platform/DevicePlatform.h"
#include "platform/RegistryPlatform.h"
#include "platform/WindowPlatform.h"
#include "support/ConsoleOutput.h"

namespace tarnwick {

// What the answers ask of the system.
struct TAnswerPlatforms {
    IDevicePlatform& Devices;
    IRegistryPlatform& Registry;
    IWindowPlatform& Windows;
    TConsoleOutput& Console;
};

// The exit code when Command was answered here; none when a tray instance is to carry it out.
std::optional<int> AnswerWithoutTray(const TCommand& Command, const TAnswerPlatforms& Platforms);

// A message for the person at the command line: onto the console when there is one, else in a box.
void Tell(const TAnswerPlatforms& Platforms, const std::u16string& Text, std::uint32_t BoxStyle);

} // namespace tarnwick
