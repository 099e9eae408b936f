#pragma once
// Colours, fonts and the canvas the toolkit paints its controls with.

#include <cstdint>
#include <string>

#include "platform/GuiPlatform.h"

namespace tarnwick {

// A colour in the platform's order, 0x00BBGGRR; with the high byte 0xFF it names a system colour by its
// index instead (resolved when it is painted).
using TColor = std::uint32_t;
inline constexpr TColor clSystemColor = 0xFF000000;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clWindow = clSystemColor | 5;     // COLOR_WINDOW
inline constexpr TColor clWindowText = clSystemColor | 8; // COLOR_WINDOWTEXT
inline constexpr TColor clBtnFace = clSystemColor | 15;   // COLOR_BTNFACE
inline constexpr TColor clHotLight = clSystemColor | 26;  // COLOR_HOTLIGHT

// The colour as the platform paints it.
COLORREF_T ColorToRGB(IGuiPlatform& Gui, TColor Color);

// The toolkit's default font is Tahoma with characters 11 pixels high.
struct TFont {
    std::u16string Name = u"Tahoma";
    std::int32_t Height = -11; // negative: the character height in pixels, as the platform takes it
    bool Bold = false;
    TColor Color = clWindowText;

    friend bool operator==(const TFont&, const TFont&) = default;
};

// Drawing on one device context during one paint.
class TCanvas {
public:
    TCanvas(IGuiPlatform& Gui, HDC_T Handle) : FGui(Gui), FHandle(Handle) {}

    HDC_T Handle() const noexcept { return FHandle; }
    void FillRect(const TRect& Rect, TColor Color);
    // Text in the font (made by the caller) and colour, on a transparent background.
    void TextRect(TRect Rect, const std::u16string& Text, HFONT_T Font, TColor Color, std::uint32_t Format);
    void Draw(std::int32_t X, std::int32_t Y, HPICTURE_T Picture);
    void DrawEdge(TRect Rect, std::uint32_t Edge, std::uint32_t Flags);

private:
    IGuiPlatform& FGui;
    HDC_T FHandle;
};

} // namespace tarnwick
