#pragma once
// A form: a top-level window of the application, owned by the application window so that it has no
// taskbar button of its own. Its window is made when it is first needed.

#include <cstdint>
#include <string>

#include "toolkit/Application.h"
#include "toolkit/Component.h"

namespace tarnwick {

inline constexpr char16_t FormWindowClassName[] = u"TarnwickForm";

class TForm : public TComponent {
public:
    TForm(TApplication& Application, TComponent* AOwner);
    ~TForm() override;

    TApplication& Application() const noexcept { return FApplication; }

    // The form's window, made now if it does not exist yet.
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

    TNotifyEvent OnShow;

protected:
    // The on-show handling: OnShow.
    virtual void DoShow();
    // The form's messages; the default handling unless a derived form takes them.
    virtual std::intptr_t WndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam);
    virtual TCreateParams CreateParams();

private:
    std::intptr_t MainWndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) noexcept;

    TApplication& FApplication;
    HWND_T FHandle = 0;
    std::u16string FCaption;
    bool FVisible = false;
    std::int32_t FLeft = 0;
    std::int32_t FTop = 0;
    std::int32_t FWidth = 320;
    std::int32_t FHeight = 240;
};

} // namespace tarnwick
