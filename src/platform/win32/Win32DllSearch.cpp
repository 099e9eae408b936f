#include "platform/win32/Win32DllSearch.h"

#include <windows.h>

namespace tarnwick::win32 {

bool RestrictDllSearchToSystemFolder() noexcept {
    // Looked up, not imported: a static import would keep the program from starting where it is missing.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    const auto setDefaultDllDirectories =
        kernel32 ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                       reinterpret_cast<void*>(::GetProcAddress(kernel32, "SetDefaultDllDirectories")))
                 : nullptr;
    if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return true;
    }
    ::SetDllDirectoryW(L"");
    return false;
}

} // namespace tarnwick::win32
