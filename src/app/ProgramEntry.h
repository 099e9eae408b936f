#pragma once
// The program's run from start to end: the units' start-ups in their order, the application titled
// "Tarnwick" with the main window, the message loop, and the shut-downs in the reverse order.

#include "platform/ClockPlatform.h"
#include "platform/ConsolePlatform.h"
#include "platform/DevicePlatform.h"
#include "platform/FilePlatform.h"
#include "platform/GuiPlatform.h"
#include "platform/InstancePlatform.h"
#include "platform/ProcessImagePlatform.h"
#include "platform/RegistryPlatform.h"
#include "platform/ShellExecutePlatform.h"
#include "platform/ShellPlatform.h"
#include "platform/SystemPlatform.h"
#include "platform/TaskSchedulerPlatform.h"
#include "platform/WindowPlatform.h"
#include "toolkit/WindowFactory.h"

namespace tarnwick {

// Everything the program asks of the system; all of it outlives the run.
struct TProgramPlatforms {
    ISystemPlatform& System;
    IFilePlatform& Files;
    IRegistryPlatform& Registry;
    IShellExecutePlatform& ShellExecute;
    IShellPlatform& Shell;
    IWindowPlatform& Windows;
    IWindowFactory& WindowFactory;
    IGuiPlatform& Gui;
    IDevicePlatform& Devices;
    IProcessImagePlatform& ProcessImage;
    IInstancePlatform& Instance;
    IClockPlatform& Clock;
    // For the answers on the command line; none: they are shown in message boxes.
    IConsolePlatform* Console = nullptr;
    // Where the ends of limited switches are handed; none: they come only while Tarnwick runs.
    ITaskSchedulerPlatform* Scheduler = nullptr;
};

inline constexpr char16_t ApplicationTitle[] = u"Tarnwick";

// The units' start-ups, in order, from construction; their shut-downs, in the reverse order, when it goes.
// A start-up that fails leaves the ones before it to be shut down.
class TUnitStartups {
public:
    explicit TUnitStartups(const TProgramPlatforms& Platforms);
    ~TUnitStartups();
    TUnitStartups(const TUnitStartups&) = delete;
    TUnitStartups& operator=(const TUnitStartups&) = delete;

private:
    // The start-ups done so far, in their order: each stage includes the ones before it.
    enum class TStage { None, Log, DebugInformation };

    void Shutdown() noexcept;
    TStage FStarted = TStage::None;
};

// Runs the program; the process's exit code. A command that needs no tray instance (help, status, list,
// ...) is answered and ends the program with its code. Otherwise the first start in a user session
// becomes the instance in the notification area, and its main window runs until the program ends, with
// the code of its command-line action; a later start hands its command line to the instance and ends with
// the result it replies. A failed start-up is shown in a message box titled "Tarnwick" and ends the
// program with 1.
int RunProgram(const TProgramPlatforms& Platforms);

} // namespace tarnwick
