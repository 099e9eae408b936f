#pragma once
// Labels (painted by the toolkit) and push buttons (the system's).

#include <cstdint>
#include <optional>

#include "toolkit/Control.h"

namespace tarnwick {

// What a button's press ends a modal form with (0: nothing).
using TModalResult = std::int32_t;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;

inline constexpr char16_t LabelWindowClassName[] = u"TarnwickLabel";
inline constexpr char16_t ButtonWindowClassName[] = u"Button";

// Text in its font and colour on the form's colour. By default it sizes itself to its caption measured in
// its font, keeping its left and top, so that no part of the text is cut away.
class TLabel : public TControl {
public:
    using TControl::TControl;

    bool AutoSize() const noexcept { return FAutoSize; }
    void SetAutoSize(bool Value);
    std::uint32_t AccessibleRole() const noexcept override;

protected:
    const char16_t* WindowClassName() const noexcept override { return LabelWindowClassName; }
    void Paint(TCanvas& Canvas) override;
    void AdjustSize(std::int32_t& AWidth, std::int32_t& AHeight) override;
    void ContentChanged() override { FMeasured = false; }

private:
    bool FAutoSize = true;
    bool FMeasured = false;
    std::optional<TRect> FExtent; // the caption's extent in the font, when the platform could measure it
};

// A label that opens what its caption names when clicked: a link to assistive technology.
class TLinkLabel : public TLabel {
public:
    using TLabel::TLabel;
    std::uint32_t AccessibleRole() const noexcept override;
};

// A push button of the system's class. Its presses reach the form as WM_COMMAND and come back to Click.
class TButton : public TControl {
public:
    TButton(TForm& AParent, TComponent* AOwner);

    // After OnClick, a button with a modal result ends its modal form with it.
    void Click() override;

    TModalResult ModalResult() const noexcept { return FModalResult; }
    void SetModalResult(TModalResult Value) noexcept { FModalResult = Value; }
    // The Escape key presses the cancel button of its form.
    bool Cancel() const noexcept { return FCancel; }
    void SetCancel(bool Value) noexcept { FCancel = Value; }
    // Enter presses the default button of its form; the platform draws it with a heavier border.
    bool Default() const noexcept { return FDefault; }
    // Set it before the button's window is made.
    void SetDefault(bool Value) noexcept { FDefault = Value; }
    std::int32_t TabOrder() const noexcept { return FTabOrder; }
    void SetTabOrder(std::int32_t Value) noexcept { FTabOrder = Value; }
    // The command number the button's WM_COMMAND carries.
    std::uint16_t ControlId() const noexcept { return FControlId; }
    bool WaitsUntilSeen() const noexcept override { return true; }
    std::uint32_t AccessibleRole() const noexcept override;

protected:
    HWND_T CreateWnd() override;
    void DestroyWnd(HWND_T Wnd) override;
    void FontChanged() override;

private:
    TModalResult FModalResult = mrNone;
    bool FCancel = false;
    bool FDefault = false;
    std::int32_t FTabOrder = 0;
    std::uint16_t FControlId;
};

} // namespace tarnwick
