#pragma once
// The application object: its title (the caption of every message box), its icon, the hidden application
// window that carries the program's taskbar button, the main form with the flag that lets the toolkit show
// it, the screen, the message loop, and the central error handling that every window handler's exception
// ends in.

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/GuiPlatform.h"
#include "platform/WindowPlatform.h"
#include "toolkit/ApplicationIcon.h"
#include "toolkit/Component.h"
#include "toolkit/Graphics.h"
#include "toolkit/Icon.h"
#include "toolkit/Screen.h"
#include "toolkit/WindowFactory.h"

namespace tarnwick {

class TForm;

inline constexpr char16_t ApplicationWindowClassName[] = u"TarnwickApplication";

class TApplication : public TComponent {
public:
    // Creates the application window (hidden until it is shown).
    TApplication(IWindowPlatform& Windows, IWindowFactory& Factory, IGuiPlatform& Gui);
    // With its title from the start: the window is made with it as its caption, which spares the display a
    // second change of the window.
    TApplication(IWindowPlatform& Windows, IWindowFactory& Factory, IGuiPlatform& Gui, std::u16string Title);
    ~TApplication() override;

    IWindowPlatform& Windows() const noexcept { return FWindows; }
    IWindowFactory& WindowFactory() const noexcept { return FFactory; }
    IGuiPlatform& Gui() const noexcept { return FGui; }
    TScreen& Screen() noexcept { return FScreen; }

    // The application window.
    HWND_T Handle() const noexcept { return FHandle; }

    const std::u16string& Title() const noexcept { return FTitle; }
    // Also the application window's caption, which its taskbar button shows.
    void SetTitle(std::u16string Value);

    // The program's icon "MAINICON" (none when the module has no such icon). Only windows shown to a person
    // show it, so it is loaded when the first of them is given it (GiveIcons): none before.
    const TIcon& Icon() const noexcept { return FIcon; }
    // The same icon at the small-icon size of the display scale (captions, the notification area).
    const TIcon& SmallIcon() const noexcept { return FSmallIcon; }

    // Whether the toolkit shows the main form by itself.
    bool ShowMainForm() const noexcept { return FShowMainForm; }
    void SetShowMainForm(bool Value) noexcept { FShowMainForm = Value; }

    TForm* MainForm() const noexcept { return FMainForm; }
    void SetMainForm(TForm* Value) noexcept { FMainForm = Value; }

    // Shows the main form unless the flag says otherwise, then handles messages until the loop is told to
    // end.
    void Run();
    // Asks the message loop to end once the messages before the request have been handled.
    void Terminate();
    // The loop has seen the request to end.
    bool Terminated() const noexcept { return FTerminated; }
    // Waits for one message and handles it.
    void HandleMessage();

    // A message box titled with the application's title; the button the user pressed.
    std::int32_t MessageBox(const std::u16string& Text, std::uint32_t Flags);

    // Central error handling; call it inside a catch block. Hands the exception to OnException when one
    // is set, otherwise shows its message; never raises.
    void HandleException(TComponent* Sender) noexcept;
    // A message box with the error's text, titled with the application's title.
    void ShowException(const std::u16string& Message);

    std::function<void(TComponent* Sender, std::exception_ptr Error)> OnException;
    // The message loop could not take a message (GetMessageW answered -1; Error is the last error). The
    // loop goes on; only a run of MaxMessageLoopFailures such answers in a row ends it (LoopFailed).
    std::function<void(std::uint32_t Error)> OnMessageLoopError;
    static constexpr int MaxMessageLoopFailures = 100;
    bool LoopFailed() const noexcept { return FLoopFailures >= MaxMessageLoopFailures; }

    // The platform font for a font description at a DPI (its height scaled from 96 DPI), made once and
    // kept until the application goes.
    HFONT_T FontHandle(const TFont& Font, std::uint32_t Dpi);
    // Gives a window the application's icon, large and small, unless Given says it has them. Windows get
    // them when they are first shown to a person, not when they are made.
    void GiveIcons(HWND_T Window, bool& Given);
    // Whether a high-contrast theme is on: the toolkit then paints with the system's colours. Asked once,
    // and again after the system's colours or settings changed.
    bool HighContrast();
    // The colour to paint: the designed one, or in a high-contrast theme the system's.
    TColor PaintedColor(TColor Designed, TColor HighContrastColor) {
        return HighContrast() ? HighContrastColor : Designed;
    }
    // The system's colours or settings changed: the theme is asked again and every form painted anew.
    void SystemColorsChanged();
    // A command number for a menu item, unique within the application.
    std::uint16_t NewMenuCommand() noexcept { return FNextMenuCommand++; }

    // The forms in existence; each form registers itself.
    const std::vector<TForm*>& Forms() const noexcept { return FForms; }
    void AddForm(TForm* Form);
    void RemoveForm(TForm* Form) noexcept;

private:
    std::intptr_t WndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam);
    bool IsDialogKey(TMsg& Msg);

    IWindowPlatform& FWindows;
    IWindowFactory& FFactory;
    IGuiPlatform& FGui;
    TScreen FScreen;
    HWND_T FHandle = 0;
    std::u16string FTitle;
    TIcon FIcon;
    TIcon FSmallIcon;         // owned: loaded at its size
    bool FIconsGiven = false; // to the application window
    bool FShowMainForm = true;
    bool FTerminated = false;
    int FLoopFailures = 0; // GetMessageW's failures in a row
    TForm* FMainForm = nullptr;
    std::vector<TForm*> FForms;
    std::map<std::tuple<std::u16string, std::int32_t, bool>, HFONT_T> FFonts;
    std::optional<bool> FHighContrast;
    // Menu commands start well above the dialog commands IDOK and IDCANCEL.
    std::uint16_t FNextMenuCommand = 1000;
};

// The text an exception shows the user.
std::u16string ExceptionMessage(std::exception_ptr Error);

} // namespace tarnwick
