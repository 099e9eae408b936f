#pragma once
// Constants of the Windows platform that the portable logic uses, declared once from the list in
// core/PlatformConstantList.h; the Win32 build checks each against the SDK
// (platform/win32/ConstantChecks.cpp). Include it only in portable code: <windows.h> defines the same
// names as macros.

#include <cstdint>

namespace tarnwick {

#define TARNWICK_PLATFORM_CONSTANT(type, name, value) inline constexpr type name = value
#include "core/PlatformConstantList.h"
#undef TARNWICK_PLATFORM_CONSTANT

// The system's hand cursor: the number behind IDC_HAND (a resource-name pointer in the SDK, so it is not
// checked with the others; the Wine test of the toolkit's adapter loads it).
inline constexpr std::uint16_t IdcHandCursor = 32649;

} // namespace tarnwick
