#pragma once
// An icon image as the toolkit hands it around: the platform's icon handle.

#include "platform/WindowPlatform.h"

namespace tarnwick {

class TIcon {
public:
    TIcon() noexcept = default;
    explicit TIcon(HICON_T AHandle) noexcept : FHandle(AHandle) {}
    HICON_T Handle() const noexcept { return FHandle; }

private:
    HICON_T FHandle = 0;
};

} // namespace tarnwick
