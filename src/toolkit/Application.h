#pragma once
// The application object: its title (the caption of every message box), the hidden application window
// that carries the program's taskbar button, the main form with the flag that lets the toolkit show it,
// the screen, and the central error handling that every window handler's exception ends in.

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

#include "platform/WindowPlatform.h"
#include "toolkit/Component.h"
#include "toolkit/Screen.h"
#include "toolkit/WindowFactory.h"

namespace tarnwick {

class TForm;

inline constexpr char16_t ApplicationWindowClassName[] = u"TarnwickApplication";

class TApplication : public TComponent {
public:
    // Creates the application window (hidden until it is shown).
    TApplication(IWindowPlatform& Windows, IWindowFactory& Factory);
    ~TApplication() override;

    IWindowPlatform& Windows() const noexcept { return FWindows; }
    IWindowFactory& WindowFactory() const noexcept { return FFactory; }
    TScreen& Screen() noexcept { return FScreen; }

    // The application window.
    HWND_T Handle() const noexcept { return FHandle; }

    const std::u16string& Title() const noexcept { return FTitle; }
    // Also the application window's caption, which its taskbar button shows.
    void SetTitle(std::u16string Value);

    // Whether the toolkit shows the main form by itself.
    bool ShowMainForm() const noexcept { return FShowMainForm; }
    void SetShowMainForm(bool Value) noexcept { FShowMainForm = Value; }

    TForm* MainForm() const noexcept { return FMainForm; }
    void SetMainForm(TForm* Value) noexcept { FMainForm = Value; }

    // Central error handling; call it inside a catch block. Hands the exception to OnException when one
    // is set, otherwise shows its message; never raises.
    void HandleException(TComponent* Sender) noexcept;
    // A message box with the error's text, titled with the application's title.
    void ShowException(const std::u16string& Message);

    std::function<void(TComponent* Sender, std::exception_ptr Error)> OnException;

private:
    std::intptr_t WndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam);

    IWindowPlatform& FWindows;
    IWindowFactory& FFactory;
    TScreen FScreen;
    HWND_T FHandle = 0;
    std::u16string FTitle;
    bool FShowMainForm = true;
    TForm* FMainForm = nullptr;
};

// The text an exception shows the user.
std::u16string ExceptionMessage(std::exception_ptr Error);

} // namespace tarnwick
