#pragma once
// Window helpers around the notification area: placing a form beside it, topmost without activation,
// the button shield, and the application's taskbar tab (through the shell's taskbar list, made when first
// needed on Windows 7).

#include <cstdint>

#include "platform/ShellPlatform.h"
#include "platform/WindowPlatform.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "tray/TaskBarInfo.h"

namespace tarnwick {

// Unit shut-down: releases the taskbar-list object, if one was made.
void FinalizeGUIUtils() noexcept;
// The unit's taskbar-list object, or none while none was needed.
ITaskbarListObject* TaskbarList() noexcept;

// Moves the form into the corner beside the notification area, on whichever edge the taskbar sits;
// on a bottom taskbar, centred on the cursor when CenterOnCursor is set and the form still fits on the
// right. Nothing happens without a form, or when no taskbar window or monitor is found.
void PositionFormToTray(IShellPlatform& Shell, TForm* Form, bool CenterOnCursor);

// Makes the window topmost where it stands, without activating it.
void SetWindowTopMost(IWindowPlatform& Windows, HWND_T Wnd);
void SetFormTopMost(TForm& Form);

// Takes the elevation shield off a button.
void RemoveButtonShield(IWindowPlatform& Windows, HWND_T ButtonWnd);

// On version code 7 or more, removes the application window's button from the taskbar. The shell's
// taskbar-list object is made the first time a button is there to remove; raises an EOSError carrying the
// COM result when it cannot be made.
void DeleteApplicationTaskBarTab(TApplication& Application, IShellPlatform& Shell,
                                 std::uint8_t WindowsVersionCode);

} // namespace tarnwick
