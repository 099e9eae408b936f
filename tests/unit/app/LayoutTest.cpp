// What a person sees of the windows' layout on the headless desktop: every text painted whole at every
// display scale, the design scaled from 96 DPI to the monitor's, labels sized to their captions, and forms
// that grow only where a text does not fit.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/About.h"
#include "core/Text.h"
#include "tests/unit/app/HeadlessDesktop.h"
#include "tests/unit/app/ProgramHarness.h"
#include "tests/unit/support/FakeShellExecutePlatform.h"

namespace tarnwick {
namespace {

using test::THeadlessDesktop;
using test::TProgramHarness;

TRect BoundsOf(const TControl& Control) {
    return {Control.Left(), Control.Top(), Control.Width(), Control.Height()};
}

// Paints every label of the form and checks what a person would see: each text drawn in the font of the
// form's scale inside a rectangle that holds all of it, each control inside the client area, and no label
// over another one of its row. Push buttons: the caption and the button's frame fit.
void ExpectEveryTextWhole(THeadlessDesktop& Desktop, TForm& Form) {
    const std::int32_t fontHeight = ScaleByDpi(-11, Desktop.Dpi);
    const std::size_t before = Desktop.TextOuts.size();
    std::vector<TControl*> labels;
    for (TControl* control : Form.Controls()) {
        SCOPED_TRACE(ToUtf8(control->Caption()));
        EXPECT_LE(control->Left() + control->Width(), Form.ClientWidth());
        EXPECT_LE(control->Top() + control->Height(), Form.ClientHeight());
        if (dynamic_cast<TLabel*>(control)) {
            Desktop.Send(control->Handle(), WM_PAINT);
            labels.push_back(control);
        }
        if (dynamic_cast<TButton*>(control)) {
            const auto& received = Desktop.Window(control->Handle()).Received;
            const auto font = std::find_if(received.rbegin(), received.rend(),
                                           [](const auto& m) { return m.first == WM_SETFONT; });
            ASSERT_NE(font, received.rend());
            const auto& style = Desktop.FontStyles.at(static_cast<HFONT_T>(font->second));
            EXPECT_EQ(style.first, fontHeight);
            const TRect text =
                THeadlessDesktop::TextExtent(control->Caption(), style.first, style.second >= 700);
            // The button's edge and focus rectangle take about three pixels on each side.
            EXPECT_LE(text.Right + ScaleByDpi(8, Desktop.Dpi), control->Width());
            EXPECT_LE(text.Bottom + ScaleByDpi(4, Desktop.Dpi), control->Height());
        }
    }
    ASSERT_EQ(Desktop.TextOuts.size() - before, labels.size());
    for (std::size_t i = before; i < Desktop.TextOuts.size(); ++i) {
        const THeadlessDesktop::TTextOut& out = Desktop.TextOuts[i];
        SCOPED_TRACE(ToUtf8(out.Text));
        const auto& style = Desktop.FontStyles.at(out.Font);
        EXPECT_EQ(style.first, fontHeight);
        const TRect text = THeadlessDesktop::TextExtent(out.Text, style.first, style.second >= 700);
        EXPECT_LE(text.Right, out.Rect.Right - out.Rect.Left) << "cut at the right";
        EXPECT_LE(text.Bottom, out.Rect.Bottom - out.Rect.Top) << "cut at the bottom";
    }
    for (const TControl* a : labels) {
        for (const TControl* b : labels) {
            const bool sameRow = a->Top() < b->Top() + b->Height() && b->Top() < a->Top() + a->Height();
            if (a != b && sameRow && a->Left() <= b->Left()) {
                EXPECT_LE(a->Left() + a->Width(), b->Left())
                    << ToUtf8(a->Caption()) << " runs into " << ToUtf8(b->Caption());
            }
        }
    }
}

class EveryScale : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(EveryScale, TheMainWindowShowsEveryTextWholeInEveryState) {
    TProgramHarness h;
    h.Desktop.Dpi = GetParam();
    h.Start(u"");
    SCOPED_TRACE("internet on");
    ExpectEveryTextWhole(h.Desktop, *h.Form);
    h.TurnAdaptersOff();
    h.Send(WM_DEVICECHANGE, test::DBT_DEVNODES_CHANGED, 0);
    ASSERT_EQ(h.Form->lblState->Caption(), u"Internet is turned off");
    SCOPED_TRACE("internet off");
    ExpectEveryTextWhole(h.Desktop, *h.Form);
    // The longest state text.
    h.Machine.sim.SetFault(sim::SimCall::GetClassDevs, ERROR_ACCESS_DENIED);
    h.Send(WM_DEVICECHANGE, test::DBT_DEVNODES_CHANGED, 0);
    ASSERT_EQ(h.Form->lblState->Caption(), u"Network adapters cannot be listed");
    SCOPED_TRACE("adapters not listed");
    ExpectEveryTextWhole(h.Desktop, *h.Form);
}

TEST_P(EveryScale, TheAboutWindowShowsEveryTextWhole) {
    THeadlessDesktop desktop;
    desktop.Dpi = GetParam();
    tarnwick::testing::FakeShellExecutePlatform shell;
    TApplication app(desktop, desktop, desktop);
    TOwned<TfrmAbout> about = MakeComponent<TfrmAbout>(app, &app, shell);
    about->Handle();
    ExpectEveryTextWhole(desktop, *about);
}

INSTANTIATE_TEST_SUITE_P(Dpi, EveryScale, ::testing::Values(96u, 120u, 144u, 192u));

TEST(Scaling, TheMainWindowTakesItsDesignTimesTheMonitorsScale) {
    TProgramHarness h;
    h.Desktop.Dpi = 144;
    h.Start(u"");
    TForm1& f = *h.Form;
    EXPECT_EQ(f.ClientWidth(), 372);
    EXPECT_EQ(f.ClientHeight(), 111);
    EXPECT_EQ(f.Width(), 372 + 2 * 4) << "the frame at 144 DPI";
    EXPECT_EQ(BoundsOf(*f.btnSwitch), (TRect{119, 56, 230, 38})); // 78.5, 55.5, 229.5, 37.5 rounded up
    EXPECT_EQ(BoundsOf(*f.imgInternetOn), (TRect{23, 20, 74, 74}));
    EXPECT_EQ(f.lblState->Left(), 143);
    EXPECT_EQ(f.lblState->Top(), 20);
    const auto& window = h.Desktop.Window(f.Handle());
    EXPECT_EQ(window.Rect.Right - window.Rect.Left, f.Width());
}

TEST(Scaling, AMoveToAMonitorOfAnotherScaleLaysTheWindowOutAnewWhereTheSystemSuggests) {
    TProgramHarness h;
    h.Start(u"");
    TForm1& f = *h.Form;
    const TRect button = BoundsOf(*f.btnSwitch);
    const TRect label = BoundsOf(*f.lblState);
    struct TMove {
        std::uint32_t Dpi;
        TRect Suggested;
        std::int32_t ClientWidth, ClientHeight;
    } const moves[] = {
        {144, {1400, 300, 1780, 440}, 372, 111},
        {192, {2000, 200, 2510, 380}, 496, 148},
        {96, {500, 600, 754, 699}, 248, 74},
    };
    for (const TMove& move : moves) {
        SCOPED_TRACE(move.Dpi);
        h.Desktop.Dpi = move.Dpi;
        TRect suggested = move.Suggested;
        h.Send(WM_DPICHANGED, (std::uintptr_t{move.Dpi} << 16) | move.Dpi,
               reinterpret_cast<std::intptr_t>(&suggested));
        EXPECT_EQ(f.ClientWidth(), move.ClientWidth);
        EXPECT_EQ(f.ClientHeight(), move.ClientHeight);
        const auto& window = h.Desktop.Window(f.Handle()).Rect;
        EXPECT_EQ(window.Left, suggested.Left);
        EXPECT_EQ(window.Top, suggested.Top);
        EXPECT_EQ(f.btnSwitch->Width(), ScaleByDpi(153, move.Dpi));
        EXPECT_EQ(h.Desktop.FontStyles.at(f.lblState->FontHandle()).first, ScaleByDpi(-11, move.Dpi));
    }
    EXPECT_EQ(BoundsOf(*f.btnSwitch), button) << "back at 96 DPI: the design exactly, nothing drifted";
    EXPECT_EQ(BoundsOf(*f.lblState), label);
}

TEST(Scaling, PicturesAreTheLargestRenderingTheScaleHasRoomForAndFollowAMove) {
    const struct {
        std::uint32_t Dpi;
        const char16_t* Globe;
        const char16_t* Product;
    } cases[] = {
        {96, u"PNG_INTERNET_ON", u"PNG_PRODUCT"},          {120, u"PNG_INTERNET_ON", u"PNG_PRODUCT"},
        {144, u"PNG_INTERNET_ON_150", u"PNG_PRODUCT_150"}, {168, u"PNG_INTERNET_ON_150", u"PNG_PRODUCT_150"},
        {192, u"PNG_INTERNET_ON_200", u"PNG_PRODUCT_200"}, {288, u"PNG_INTERNET_ON_200", u"PNG_PRODUCT_200"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Dpi);
        TProgramHarness h;
        h.Desktop.Dpi = c.Dpi;
        h.Start(u"");
        EXPECT_EQ(h.Form->imgInternetOn->RenderingName(), c.Globe);
        EXPECT_EQ(h.Form->imgInternetOn->Picture(), h.Desktop.Pictures.at(c.Globe));
        tarnwick::testing::FakeShellExecutePlatform shell;
        TOwned<TfrmAbout> about = MakeComponent<TfrmAbout>(*h.App, h.App.get(), shell);
        about->Handle();
        EXPECT_EQ(about->Image1->RenderingName(), c.Product);
    }

    TProgramHarness h;
    h.Start(u"");
    TRect suggested{0, 0, 400, 200};
    h.Send(WM_DPICHANGED, (192u << 16) | 192u, reinterpret_cast<std::intptr_t>(&suggested));
    EXPECT_EQ(h.Form->imgTarnwick->RenderingName(), u"PNG_INTERNET_OFF_200");
    EXPECT_EQ(h.Form->imgInternetOn->RenderingName(), u"PNG_INTERNET_ON_200");
    EXPECT_EQ(h.Desktop.LoadedPictures, (std::multiset<HPICTURE_T>{0x9C1, 0x9C2})) << "the 100 % ones freed";
}

struct Growing : ::testing::Test {
    THeadlessDesktop Desktop;
    TApplication App{Desktop, Desktop, Desktop};
    TOwned<TForm> Form = MakeComponent<TForm>(App, &App);
    TOwned<TLabel> Caption = MakeComponent<TLabel>(*Form, Form.get());
    TOwned<TLabel> Beside = MakeComponent<TLabel>(*Form, Form.get());

