#pragma once
// Pop-up menus shown at a point of the screen; an "&" in a caption marks the item's access key. The chosen
// item comes back to the form as WM_COMMAND with the item's command number, and the form clicks that item.

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/Component.h"

namespace tarnwick {

class TForm;
class TPopupMenu;

// The caption that makes an item a separator line.
inline constexpr char16_t cLineCaption[] = u"-";

class TMenuItem : public TComponent {
public:
    // Appended to Menu's items.
    TMenuItem(TPopupMenu& Menu, TComponent* AOwner);
    ~TMenuItem() override;

    const std::u16string& Caption() const noexcept { return FCaption; }
    void SetCaption(std::u16string Value) { FCaption = std::move(Value); }
    std::intptr_t Tag() const noexcept { return FTag; }
    void SetTag(std::intptr_t Value) noexcept { FTag = Value; }
    bool IsLine() const noexcept { return FCaption == cLineCaption; }
    // The item's place in its menu, 0 first; setting it moves the item there.
    std::size_t MenuIndex() const noexcept;
    void SetMenuIndex(std::size_t Value);
    // A hidden item is left out of the menu when it is shown.
    bool Visible() const noexcept { return FVisible; }
    void SetVisible(bool Value) noexcept { FVisible = Value; }
    std::uint16_t Command() const noexcept { return FCommand; }

    // Runs OnClick.
    void Click();
    TNotifyEvent OnClick;

private:
    friend class TPopupMenu;
    TPopupMenu* FMenu;
    std::u16string FCaption;
    std::intptr_t FTag = 0;
    bool FVisible = true;
    std::uint16_t FCommand;
};

class TPopupMenu : public TComponent {
public:
    // The form receives the menu's commands; it lists the menu until it goes.
    TPopupMenu(TForm& AForm, TComponent* AOwner);
    ~TPopupMenu() override;

    TForm& Form() const noexcept { return FForm; }
    const std::vector<TMenuItem*>& Items() const noexcept { return FItems; }
    // The item with this command number, or none.
    TMenuItem* FindItem(std::uint16_t Command) const noexcept;

    // Shows the menu with its top-left corner at the point (screen coordinates) and returns when it
    // closes; a chosen item is clicked when the form receives its command.
    void Popup(std::int32_t X, std::int32_t Y);

private:
    friend class TMenuItem;
    TForm& FForm;
    std::vector<TMenuItem*> FItems;
};

} // namespace tarnwick
