#pragma once
// TfrmAbout: the About window with the product picture, name and version, and two links that the shell
// opens: the support e-mail address and the product's web page.

#include "platform/ShellExecutePlatform.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Form.h"
#include "toolkit/StdCtrls.h"

namespace tarnwick {

inline constexpr char16_t AboutWindowClassName[] = u"TfrmAbout";
// The project's contact address and web page (the page written without its scheme).
inline constexpr char16_t SupportAddress[] = u"support@tarnwick.org";
inline constexpr char16_t ProductWebPage[] = u"www.tarnwick.org";

class TfrmAbout : public TForm {
public:
    // RunsElevated: the links are opened through the desktop shell, with the user's own rights.
    TfrmAbout(TApplication& Application, TComponent* AOwner, IShellExecutePlatform& Shell,
              bool RunsElevated = false);

    // The designed controls, in their declaration order.
    TOwned<TLabel> Label1;
    TOwned<TImage> Image1;
    TOwned<TLabel> Label2;
    TOwned<TLabel> Label3;
    TOwned<TBevel> Bevel1;
    TOwned<TButton> Button1;
    TOwned<TLinkLabel> Label4;
    TOwned<TLinkLabel> Label5;

    // Shared by both links: they act on the label that sent the event.
    void Label5MouseEnter(TComponent& Sender);
    void Label5MouseLeave(TComponent& Sender);
    void URLLabel1Click(TComponent& Sender);
    void URLLabel2Click(TComponent& Sender);

protected:
    TCreateParams CreateParams() override;

private:
    void OpenLink(const std::u16string& Address);

    IShellExecutePlatform& FShell;
    bool FRunsElevated;
};

// Shows a new About window modally and releases it when it closes (also when showing it failed).
void ShowAboutBox(TApplication& Application, IShellExecutePlatform& Shell, bool RunsElevated = false);

} // namespace tarnwick