    Growing() {
        Form->SetClientSize(200, 40);
        Caption->SetBounds(10, 10, 50, 13);
        Caption->SetCaption(u"Name: ");
        Beside->SetBounds(60, 10, 50, 13);
        Beside->SetCaption(u"value");
        Beside->KeepRightOf(*Caption);
        Form->Handle();
    }
    std::int32_t Measured(const std::u16string& Text) const {
        return THeadlessDesktop::TextExtent(Text, -11, false).Right;
    }
};

TEST_F(Growing, ALabelFollowsItsCaptionAndPushesItsNeighbourAlong) {
    EXPECT_EQ(BoundsOf(*Caption), (TRect{10, 10, Measured(u"Name: "), 13}));
    EXPECT_EQ(Beside->Left(), 60) << "designed place while the caption fits";
    EXPECT_EQ(Desktop.Window(Beside->Handle()).Rect.Left, 60);

    Caption->SetCaption(u"A much longer name: ");
    EXPECT_EQ(Caption->Width(), Measured(u"A much longer name: "));
    EXPECT_EQ(Beside->Left(), 10 + Caption->Width());
    EXPECT_EQ(Desktop.Window(Beside->Handle()).Rect.Left, Beside->Left());

    Caption->SetCaption(u"Name: ");
    EXPECT_EQ(Beside->Left(), 60) << "back at its designed place";
}

TEST_F(Growing, AFormKeepsItsDesignedSizeWhereTheTextFitsAndGrowsOnlyWhereItDoesNot) {
    EXPECT_EQ(Form->ClientWidth(), 200);
    EXPECT_EQ(Form->ClientHeight(), 40);
    Beside->SetCaption(u"a value far too long for the window as it was designed");
    EXPECT_EQ(Form->ClientWidth(), Beside->Left() + Beside->Width() + 8);
    EXPECT_EQ(Form->ClientHeight(), 40);
    const auto& window = Desktop.Window(Form->Handle()).Rect;
    EXPECT_EQ(window.Right - window.Left, Form->ClientWidth() + 2 * 3);

    TFont large = Beside->Font();
    large.Height = -30;
    Beside->SetFont(large);
    EXPECT_EQ(Beside->Height(), 32);
    EXPECT_EQ(Form->ClientHeight(), 10 + 32 + 8);

    Beside->SetFont(Caption->Font());
    Beside->SetCaption(u"value");
    EXPECT_EQ(Form->ClientWidth(), 200);
    EXPECT_EQ(Form->ClientHeight(), 40);
}

TEST_F(Growing, ALabelWithoutAutoSizeKeepsItsDesignedSize) {
    Caption->SetAutoSize(false);
    EXPECT_EQ(BoundsOf(*Caption), (TRect{10, 10, 50, 13}));
    Caption->SetAutoSize(true);
    EXPECT_EQ(Caption->Width(), Measured(u"Name: "));
}

} // namespace
} // namespace tarnwick
