#pragma once
// A form: a top-level window of the application, owned by the application window so that it has no
// taskbar button of its own. It holds controls and pop-up menus, paints its background in its colour,
// hears its activation, close requests and commands, and can be shown modally. Its window is made when it
// is first needed.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/Application.h"
#include "toolkit/Component.h"
#include "toolkit/Graphics.h"
#include "toolkit/StdCtrls.h"

namespace tarnwick {

class TControl;
class TPopupMenu;

inline constexpr char16_t FormWindowClassName[] = u"TarnwickForm";

enum class TFormBorderStyle : std::uint8_t {
    bsDialog,     // a fixed dialog frame
    bsSizeable,   // a frame that can be resized
    bsToolWindow, // a fixed frame with a small caption: no taskbar button, not among the windows of Alt+Tab
};

enum class TPosition : std::uint8_t {
    poDesigned,     // where Left and Top say
    poScreenCenter, // in the middle of the primary screen, whenever it is shown
};

// A close request: CanClose starts true; a handler sets it false to refuse.
using TCloseQueryEvent = std::function<void(TComponent& Sender, bool& CanClose)>;

class TForm : public TComponent {
public:
    TForm(TApplication& Application, TComponent* AOwner);
    ~TForm() override;

    TApplication& Application() const noexcept { return FApplication; }

    // The form's window, made now (with its controls' windows) if it does not exist yet.
    HWND_T Handle();
    bool HandleAllocated() const noexcept { return FHandle != 0; }

    const std::u16string& Caption() const noexcept { return FCaption; }
    void SetCaption(std::u16string Value);

    bool Visible() const noexcept { return FVisible; }
    // Showing runs the on-show handling first, then shows the window; hiding hides it.
    void SetVisible(bool Value);

    std::int32_t Left() const noexcept { return FLeft; }
    std::int32_t Top() const noexcept { return FTop; }
    std::int32_t Width() const noexcept { return FWidth; }
    std::int32_t Height() const noexcept { return FHeight; }
    void SetLeft(std::int32_t Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(std::int32_t Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(std::int32_t Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(std::int32_t Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    // Moves the window without activating it or changing its place in the z-order.
    void SetBounds(std::int32_t ALeft, std::int32_t ATop, std::int32_t AWidth, std::int32_t AHeight);

    // The size inside the frame, in pixels: the designed client size at the form's scale, grown where a
    // control reaches beyond it. The window's size follows from the frame of the border style.
    std::int32_t ClientWidth() const noexcept { return FClientWidth; }
    std::int32_t ClientHeight() const noexcept { return FClientHeight; }
    // The designed client size, at 96 DPI.
    void SetClientSize(std::int32_t AClientWidth, std::int32_t AClientHeight);

    // The DPI of the monitor the form's window is on (96 until the window exists): designed places, sizes
    // and fonts are scaled from 96 DPI to it.
    std::uint32_t Dpi() const noexcept { return FDpi; }
    // Places every control anew at the present scale and content, and grows the client area where a
    // control would reach beyond it. Controls call it when their place, caption or font changes.
    void Realign();

    TFormBorderStyle BorderStyle() const noexcept { return FBorderStyle; }
    // Set it before the client size and before the window is made.
    void SetBorderStyle(TFormBorderStyle Value) noexcept { FBorderStyle = Value; }
    TPosition Position() const noexcept { return FPosition; }
    void SetPosition(TPosition Value) noexcept { FPosition = Value; }
    TColor Color() const noexcept { return FColor; }
    void SetColor(TColor Value);
    // The font the controls placed afterwards start with.
    const TFont& Font() const noexcept { return FFont; }
    void SetFont(const TFont& Value) noexcept { FFont = Value; }

    // Asks OnCloseQuery; when the close is allowed, a modal form ends with mrCancel, the main form ends the
    // message loop and any other form is hidden.
    void Close();
    bool CloseQuery();

    // Shows the form, handles messages until its modal result is set, hides it and returns the result.
    // The application's other windows are disabled meanwhile.
    TModalResult ShowModal();
    TModalResult ModalResult() const noexcept { return FModalResult; }
    void SetModalResult(TModalResult Value) noexcept { FModalResult = Value; }

    TNotifyEvent OnShow;
    TNotifyEvent OnActivate;
    TCloseQueryEvent OnCloseQuery;

    // The controls and menus placed on the form, which register themselves.
    const std::vector<TControl*>& Controls() const noexcept { return FControls; }
    void InsertControl(TControl* Control);
    void RemoveControl(TControl* Control) noexcept;
    void InsertMenu(TPopupMenu* Menu);
    void RemoveMenu(TPopupMenu* Menu) noexcept;
    // A command number for a push button, unique on this form.
    std::uint16_t NewControlId() noexcept { return FNextControlId++; }

protected:
    // The on-show handling: OnShow.
    virtual void DoShow();
    // The activation handling: OnActivate.
    virtual void Activate();
    // The form's messages: activation, close requests, commands and the background are handled here,
    // the rest by the platform's default handling, unless a derived form takes them first.
    virtual std::intptr_t WndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam);
    virtual TCreateParams CreateParams();
    // A WM_COMMAND from a push button, a menu, or the dialog keys (IDOK, IDCANCEL).
    void DispatchCommand(std::uint16_t Id, std::uint16_t Code, std::intptr_t Control);

private:
    std::intptr_t MainWndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) noexcept;
    std::uint32_t FrameStyle() const noexcept;
    std::uint32_t FrameExStyle() const noexcept;
    void MoveToScreenCenter();
    void ChangeScale(std::uint32_t NewDpi);
    void UpdateClientSize();
    void FocusFirstControl();
    std::intptr_t EraseBackground(std::uintptr_t DC);
    // The windows of the controls that wait for the form to show on a screen.
    void CreateWaitingControls();
    // Whether the middle of the form lies on a monitor.
    bool OnAScreen();

    TApplication& FApplication;
    HWND_T FHandle = 0;
    std::u16string FCaption;
    bool FVisible = false;
    bool FIconsGiven = false; // at the first showing on a screen
    std::int32_t FLeft = 0;
    std::int32_t FTop = 0;
    std::int32_t FWidth = 320;
    std::int32_t FHeight = 240;
    std::int32_t FClientWidth = 0;
    std::int32_t FClientHeight = 0;
    std::int32_t FDesignClientWidth = 0;
    std::int32_t FDesignClientHeight = 0;
    bool FClientSizeDesigned = false;
    std::uint32_t FDpi = DesignDpi;
    bool FRealigning = false;
    TFormBorderStyle FBorderStyle = TFormBorderStyle::bsDialog;
    TPosition FPosition = TPosition::poDesigned;
    TColor FColor = clBtnFace;
    TFont FFont;
    bool FModal = false;
    TModalResult FModalResult = mrNone;
    std::vector<TControl*> FControls;
    std::vector<TPopupMenu*> FMenus;
    std::uint16_t FNextControlId = 100;
};

} // namespace tarnwick
