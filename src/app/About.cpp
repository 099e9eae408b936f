#include "app/About.h"

#include "app/VersionResource.h"
#include "app/resources/ResourceNames.h"
#include "core/PlatformConstants.h"

namespace tarnwick {

TfrmAbout::TfrmAbout(TApplication& Application, TComponent* AOwner, IShellExecutePlatform& Shell,
                     bool RunsElevated)
    : TForm(Application, AOwner), FShell(Shell), FRunsElevated(RunsElevated) {
    SetCaption(u"About Tarnwick");
    SetBorderStyle(TFormBorderStyle::bsSizeable);
    SetColor(clBtnFace);
    SetFont(TFont{});
    SetClientSize(414, 206);
    SetPosition(TPosition::poScreenCenter);

    auto place = [](TLabel& Label, std::int32_t Left, std::int32_t Top, std::int32_t Width,
                    std::u16string Caption) {
        Label.SetBounds(Left, Top, Width, 13);
        Label.SetCaption(std::move(Caption));
    };
    auto label = [this, &place](std::int32_t Left, std::int32_t Top, std::int32_t Width,
                                std::u16string Caption) {
        TOwned<TLabel> result = MakeComponent<TLabel>(*this, this);
        place(*result, Left, Top, Width, std::move(Caption));
        return result;
    };
    // The version the program's version resource states: the one Explorer and Add/Remove Programs show.
    const std::u16string version = ProductVersionOf(Application.Gui().LoadVersionResource());
    Label1 = label(200, 16, 129, version.empty() ? u"Tarnwick" : u"Tarnwick " + version);
    TFont bold = Font();
    bold.Bold = true;
    Label1->SetFont(bold);

    Image1 = MakeComponent<TImage>(*this, this);
    Image1->SetBounds(16, 16, 137, 137);
    Image1->LoadPicture(ProductPictureName);
    Image1->SetCaption(u"Tarnwick: a globe with a power button");

    // Every label sizes itself to its caption; these two have no designed width at all.
    Label2 = label(184, 48, 0, u"Contact Us: ");
    Label3 = label(184, 72, 0, u"Web site: ");

    Bevel1 = MakeComponent<TBevel>(*this, this);
    Bevel1->SetBounds(16, 163, 385, 2);

    Button1 = MakeComponent<TButton>(*this, this);
    Button1->SetBounds(328, 176, 75, 25);
    Button1->SetCaption(u"Close");
    Button1->SetCancel(true);
    Button1->SetModalResult(mrOk);
    Button1->SetTabOrder(0);

    const struct {
        TOwned<TLinkLabel>& Link;
        std::int32_t Top, Width;
        const char16_t* Caption;
        void (TfrmAbout::*Click)(TComponent&);
    } links[] = {
        {Label4, 48, 119, SupportAddress, &TfrmAbout::URLLabel1Click},
        {Label5, 72, 128, ProductWebPage, &TfrmAbout::URLLabel2Click},
    };
    for (const auto& entry : links) {
        entry.Link = MakeComponent<TLinkLabel>(*this, this);
        place(*entry.Link, 250, entry.Top, entry.Width, entry.Caption);
        // The links stay in one column clear of the captions before them, however wide those are drawn.
        entry.Link->KeepRightOf(*Label2);
        entry.Link->KeepRightOf(*Label3);
        entry.Link->SetCursor(TCursor::crHandPoint);
        entry.Link->SetFontColor(clHotLight);
        entry.Link->OnClick = [this, click = entry.Click](TComponent& Sender) { (this->*click)(Sender); };
        entry.Link->OnMouseEnter = [this](TComponent& Sender) { Label5MouseEnter(Sender); };
        entry.Link->OnMouseLeave = [this](TComponent& Sender) { Label5MouseLeave(Sender); };
    }
}

TCreateParams TfrmAbout::CreateParams() {
    TCreateParams params = TForm::CreateParams();
    params.ClassName = AboutWindowClassName;
    return params;
}

void TfrmAbout::Label5MouseEnter(TComponent& Sender) {
    dynamic_cast<TControl&>(Sender).SetFontColor(clMaroon);
}

void TfrmAbout::Label5MouseLeave(TComponent& Sender) {
    dynamic_cast<TControl&>(Sender).SetFontColor(clHotLight);
}

void TfrmAbout::OpenLink(const std::u16string& Address) {
    // Without a mail program or browser nothing happens, and nothing is reported.
    if (FRunsElevated) {
        // A browser started from here would carry administrator rights onto the web: the desktop shell
        // starts it with the user's own. Where there is no desktop shell to ask, nothing is opened.
        (void)FShell.ShellExecuteFromDesktop(u"open", Address.c_str(), static_cast<std::int32_t>(SW_SHOW));
        return;
    }
    (void)FShell.ShellExecuteW(Handle(), u"open", Address.c_str(), nullptr, nullptr,
                               static_cast<std::int32_t>(SW_SHOW));
}

void TfrmAbout::URLLabel1Click(TComponent&) {
    OpenLink(u"mailto:" + std::u16string(SupportAddress));
}

void TfrmAbout::URLLabel2Click(TComponent&) {
    OpenLink(u"https://" + std::u16string(ProductWebPage) + u"/");
}

void ShowAboutBox(TApplication& Application, IShellExecutePlatform& Shell, bool RunsElevated) {
    const TOwned<TfrmAbout> about = MakeComponent<TfrmAbout>(Application, &Application, Shell, RunsElevated);
    about->ShowModal();
}

} // namespace tarnwick
