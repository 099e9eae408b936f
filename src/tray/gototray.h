#pragma once
// TTunerTray: the program's single icon in the notification area on behalf of one form. It adds, changes
// and removes the icon, shows balloon notices over it, hides and restores the application's windows, and
// tells the form when the cursor has come to rest over the icon.

#include <cstdint>
#include <string>

#include "platform/ShellPlatform.h"
#include "toolkit/Application.h"
#include "toolkit/Component.h"
#include "toolkit/Form.h"
#include "toolkit/Icon.h"
#include "tray/KtTimer.h"

namespace tarnwick {

// Private messages of the form's window class.
inline constexpr std::uint32_t WM_TRAY_CALLBACK = 0x1135;    // the shell's callback for the icon
inline constexpr std::uint32_t WM_TRAY_MOUSE_HOVER = 0x1137; // posted by the hover detector

enum TBalloonIconType : std::uint8_t { bitNone, bitInfo, bitWarning, bitError };

// Whole seconds, 0 to 60.
using TBalloonTimeout = std::uint8_t;
inline constexpr TBalloonTimeout MaxBalloonTimeout = 60;

class TTunerTray {
public:
    // Stores the values; adds no icon, and makes no detection timer until the first report of a move.
    TTunerTray(IShellPlatform& Shell, TApplication& App, TForm& AForm, std::u16string ATipString,
               const TIcon& ASmallIcon);
    // Frees the detection timer (when made), then removes the icon (whether or not it is still there).
    ~TTunerTray();
    TTunerTray(const TTunerTray&) = delete;
    TTunerTray& operator=(const TTunerTray&) = delete;

    void CreateIcon();
    // ANewIcon is kept by reference: its owner keeps it alive.
    void ModifyIcon(const TIcon& ANewIcon);
    void DeleteIcon();
    void HideForm();
    void ShowForm();
    // True when the shell took the balloon (false, for example, before the icon has been added).
    bool ShowBalloonTrayIcon(TBalloonTimeout Timeout, const std::u16string& BalloonText,
                             const std::u16string& BalloonTitle, TBalloonIconType BalloonIconType);

    // The owner reports a mouse move over the icon.
    void MouseIsMovingOverTrayNow();
    void ResetMouseIsMovingOverTrayDetector();

    // Plain stores: a new tip reaches the shell with the next add or modify.
    TForm& Form() const noexcept { return *FForm; }
    void SetForm(TForm& Value) noexcept { FForm = &Value; }
    const std::u16string& TipString() const noexcept { return FTipString; }
    void SetTipString(std::u16string Value) { FTipString = std::move(Value); }
    TApplication& Application() const noexcept { return *FApplication; }
    void SetApplication(TApplication& Value) noexcept { FApplication = &Value; }

    // Whether the detector is polling.
    bool MouseMovingDetectionRunning() const noexcept { return FMouseEnterTime != -1; }

private:
    void SendIconCommand(std::uint32_t Command);
    NOTIFYICONDATAW NewIconRecord();
    std::int64_t Now();
    void MouseMovingDetectionTimerTimer(TComponent& Sender);
    void StartMouseMovingDetection();
    void StopMouseMovingDetection();
    void PostMouseHoverMessage();

    IShellPlatform& FShell;
    std::int32_t FIconUid = 0;
    TApplication* FApplication;
    TForm* FForm;
    std::u16string FTipString;
    const TIcon* FSmallIcon;
    std::int32_t FLastMouseX = 0;
    std::int32_t FLastMouseY = 0;
    std::int64_t FLastMouseTime = 0;
    std::int64_t FMouseEnterTime = -1;
    TOwned<TKtTimer> FMouseMovingDetectionTimer;
};

// Fills a fixed text field of a platform record: the text cut to the field's capacity (never between the
// two halves of a surrogate pair) and zero-terminated.
template <std::size_t N> void FillTextField(char16_t (&Field)[N], std::u16string_view Text) {
    std::size_t count = Text.size() < N - 1 ? Text.size() : N - 1;
    if (count < Text.size() && count > 0 && Text[count - 1] >= 0xD800 && Text[count - 1] <= 0xDBFF) {
        --count;
    }
    Text.copy(Field, count);
    Field[count] = u'\0';
}

} // namespace tarnwick
