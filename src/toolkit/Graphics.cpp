#include "toolkit/Graphics.h"

#include "core/PlatformConstants.h"

namespace tarnwick {

COLORREF_T ColorToRGB(IGuiPlatform& Gui, TColor Color) {
    if ((Color & clSystemColor) == clSystemColor) {
        return Gui.GetSysColor(static_cast<std::int32_t>(Color & 0xFF));
    }
    return Color & 0xFFFFFF;
}

std::int32_t ScaleByDpi(std::int32_t Value, std::uint32_t Dpi) noexcept {
    const std::int64_t scaled = std::int64_t{Value} * Dpi;
    const std::int64_t half = DesignDpi / 2;
    return static_cast<std::int32_t>(scaled >= 0 ? (scaled + half) / DesignDpi : (scaled - half) / DesignDpi);
}

std::optional<TRect> TextExtent(IGuiPlatform& Gui, const std::u16string& Text, HFONT_T Font,
                                std::uint32_t Format) {
    const HDC_T dc = Gui.CreateCompatibleDC(0);
    if (!dc) {
        return std::nullopt;
    }
    const HGDIOBJ_T previous = Gui.SelectObject(dc, Font);
    TRect extent{0, 0, 0, 0};
    const bool measured = Gui.DrawTextW(dc, Text, extent, Format | DT_CALCRECT) != 0;
    Gui.SelectObject(dc, previous);
    Gui.DeleteDC(dc);
    if (!measured) {
        return std::nullopt;
    }
    return extent;
}

void TCanvas::FillRect(const TRect& Rect, TColor Color) {
    const HBRUSH_T brush = FGui.CreateSolidBrush(ColorToRGB(FGui, Color));
    FGui.FillRect(FHandle, Rect, brush);
    FGui.DeleteObject(brush);
}

void TCanvas::TextRect(TRect Rect, const std::u16string& Text, HFONT_T Font, TColor Color,
                       std::uint32_t Format) {
    const HGDIOBJ_T previous = FGui.SelectObject(FHandle, Font);
    FGui.SetTextColor(FHandle, ColorToRGB(FGui, Color));
    FGui.SetBkMode(FHandle, static_cast<std::int32_t>(TRANSPARENT));
    FGui.DrawTextW(FHandle, Text, Rect, Format);
    FGui.SelectObject(FHandle, previous);
}

void TCanvas::Draw(std::int32_t X, std::int32_t Y, HPICTURE_T Picture) {
    if (Picture) {
        FGui.DrawPicture(FHandle, Picture, X, Y);
    }
}

void TCanvas::DrawEdge(TRect Rect, std::uint32_t Edge, std::uint32_t Flags) {
    FGui.DrawEdge(FHandle, Rect, Edge, Flags);
}

} // namespace tarnwick
