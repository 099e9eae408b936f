#pragma once
// What assistive technology reads from a window through Active Accessibility: the platform's standard
// object for its client area with the role the toolkit gives it and the window's text as its name.

#include <windows.h>

#include "platform/win32/Win32ComApartment.h"

namespace tarnwick::win32 {

// Makes Window answer WM_GETOBJECT for OBJID_CLIENT so, by putting a window procedure of its own before the
// window's (undone when the window goes); called again, it only changes the role. The object is marshalled
// to the asking process in Com's apartment, entered when first asked. Com outlives the window.
bool AnswerAccessibleRole(HWND Window, DWORD Role, TComApartment& Com);

} // namespace tarnwick::win32
