#pragma once
// Where the program lets Windows look for the DLLs it loads after start.

namespace tarnwick::win32 {

// Restricts every later DLL load by name to the system folder, so that a DLL planted beside the program
// (in a Downloads folder, say) is never loaded into it, elevated or not. The DLLs the program imports are
// loaded before this runs and are not affected. Where the system lacks the call (Windows Vista, and 7
// without its update), the current folder at least is taken out of the search. True when the restriction
// to the system folder is in place.
bool RestrictDllSearchToSystemFolder() noexcept;

} // namespace tarnwick::win32
