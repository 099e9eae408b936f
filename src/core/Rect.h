#pragma once
// A rectangle of screen coordinates, laid out as the platform's RECT.

#include <cstdint>

namespace tarnwick {

struct TRect {
    std::int32_t Left;
    std::int32_t Top;
    std::int32_t Right;
    std::int32_t Bottom;

    friend bool operator==(const TRect&, const TRect&) = default;
};
static_assert(sizeof(TRect) == 16);

} // namespace tarnwick
