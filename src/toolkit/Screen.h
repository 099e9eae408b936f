#pragma once
// The screen's monitors, as the toolkit lists them: each with its bounds and work area, read afresh
// whenever a monitor is handed out.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/WindowPlatform.h"

namespace tarnwick {

struct TMonitor {
    HMONITOR_T Handle = 0;
    std::int32_t MonitorNum = 0;
    TRect BoundsRect{};
    TRect WorkareaRect{};

    std::int32_t Left() const noexcept { return BoundsRect.Left; }
    std::int32_t Top() const noexcept { return BoundsRect.Top; }
    std::int32_t Width() const noexcept { return BoundsRect.Right - BoundsRect.Left; }
    std::int32_t Height() const noexcept { return BoundsRect.Bottom - BoundsRect.Top; }
};

class TScreen {
public:
    explicit TScreen(IWindowPlatform& Windows) : FWindows(Windows) {}

    std::int32_t MonitorCount();
    // The monitor at Index (0 to MonitorCount - 1).
    TMonitor Monitors(std::int32_t Index);
    // The platform's monitor for the point (MonitorFromPoint with Default), looked up in the list; the list
    // is taken afresh once when the monitor is not in it. None when it is still not found.
    std::optional<TMonitor> MonitorFromPoint(TPoint Point, std::uint32_t Default);

private:
    void GetMonitors();
    TMonitor Describe(std::int32_t Index);

    IWindowPlatform& FWindows;
    std::vector<HMONITOR_T> FMonitors;
    bool FMonitorsListed = false;
};

} // namespace tarnwick
