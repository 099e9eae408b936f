#include "tray/gototray.h"

#include <algorithm>

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "diag/EasyLog.h"

namespace tarnwick {

TTunerTray::TTunerTray(IShellPlatform& Shell, TApplication& App, TForm& AForm, std::u16string ATipString,
                       const TIcon& ASmallIcon)
    : FShell(Shell), FApplication(&App), FForm(&AForm), FTipString(std::move(ATipString)),
      FSmallIcon(&ASmallIcon) {}

TTunerTray::~TTunerTray() {
    FMouseMovingDetectionTimer.Reset();
    FAddRetryTimer.Reset();
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

bool TTunerTray::SendIconCommand(std::uint32_t Command) {
    NOTIFYICONDATAW data = NewIconRecord();
    if (Command == NIM_ADD || Command == NIM_MODIFY) {
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data.uCallbackMessage = WM_TRAY_CALLBACK;
        data.hIcon = FSmallIcon->Handle();
        FillTextField(data.szTip, FTipString);
    } else if (Command == NIM_SETVERSION) {
        data.uTimeout = NOTIFYICON_VERSION_4; // the field is uVersion for this command
    }
    return FShell.Shell_NotifyIconW(Command, data);
}

bool TTunerTray::CreateIcon() {
    // A shell that restarted has no icon of ours; one that announces a new taskbar without restarting
    // still has it and refuses a second add, which a change then shows.
    FIconAdded = SendIconCommand(NIM_ADD) || SendIconCommand(NIM_MODIFY);
    if (!FIconAdded) {
        if (!FAddRetryTimer) {
            FAddRetryTimer = MakeComponent<TKtTimer>(*FApplication, FForm);
            FAddRetryTimer->SetEnabled(false);
            FAddRetryTimer->SetInterval(IconAddRetryMilliseconds);
            FAddRetryTimer->SetOnTimer([this](TComponent&) { RetryAdd(); });
        }
        if (!FAddRetryTimer->Enabled()) {
            WriteToLog(u"The notification area refused the icon; it is tried again every " +
                       IntToText(IconAddRetryMilliseconds / 1000) + u" s");
            FAddRetriesLeft = IconAddRetries;
            FAddRetryTimer->SetEnabled(true);
        }
        return false;
    }
    if (FAddRetryTimer && FAddRetryTimer->Enabled()) {
        FAddRetryTimer->SetEnabled(false);
        WriteToLog(u"The icon is in the notification area now");
    }
    // Without version 4 the shell keeps sending the plain mouse messages, and the keyboard opens nothing.
    FVersion4 = SendIconCommand(NIM_SETVERSION);
    return true;
}

void TTunerTray::RetryAdd() {
    if (!FAddRetryTimer->Enabled()) {
        return; // a tick queued before the tries ended
    }
    if (CreateIcon()) {
        return;
    }
    if (--FAddRetriesLeft <= 0) {
        FAddRetryTimer->SetEnabled(false);
        WriteToLog(
            u"The notification area still refuses the icon; it is added when the taskbar is made again");
    }
}

void TTunerTray::ModifyIcon(const TIcon& ANewIcon) {
    FSmallIcon = &ANewIcon;
    if (!FIconAdded) {
        (void)CreateIcon();
        return;
    }
    // The shell's answer only tells whether the user sees the icon; nothing here depends on it.
    (void)SendIconCommand(NIM_MODIFY);
}

void TTunerTray::DeleteIcon() {
    (void)SendIconCommand(NIM_DELETE);
    FIconAdded = false;
}

void TTunerTray::ReturnFocus() {
    if (FIconAdded) {
        (void)SendIconCommand(NIM_SETFOCUS);
    }
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
    // Cleared first: a main form shown with the flag set brings the application window along.
    FApplication->SetShowMainForm(false);
    FForm->SetVisible(true);
    FApplication->Windows().ShowWindow(FForm->Handle(), SW_SHOW);
}

} // namespace tarnwick
