// The tray icon's hover detector: reports of mouse moves over the icon start a 50 ms poll of the cursor,
// which tells the form once the cursor has rested on the reported spot.
#include "core/PlatformConstants.h"
#include "tray/gototray.h"

namespace tarnwick {

namespace {
constexpr std::uint32_t DetectionInterval = 50; // ms between two looks at the cursor
constexpr std::int64_t HoverAfterEnter = 1000;  // a hover this long reports even while the mouse moves
constexpr std::int64_t HoverAfterRest = 200;    // a cursor resting this long since the last report
constexpr std::int64_t LeaveAfter = 50;         // a moved cursor without reports for this long has left
} // namespace

// The 32-bit tick count widened without sign; differences are taken in signed 64-bit arithmetic, so a
// count that wrapped gives a negative difference, which counts as not elapsed.
std::int64_t TTunerTray::Now() {
    return static_cast<std::int64_t>(FApplication->Windows().GetTickCount());
}

void TTunerTray::MouseIsMovingOverTrayNow() {
    FLastMouseTime = Now();
    TPoint cursor{FLastMouseX, FLastMouseY};
    FApplication->Windows().GetCursorPos(cursor);
    FLastMouseX = cursor.X;
    FLastMouseY = cursor.Y;
    if (FMouseEnterTime == -1) {
        FMouseEnterTime = FLastMouseTime;
        StartMouseMovingDetection();
    }
}

void TTunerTray::ResetMouseIsMovingOverTrayDetector() {
    StopMouseMovingDetection();
}

void TTunerTray::StartMouseMovingDetection() {
    FMouseEnterTime = Now();
    // Made at the first report, not with the tray: a start that is never told of a move makes no timer
    // window.
    if (!FMouseMovingDetectionTimer) {
        FMouseMovingDetectionTimer = MakeComponent<TKtTimer>(*FApplication, FForm);
        // Disabled before the handler is stored, so that no platform timer starts before the interval is set.
        FMouseMovingDetectionTimer->SetEnabled(false);
        FMouseMovingDetectionTimer->SetOnTimer(
            [this](TComponent& Sender) { MouseMovingDetectionTimerTimer(Sender); });
    }
    FMouseMovingDetectionTimer->SetInterval(DetectionInterval);
    FMouseMovingDetectionTimer->SetEnabled(true);
}

void TTunerTray::StopMouseMovingDetection() {
    if (FMouseMovingDetectionTimer) {
        FMouseMovingDetectionTimer->SetEnabled(false);
    }
    FMouseEnterTime = -1;
}

void TTunerTray::MouseMovingDetectionTimerTimer(TComponent&) {
    TPoint cursor{FLastMouseX, FLastMouseY};
    FApplication->Windows().GetCursorPos(cursor);
    const std::int64_t now = Now();
    if (cursor.X == FLastMouseX && cursor.Y == FLastMouseY) {
        if (now - FMouseEnterTime > HoverAfterEnter || now - FLastMouseTime > HoverAfterRest) {
            PostMouseHoverMessage();
        }
    } else if (now - FLastMouseTime > LeaveAfter) {
        StopMouseMovingDetection();
    }
}

void TTunerTray::PostMouseHoverMessage() {
    FApplication->Windows().PostMessageW(FForm->Handle(), WM_TRAY_MOUSE_HOVER, 0, 0);
}

} // namespace tarnwick
