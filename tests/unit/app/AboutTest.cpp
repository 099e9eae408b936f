#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/About.h"
#include "app/VersionResource.h"
#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "tests/unit/app/HeadlessDesktop.h"
#include "tests/unit/app/ProgramHarness.h"
#include "tests/unit/support/FakeShellExecutePlatform.h"

namespace tarnwick {
namespace {

using test::THeadlessDesktop;

// A VS_VERSIONINFO block as windres writes it, up to its fixed file information: the product version
// given, the file version 0.0.0.0; Key replaces the root key.
std::vector<std::uint8_t> VersionBlock(std::uint16_t Major, std::uint16_t Minor, std::uint16_t Patch,
                                       std::uint16_t Build = 0,
                                       std::u16string_view Key = u"VS_VERSION_INFO") {
    std::vector<std::uint8_t> block;
    const auto put16 = [&block](std::uint32_t v) {
        block.push_back(std::uint8_t(v));
        block.push_back(std::uint8_t(v >> 8));
    };
    const auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    put16(92); // wLength
    put16(52); // wValueLength: a VS_FIXEDFILEINFO
    put16(0);  // wType: binary
    for (char16_t c : Key) {
        put16(c);
    }
    put16(0);
    while (block.size() % 4 != 0) {
        block.push_back(0);
    }
    for (std::uint32_t v : {0xFEEF04BDu, 0x10000u, 0u, 0u, std::uint32_t(Major) << 16 | Minor,
                            std::uint32_t(Patch) << 16 | Build}) {
        put32(v);
    }
    block.resize(block.size() + 28);
    return block;
}

TEST(ProductVersion, IsReadFromTheFixedFileInformation) {
    EXPECT_EQ(ProductVersionOf(VersionBlock(1, 1, 0)), u"1.1.0");
    EXPECT_EQ(ProductVersionOf(VersionBlock(10, 20, 300, 4)), u"10.20.300.4");
    auto block = VersionBlock(1, 1, 0);
    const std::vector<std::uint8_t> cut(block.begin(), block.begin() + 60);
    EXPECT_EQ(ProductVersionOf(cut), u"") << "cut short";
    EXPECT_EQ(ProductVersionOf(VersionBlock(1, 1, 0, 0, u"VS_VERSION_INFX")), u"") << "another block";
    block[40] ^= 1;
    EXPECT_EQ(ProductVersionOf(block), u"") << "no fixed file information";
    EXPECT_EQ(ProductVersionOf({}), u"");
}

struct AboutWindow : ::testing::Test {
    THeadlessDesktop Desktop;
    // The program's version resource, read when the window is made.
    const bool Versioned = (Desktop.VersionResource = VersionBlock(9, 8, 7), true);
    tarnwick::testing::FakeShellExecutePlatform Shell;
    TApplication App{Desktop, Desktop, Desktop};
    TOwned<TfrmAbout> About = MakeComponent<TfrmAbout>(App, &App, Shell);

