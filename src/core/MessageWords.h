#pragma once
// The two 16-bit halves of a window message's parameter, as the platform's LOWORD and HIWORD take them.

#include <cstdint>

namespace tarnwick {

constexpr std::uint16_t LowWord(std::uintptr_t Value) noexcept {
    return static_cast<std::uint16_t>(Value & 0xFFFF);
}

constexpr std::uint16_t HighWord(std::uintptr_t Value) noexcept {
    return static_cast<std::uint16_t>((Value >> 16) & 0xFFFF);
}

} // namespace tarnwick
