#include "toolkit/Menus.h"

#include <algorithm>

#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace tarnwick {

TMenuItem::TMenuItem(TPopupMenu& Menu, TComponent* AOwner)
    : TComponent(AOwner), FMenu(&Menu), FCommand(Menu.Form().Application().NewMenuCommand()) {
    Menu.FItems.push_back(this);
}

TMenuItem::~TMenuItem() {
    if (FMenu) {
        auto& items = FMenu->FItems;
        items.erase(std::remove(items.begin(), items.end(), this), items.end());
    }
}

std::size_t TMenuItem::MenuIndex() const noexcept {
    if (!FMenu) {
        return 0;
    }
    const auto& items = FMenu->FItems;
    return static_cast<std::size_t>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TMenuItem::SetMenuIndex(std::size_t Value) {
    if (!FMenu) {
        return;
    }
    auto& items = FMenu->FItems;
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(MenuIndex()));
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(std::min(Value, items.size())), this);
}

void TMenuItem::Click() {
    if (OnClick) {
        OnClick(*this);
    }
}

TPopupMenu::TPopupMenu(TForm& AForm, TComponent* AOwner) : TComponent(AOwner), FForm(AForm) {
    FForm.InsertMenu(this);
}

TPopupMenu::~TPopupMenu() {
    for (TMenuItem* item : FItems) {
        item->FMenu = nullptr;
    }
    FForm.RemoveMenu(this);
}

TMenuItem* TPopupMenu::FindItem(std::uint16_t Command) const noexcept {
    for (TMenuItem* item : FItems) {
        if (item->Command() == Command) {
            return item;
        }
    }
    return nullptr;
}

namespace {
// The platform menu for one showing.
class TMenuHandle {
public:
    explicit TMenuHandle(IGuiPlatform& Gui) : FGui(Gui), FHandle(Gui.CreatePopupMenu()) {
        if (!FHandle) {
            throw EOutOfResources(u"Cannot create a menu");
        }
    }
    ~TMenuHandle() { FGui.DestroyMenu(FHandle); }
    TMenuHandle(const TMenuHandle&) = delete;
    TMenuHandle& operator=(const TMenuHandle&) = delete;
    HMENU_T Handle() const noexcept { return FHandle; }

private:
    IGuiPlatform& FGui;
    HMENU_T FHandle;
};
} // namespace

void TPopupMenu::Popup(std::int32_t X, std::int32_t Y) {
    TApplication& application = FForm.Application();
    IGuiPlatform& gui = application.Gui();
    TMenuHandle menu(gui);
    for (const TMenuItem* item : FItems) {
        if (!item->Visible()) {
            continue;
        }
        if (item->IsLine()) {
            gui.AppendMenuW(menu.Handle(), MF_SEPARATOR, item->Command(), nullptr);
        } else {
            gui.AppendMenuW(menu.Handle(), MF_STRING, item->Command(), item->Caption().c_str());
        }
    }
    const HWND_T owner = FForm.Handle();
    // A menu of a window that is not in the foreground would not close when the user clicks elsewhere,
    // and the message after it lets it go at once (the platform's advice for notification-area menus).
    gui.SetForegroundWindow(owner);
    gui.TrackPopupMenu(menu.Handle(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, X, Y, owner);
    application.Windows().PostMessageW(owner, WM_NULL, 0, 0);
}

} // namespace tarnwick
