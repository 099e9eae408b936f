// plant.dll lies beside this probe, as a planted DLL would lie beside the program in a Downloads folder.
// Loaded by its bare name it is found there, until the program's restriction of the DLL search to the
// system folder is in place; the system's own DLLs load as before.

#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/Win32DllSearch.h"

namespace tarnwick::win32 {
namespace {

bool Loads(const wchar_t* name, DWORD* error = nullptr) {
    ::SetLastError(0xDEADBEEF);
    const HMODULE module = ::LoadLibraryW(name);
    if (error) {
        *error = ::GetLastError();
    }
    if (module == nullptr) {
        return false;
    }
    ::FreeLibrary(module);
    return true;
}

// One test: the restriction holds for the whole process from the moment it is made.
TEST(DllSearch, APlantedDllBesideTheProgramIsRefusedOnceTheSearchIsRestricted) {
    ASSERT_TRUE(Loads(L"plant.dll")) << "the planted DLL is found beside the program before";
    ASSERT_EQ(::GetModuleHandleW(L"plant.dll"), nullptr) << "and unloaded again";

    EXPECT_TRUE(RestrictDllSearchToSystemFolder());

    DWORD error = 0;
    EXPECT_FALSE(Loads(L"plant.dll", &error)) << "the planted DLL is loaded after the restriction";
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_TRUE(Loads(L"version.dll")) << "a system DLL still loads";
}

} // namespace
} // namespace tarnwick::win32
