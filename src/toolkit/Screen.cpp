#include "toolkit/Screen.h"

#include <algorithm>
#include <stdexcept>

#include "core/PlatformConstants.h"

namespace tarnwick {

void TScreen::GetMonitors() {
    FMonitors = FWindows.EnumDisplayMonitors();
    FMonitorsListed = true;
}

std::int32_t TScreen::MonitorCount() {
    if (!FMonitorsListed) {
        GetMonitors();
    }
    return static_cast<std::int32_t>(FMonitors.size());
}

TMonitor TScreen::Describe(std::int32_t Index) {
    TMonitor monitor;
    monitor.Handle = FMonitors.at(static_cast<std::size_t>(Index));
    monitor.MonitorNum = Index;
    TMonitorInfo info;
    if (FWindows.GetMonitorInfoW(monitor.Handle, info)) {
        monitor.BoundsRect = info.rcMonitor;
        monitor.WorkareaRect = info.rcWork;
    }
    return monitor;
}

TMonitor TScreen::Monitors(std::int32_t Index) {
    if (Index < 0 || Index >= MonitorCount()) {
        throw std::out_of_range("monitor index");
    }
    return Describe(Index);
}

std::optional<TMonitor> TScreen::MonitorFromPoint(TPoint Point, std::uint32_t Default) {
    const HMONITOR_T handle = FWindows.MonitorFromPoint(Point, Default);
    if (handle == 0 && Default == MONITOR_DEFAULTTONULL) {
        return std::nullopt; // a point on no monitor, which listing the monitors again would not change
    }
    auto find = [&]() -> std::optional<TMonitor> {
        const auto it = std::find(FMonitors.begin(), FMonitors.end(), handle);
        if (handle == 0 || it == FMonitors.end()) {
            return std::nullopt;
        }
        return Describe(static_cast<std::int32_t>(it - FMonitors.begin()));
    };
    MonitorCount();
    if (auto found = find()) {
        return found;
    }
    GetMonitors(); // a monitor attached since the list was taken
    return find();
}

} // namespace tarnwick