    void MouseOver(TControl& Control) { Desktop.Send(Control.Handle(), WM_MOUSEMOVE, 0, 0); }
    void MouseOff(TControl& Control) { Desktop.Send(Control.Handle(), WM_MOUSELEAVE, 0, 0); }
    void Click(TControl& Control) {
        Desktop.Send(Control.Handle(), WM_LBUTTONDOWN, 0, 0);
        Desktop.Send(Control.Handle(), WM_LBUTTONUP, 0, 0);
    }
};

TEST_F(AboutWindow, IsBuiltFromItsDesign) {
    EXPECT_EQ(About->Caption(), u"About Tarnwick");
    EXPECT_EQ(About->ClientWidth(), 414);
    EXPECT_EQ(About->ClientHeight(), 206);
    EXPECT_EQ(About->Color(), clBtnFace);
    EXPECT_EQ(About->Position(), TPosition::poScreenCenter);
    const auto& window = Desktop.Window(About->Handle());
    EXPECT_EQ(window.ClassName, u"TfrmAbout");
    EXPECT_EQ(window.Style &
                  (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | 0x10000u /* maximize */),
              WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
    EXPECT_EQ(window.ExStyle & WS_EX_DLGMODALFRAME, 0u);

    // Labels keep their designed place and take the size of their caption in their font (0: measured).
    const struct {
        TControl* Control;
        std::int32_t Left, Top, Width, Height;
        const char16_t* Caption;
        bool Bold = false;
    } controls[] = {
        {About->Label1.get(), 200, 16, 0, 0, u"Tarnwick 9.8.7", true},
        {About->Image1.get(), 16, 16, 137, 137, u"Tarnwick: a globe with a power button"},
        {About->Label2.get(), 184, 48, 0, 0, u"Contact Us: "},
        {About->Label3.get(), 184, 72, 0, 0, u"Web site: "},
        {About->Bevel1.get(), 16, 163, 385, 2, u""},
        {About->Button1.get(), 328, 176, 75, 25, u"Close"},
        {About->Label4.get(), 250, 48, 0, 0, SupportAddress},
        {About->Label5.get(), 250, 72, 0, 0, ProductWebPage},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(ToUtf8(c.Caption));
        const auto& r = Desktop.Window(c.Control->Handle()).Rect;
        const TRect text = THeadlessDesktop::TextExtent(c.Caption, -11, c.Bold);
        EXPECT_EQ(r.Left, c.Left);
        EXPECT_EQ(r.Top, c.Top);
        EXPECT_EQ(r.Right - r.Left, c.Width ? c.Width : text.Right);
        EXPECT_EQ(r.Bottom - r.Top, c.Height ? c.Height : text.Bottom);
        EXPECT_EQ(c.Control->Caption(), c.Caption);
    }
    EXPECT_TRUE(About->Label1->Font().Bold);
    EXPECT_EQ(About->Image1->PictureName(), u"PNG_PRODUCT");
    EXPECT_TRUE(About->Button1->Cancel());
    EXPECT_EQ(About->Button1->ModalResult(), mrOk);
    EXPECT_EQ(About->Button1->TabOrder(), 0);
    for (TLabel* link : {About->Label4.get(), About->Label5.get()}) {
        EXPECT_EQ(link->Cursor(), TCursor::crHandPoint);
        EXPECT_EQ(link->Font().Color, clHotLight);
    }
    EXPECT_EQ(std::u16string(SupportAddress).find(u'@') != std::u16string::npos, true);
    EXPECT_EQ(std::u16string(ProductWebPage).find(u"://"), std::u16string::npos)
        << "written without its scheme";
}

TEST_F(AboutWindow, AssistiveTechnologyReadsTheLinksAsLinksAndThePictureAsAGraphic) {
    const struct {
        TControl* Control;
        std::uint32_t Role;
    } controls[] = {
        {About->Label1.get(), ROLE_SYSTEM_STATICTEXT}, {About->Image1.get(), ROLE_SYSTEM_GRAPHIC},
        {About->Label2.get(), ROLE_SYSTEM_STATICTEXT}, {About->Label3.get(), ROLE_SYSTEM_STATICTEXT},
        {About->Bevel1.get(), ROLE_SYSTEM_SEPARATOR},  {About->Button1.get(), ROLE_SYSTEM_PUSHBUTTON},
        {About->Label4.get(), ROLE_SYSTEM_LINK},       {About->Label5.get(), ROLE_SYSTEM_LINK},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(ToUtf8(c.Control->Caption()));
        const auto& window = Desktop.Window(c.Control->Handle());
        EXPECT_EQ(window.AccessibleRole, c.Role);
        EXPECT_EQ(window.Text, c.Control->Caption()) << "the name assistive technology reads";
    }
}

TEST_F(AboutWindow, ALinkTurnsMaroonUnderTheMouseAndBackToTheHotTrackColourAfter) {
    MouseOver(*About->Label4);
    EXPECT_EQ(About->Label4->Font().Color, 0x000080u);
    EXPECT_EQ(About->Label5->Font().Color, clHotLight) << "the other link is not affected";
    Desktop.Send(About->Label4->Handle(), WM_PAINT);
    ASSERT_EQ(Desktop.TextOuts.size(), 1u);
    EXPECT_EQ(Desktop.TextOuts[0].Color, 0x000080u) << "red 128: maroon";

    MouseOff(*About->Label4);
    EXPECT_EQ(About->Label4->Font().Color, clHotLight);
    Desktop.Send(About->Label4->Handle(), WM_PAINT);
    EXPECT_EQ(Desktop.TextOuts.back().Color, Desktop.GetSysColor(26)) << "COLOR_HOTLIGHT";

    MouseOver(*About->Label5);
    EXPECT_EQ(About->Label5->Font().Color, 0x000080u);
    EXPECT_EQ(About->Label4->Font().Color, clHotLight);

    EXPECT_EQ(Desktop.Send(About->Label5->Handle(), WM_SETCURSOR, About->Label5->Handle(), HTCLIENT), 1);
    EXPECT_EQ(Desktop.CursorShape, Desktop.LoadCursorW(IdcHandCursor));
}

TEST_F(AboutWindow, EachLinkOpensItsAddressThroughTheShell) {
    Click(*About->Label4);
    Click(*About->Label5);
    Click(*About->Label2); // a plain label opens nothing
    ASSERT_EQ(Shell.Opens.size(), 2u);
    EXPECT_TRUE(Shell.DesktopOpens.empty()) << "not elevated: opened plainly";
    const std::u16string expected[] = {u"mailto:" + std::u16string(SupportAddress),
                                       u"https://" + std::u16string(ProductWebPage) + u"/"};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto& open = Shell.Opens[i];
        EXPECT_EQ(open.Window, About->Handle());
        EXPECT_EQ(open.Operation, u"open");
        EXPECT_EQ(open.File, expected[i]);
        EXPECT_FALSE(open.HasParameters);
        EXPECT_FALSE(open.HasDirectory);
        EXPECT_EQ(open.Show, 5);
    }
    Shell.ShellExecuteResult = 31; // no program for the address: nothing is reported
    Click(*About->Label4);
    EXPECT_TRUE(Desktop.Boxes.empty());
}

TEST(AboutWindowElevated, OpensEachLinkThroughTheDesktopShellOnly) {
    THeadlessDesktop desktop;
    tarnwick::testing::FakeShellExecutePlatform shell;
    TApplication app{desktop, desktop, desktop};
    const TOwned<TfrmAbout> about = MakeComponent<TfrmAbout>(app, &app, shell, true);
    for (TLabel* link : {about->Label4.get(), about->Label5.get()}) {
        desktop.Send(link->Handle(), WM_LBUTTONDOWN, 0, 0);
        desktop.Send(link->Handle(), WM_LBUTTONUP, 0, 0);
    }
    using Open = std::pair<std::u16string, std::u16string>;
    EXPECT_EQ(shell.DesktopOpens,
              (std::vector<Open>{{u"open", u"mailto:" + std::u16string(SupportAddress)},
                                 {u"open", u"https://" + std::u16string(ProductWebPage) + u"/"}}));
    EXPECT_EQ(shell.DesktopShows, (std::vector<std::int32_t>{5, 5}));
    EXPECT_TRUE(shell.Opens.empty()) << "nothing opened with this process's rights";
}

TEST(AboutBox, ShowsAFreshModalWindowInTheMiddleOfTheScreenUntilItIsClosed) {
    struct Way {
        const char* Name;
        std::function<void(THeadlessDesktop&, HWND_T About)> Close;
    };
    // Each as the platform reports it to the window.
    const Way ways[] = {
        {"the Close button",
         [](THeadlessDesktop& d, HWND_T about) {
             for (HWND_T child : d.Children(about)) {
                 if (d.Window(child).ClassName == u"Button") {
                     d.PostMessageW(about, WM_COMMAND, d.Window(child).Id, static_cast<std::intptr_t>(child));
                 }
             }
         }},
        {"Escape", [](THeadlessDesktop& d, HWND_T about) { d.PostMessageW(about, WM_COMMAND, IDCANCEL, 0); }},
        {"the close box", [](THeadlessDesktop& d, HWND_T about) { d.PostMessageW(about, WM_CLOSE, 0, 0); }},
    };
    test::TProgramHarness h;
    h.Start(u"");
    std::set<HWND_T> seen;
    for (const Way& way : ways) {
        SCOPED_TRACE(way.Name);
        int idle = 0;
        h.Desktop.OnIdle = [&] {
            if (idle++ > 0) {
                return false;
            }
            const std::vector<HWND_T> abouts = h.Desktop.WindowsOfClass(u"TfrmAbout");
            EXPECT_EQ(abouts.size(), 1u);
            if (abouts.size() != 1) {
                return false;
            }
            const auto& window = h.Desktop.Window(abouts[0]);
            const std::int32_t width = window.Rect.Right - window.Rect.Left;
            const std::int32_t height = window.Rect.Bottom - window.Rect.Top;
            EXPECT_EQ(window.Rect.Left, (1280 - width) / 2);
            EXPECT_EQ(window.Rect.Top, (800 - height) / 2);
            EXPECT_TRUE(window.Visible);
            EXPECT_TRUE(h.Desktop.Exists(h.Desktop.Focus) &&
                        h.Desktop.Window(h.Desktop.Focus).Text == u"Close")
                << "the first control has the focus";
            EXPECT_FALSE(h.Desktop.Window(h.FormWindow()).Enabled) << "the main window waits";
            EXPECT_FALSE(h.Desktop.Window(h.App->Handle()).Enabled);
            EXPECT_TRUE(seen.insert(abouts[0]).second) << "a new window each time";
            way.Close(h.Desktop, abouts[0]);
            return true;
        };
        h.Choose(*h.Form->About1);
        EXPECT_EQ(idle, 1);
        EXPECT_TRUE(h.Desktop.WindowsOfClass(u"TfrmAbout").empty()) << "released when closed";
        EXPECT_TRUE(h.Desktop.Window(h.FormWindow()).Enabled);
        EXPECT_TRUE(h.Desktop.Window(h.App->Handle()).Enabled);
        EXPECT_FALSE(h.App->Terminated());
        EXPECT_FALSE(h.Desktop.QuitPosted);
        EXPECT_EQ(h.App->ComponentCount(), 1u) << "only the main window is left";
    }
}

TEST(AboutBox, IsReleasedAlsoWhenTheLoopEndsWhileItIsShown) {
    test::TProgramHarness h;
    h.Start(u"");
    h.Desktop.OnIdle = [&] {
        h.Desktop.PostQuitMessage(0); // a logoff, say
        return true;
    };
    h.Choose(*h.Form->About1);
    EXPECT_TRUE(h.Desktop.WindowsOfClass(u"TfrmAbout").empty());
    EXPECT_TRUE(h.App->Terminated()) << "the main loop ends too";
    EXPECT_TRUE(h.Desktop.Window(h.FormWindow()).Enabled);
}

} // namespace
} // namespace tarnwick
