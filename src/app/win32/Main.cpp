// tarnwick.exe: makes the Win32 adapters behind every seam and runs the program over them.

#include <windows.h>

#include "app/ProgramEntry.h"
#include "platform/win32/Win32Console.h"
#include "platform/win32/Win32DevicePlatform.h"
#include "platform/win32/Win32DllSearch.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Gui.h"
#include "platform/win32/Win32Instance.h"
#include "platform/win32/Win32ProcessImage.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32ShellExecute.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32TaskScheduler.h"
#include "platform/win32/Win32VersionPlatform.h"
#include "platform/win32/Win32Windows.h"
#include "support/SystemInformationKt.h"
#include "toolkit/win32/Win32WindowFactory.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace tarnwick;
    using namespace tarnwick::win32;
    // Before anything else loads a DLL: the program runs elevated after every switch, and a DLL planted
    // beside it must not run with those rights. The imported DLLs (the device library among them) are
    // loaded already.
    RestrictDllSearchToSystemFolder();

    TWin32SystemPlatform system;
    TWin32FilePlatform files;
    TWin32RegistryPlatform registry;
    TWin32ShellExecutePlatform shellExecute;
    TWin32ShellPlatform shell;
    TWin32WindowPlatform windows;
    TWin32WindowFactory factory(instance);
    TWin32GuiPlatform gui(reinterpret_cast<std::uintptr_t>(instance));
    TWin32VersionPlatform version;
    TWin32DevicePlatform devices([&] { return IsWindows2000(system, version, registry); });
    TWin32ProcessImagePlatform processImage;
    TWin32ConsolePlatform console;
    TWin32InstancePlatform instanceObjects;
    TWin32ClockPlatform clock;
    TWin32TaskSchedulerPlatform scheduler;

    return RunProgram({system, files, registry, shellExecute, shell, windows, factory, gui, devices,
                       processImage, instanceObjects, clock, &console, &scheduler});
}
