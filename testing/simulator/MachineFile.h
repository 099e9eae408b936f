#pragma once
// The simulated machine as a small text file, so that several processes (a test driver, the program and
// its elevated copy, each with the test-double setupapi.dll) share one machine.
//
//   device PCI\VEN_8086&DEV_10D3\3&1        a device node, by instance ID; the lines below belong to it
//     class {4D36E972-E325-11CE-BFC1-08002BE10318}
//     parent ACPI\PNP0A08\0                  by instance ID, of a device listed earlier
//     status 0x200A                          DN_* bits
//     problem 22
//     disabled-global                        disabled for every hardware profile
//     disabled-profile                       disabled for the current hardware profile only
//     problem-behind-disable 28              the problem the device has again once enabled
//     phantom                                no device node
//     text 12 Intel(R) 82574L                a text property (SPDRP code, text)
//     multi 1 PCI\VEN_8086&DEV_10D3          one string of a multi-string property, in order
//     dword 15 0x80                          a 32-bit property
//     interface {53F56307-...} \\?\path      a device interface
//     bus 7                                  storage bus type
//     refuse 5                               the class installer refuses with this error code
//     installparams-fail 13                  reading the install parameters fails with this code
//     reboot                                 a change waits for a restart (DI_NEEDREBOOT)
//     restarts 1                             restarts received
//   fault CallClassInstaller 5 [instance ID] a call that fails with an error code
//
// Blank lines and lines starting with # are ignored. UTF-8.

#include <string>
#include <string_view>

#include "simulator/DeviceSimulator.h"

namespace tarnwick::sim {

// Adds the machine the text describes to the simulator. Throws std::runtime_error naming the line of a
// malformed entry.
void LoadMachine(TDeviceSimulator& simulator, std::string_view text);
std::string SaveMachine(const TDeviceSimulator& simulator);

const char* SimCallName(SimCall call);

} // namespace tarnwick::sim
