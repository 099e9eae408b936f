#pragma once
// A control: a child window of a form with its place, caption, font, cursor, tag and mouse events. Its
// window is made when the form's window exists; the toolkit's own controls (labels, pictures, bevels) paint
// themselves, push buttons are the system's.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/GuiPlatform.h"
#include "toolkit/Component.h"
#include "toolkit/Graphics.h"
#include "toolkit/WindowFactory.h"

namespace tarnwick {

class TApplication;
class TForm;

enum class TCursor : std::uint8_t { crDefault, crHandPoint };

class TControl : public TComponent {
public:
    // Placed on Parent, which lists it until it goes.
    TControl(TForm& AParent, TComponent* AOwner);
    ~TControl() override;

    TForm& Parent() const noexcept { return FParent; }
    TApplication& Application() const noexcept;

    // The place in pixels at the scale of the form's monitor (the designed place until the form's window
    // exists).
    std::int32_t Left() const noexcept { return FLeft; }
    std::int32_t Top() const noexcept { return FTop; }
    std::int32_t Width() const noexcept { return FWidth; }
    std::int32_t Height() const noexcept { return FHeight; }
    // The designed place, at 96 DPI.
    void SetBounds(std::int32_t ALeft, std::int32_t ATop, std::int32_t AWidth, std::int32_t AHeight);
    // Keeps this control's left edge at or right of Neighbour's right edge, so that a caption that grew
    // pushes the control beside it along. Neighbour comes earlier on the form and lives as long as this one.
    void KeepRightOf(TControl& Neighbour);
    // Works out the place at the form's present scale and content and moves the window there; the form
    // calls it for each control whenever its layout changes.
    void UpdatePlacement();
    // The form's scale changed: fonts and content are measured anew.
    void ScaleChanged();

    bool Visible() const noexcept { return FVisible; }
    void SetVisible(bool Value);

    const std::u16string& Caption() const noexcept { return FCaption; }
    void SetCaption(std::u16string Value);

    std::intptr_t Tag() const noexcept { return FTag; }
    void SetTag(std::intptr_t Value) noexcept { FTag = Value; }

    const TFont& Font() const noexcept { return FFont; }
    // The platform font for Font at the form's scale.
    HFONT_T FontHandle();
    void SetFont(const TFont& Value);
    // The font with only its colour changed.
    void SetFontColor(TColor Value);

    TCursor Cursor() const noexcept { return FCursor; }
    void SetCursor(TCursor Value) noexcept { FCursor = Value; }

    // Runs OnClick.
    virtual void Click();
    // Whether the mouse is over the control now (between its enter and leave events).
    bool MouseInControl() const noexcept { return FMouseInControl; }

    TNotifyEvent OnClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // The control's window; the form's window is made first when it does not exist yet.
    HWND_T Handle();
    bool HandleAllocated() const noexcept { return FHandle != 0; }
    // Makes the window now if the form has one; the form calls it when its own window appears.
    void CreateHandle();
    // A control with nothing to tell while its form rests hidden in the tray: its window waits until its
    // form first shows on a screen (or until its handle is asked for). A button's system class then never
    // loads its library for such a form, and the form is made sooner.
    virtual bool WaitsUntilSeen() const noexcept { return false; }
    // What the control is to assistive technology (a ROLE_SYSTEM_* value); its name there is its caption,
    // which is also its window's text. A change of caption is announced as a change of name.
    virtual std::uint32_t AccessibleRole() const noexcept;

protected:
    // Makes the window: by default a window of the toolkit's class for this control, painted by Paint.
    virtual HWND_T CreateWnd();
    virtual void DestroyWnd(HWND_T Wnd);
    virtual TCreateParams CreateParams();
    // The window class of the toolkit's own controls of this kind.
    virtual const char16_t* WindowClassName() const noexcept { return u"TarnwickControl"; }
    virtual void Paint(TCanvas& Canvas);
    virtual void FontChanged();
    // The size the control takes at the present scale, given its designed size scaled; a control that sizes
    // itself to its content changes it.
    virtual void AdjustSize(std::int32_t& AWidth, std::int32_t& AHeight);
    // The caption, the font's face or size, or the scale changed.
    virtual void ContentChanged() {}
    // The messages of a window of the toolkit's class.
    virtual std::intptr_t WndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam);
    // Asks for the control to be painted again.
    void Invalidate();
    // The window style bits every control has: child, and visible when it is.
    std::uint32_t ChildStyle() const noexcept;

private:
    std::intptr_t MainWndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) noexcept;
    void PaintWindow();

    TForm& FParent;
    HWND_T FHandle = 0;
    std::int32_t FDesignLeft = 0;
    std::int32_t FDesignTop = 0;
    std::int32_t FDesignWidth = 0;
    std::int32_t FDesignHeight = 0;
    std::vector<TControl*> FKeepRightOf;
    std::int32_t FLeft = 0;
    std::int32_t FTop = 0;
    std::int32_t FWidth = 0;
    std::int32_t FHeight = 0;
    bool FVisible = true;
    std::u16string FCaption;
    std::intptr_t FTag = 0;
    TFont FFont;
    TCursor FCursor = TCursor::crDefault;
    bool FMouseInControl = false;
    bool FClicked = false;
};

} // namespace tarnwick
