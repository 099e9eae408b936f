#pragma once
// TTunerTray: the program's single icon in the notification area on behalf of one form. It adds, changes
// and removes the icon (speaking the shell's version-4 protocol where the shell takes it), tries a refused
// add again, shows balloon notices over it, hands the keyboard focus back to the notification area, hides
// and shows the form, and tells the form when the cursor has come to rest over the icon.

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

// A refused add is tried again this often, this many times: at logon the shell may not be ready yet.
inline constexpr std::uint32_t IconAddRetryMilliseconds = 2000;
inline constexpr int IconAddRetries = 15;

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

    // Adds the icon and asks for the version-4 protocol; true when the icon is in the notification area.
    // An add the shell refuses is remembered and tried again a few times, and at the next add.
    bool CreateIcon();
    // ANewIcon is kept by reference: its owner keeps it alive. While the icon is missing, this adds it.
    void ModifyIcon(const TIcon& ANewIcon);
    void DeleteIcon();
    // Gives the keyboard focus back to the notification area (after a menu of the icon closed).
    void ReturnFocus();
    // Whether the icon is in the notification area, and whether its shell speaks version 4 (NIN_SELECT,
    // NIN_KEYSELECT, WM_CONTEXTMENU) rather than the plain mouse messages.
    bool IconAdded() const noexcept { return FIconAdded; }
    bool UsesVersion4() const noexcept { return FVersion4; }
    // Hides the application window and the main form.
    void HideForm();
    // Shows the form alone: the application window, which would bring a taskbar button, stays hidden.
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
    bool SendIconCommand(std::uint32_t Command);
    void RetryAdd();
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
    bool FIconAdded = false;
    bool FVersion4 = false;
    // Made when an add is first refused; counts the tries left.
    TOwned<TKtTimer> FAddRetryTimer;
    int FAddRetriesLeft = 0;
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
