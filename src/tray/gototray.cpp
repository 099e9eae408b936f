#include "tray/gototray.h"

#include <algorithm>

#include "core/PlatformConstants.h"

namespace tarnwick {

TTunerTray::TTunerTray(IShellPlatform& Shell, TApplication& App, TForm& AForm, std::u16string ATipString,
                       const TIcon& ASmallIcon)
    : FShell(Shell), FApplication(&App), FForm(&AForm), FTipString(std::move(ATipString)),
      FSmallIcon(&ASmallIcon) {}

TTunerTray::~TTunerTray() {
    FMouseMovingDetectionTimer.Reset();
    try {
        DeleteIcon();
    } catch (...) {
        // The form's window could not be made; there is no icon of it to remove.
    }
}

NOTIFYICONDATAW TTunerTray::NewIconRecord() {
    NOTIFYICONDATAW data;
    data.cbSize = NotifyIconDataV2Size;
    data.hWnd = FForm->Handle();
    data.uID = static_cast<std::uint32_t>(FIconUid);
    return data;
}

void TTunerTray::SendIconCommand(std::uint32_t Command) {
    NOTIFYICONDATAW data = NewIconRecord();
    if (Command == NIM_ADD || Command == NIM_MODIFY) {
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data.uCallbackMessage = WM_TRAY_CALLBACK;
        data.hIcon = FSmallIcon->Handle();
        FillTextField(data.szTip, FTipString);
    }
    // The shell's answer only tells whether the user sees the icon; nothing here depends on it.
    (void)FShell.Shell_NotifyIconW(Command, data);
}

void TTunerTray::CreateIcon() {
    SendIconCommand(NIM_ADD);
}

void TTunerTray::ModifyIcon(const TIcon& ANewIcon) {
    FSmallIcon = &ANewIcon;
    SendIconCommand(NIM_MODIFY);
}

void TTunerTray::DeleteIcon() {
    SendIconCommand(NIM_DELETE);
}

bool TTunerTray::ShowBalloonTrayIcon(TBalloonTimeout Timeout, const std::u16string& BalloonText,
                                     const std::u16string& BalloonTitle, TBalloonIconType BalloonIconType) {
    static constexpr std::uint32_t BalloonFlags[] = {NIIF_NONE, NIIF_INFO, NIIF_WARNING, NIIF_ERROR};
    NOTIFYICONDATAW data = NewIconRecord();
    data.uFlags = NIF_INFO;
    FillTextField(data.szInfo, BalloonText);
    data.uTimeout = std::uint32_t(std::min(Timeout, MaxBalloonTimeout)) * 1000;
    FillTextField(data.szInfoTitle, BalloonTitle);
    data.dwInfoFlags = BalloonIconType <= bitError ? BalloonFlags[BalloonIconType] : NIIF_NONE;
    return FShell.Shell_NotifyIconW(NIM_MODIFY, data);
}

void TTunerTray::HideForm() {
    IWindowPlatform& windows = FApplication->Windows();
    FApplication->SetShowMainForm(false);
    windows.ShowWindow(FApplication->Handle(), SW_HIDE); // takes the taskbar button away too
    if (TForm* mainForm = FApplication->MainForm()) {
        windows.ShowWindow(mainForm->Handle(), SW_HIDE);
    }
}

void TTunerTray::ShowForm() {
    IWindowPlatform& windows = FApplication->Windows();
    FApplication->SetShowMainForm(true);
    // A form shown now runs its on-show handling, which may hide the windows again; the restores undo it.
    FForm->SetVisible(true);
    windows.ShowWindow(FApplication->Handle(), SW_RESTORE);
    if (TForm* mainForm = FApplication->MainForm()) {
        windows.ShowWindow(mainForm->Handle(), SW_RESTORE);
    }
}

} // namespace tarnwick
