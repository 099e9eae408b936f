#pragma once
// A device call's failure in words a person can read: the code in hexadecimal and its text.
//
// SetupAPI's own codes (0xE0000xxx) are not in the system's message table; Windows knows their words
// only under the HRESULT they map to (HRESULT_FROM_SETUPAPI), and where no text is found either way, our
// own table of the codes a switch can meet gives them. The configuration manager's codes (CONFIGRET)
// have no system text at all: they come from our table only.

#include <cstdint>
#include <string>

#include "platform/DevicePlatform.h"

namespace tarnwick {

// HRESULT_FROM_SETUPAPI: a SetupAPI code (both high bits set) as an HRESULT of FACILITY_SETUPAPI; any
// other code as HRESULT_FROM_WIN32.
std::uint32_t HResultFromSetupApi(std::uint32_t Code) noexcept;

// "Windows error 0xE0000231 (The device cannot be disabled)": the system's text, that of the mapped
// HRESULT, or our own; "unknown error" when none has words for the code.
std::u16string DeviceErrorText(IDevicePlatform& platform, std::uint32_t Code);

// "Configuration manager error: 0x0000000D (CR_NO_SUCH_DEVINST: the device is not present)".
std::u16string ConfigRetText(CONFIGRET Code);

} // namespace tarnwick
