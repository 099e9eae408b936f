#pragma once
// Pictures and bevels, painted by the toolkit.

#include <string>

#include "toolkit/Control.h"

namespace tarnwick {

inline constexpr char16_t ImageWindowClassName[] = u"TarnwickImage";
inline constexpr char16_t BevelWindowClassName[] = u"TarnwickBevel";

// A PNG picture from the program's resources, drawn at its own size in the top-left corner. A picture may
// come rendered for larger display scales too, under its name followed by "_150" or "_200": the image draws
// the largest rendering that its form's scale has room for, pixel for pixel, never stretched into a blur.
class TImage : public TControl {
public:
    using TControl::TControl;
    ~TImage() override;

    // The picture kept under this resource name (nothing is shown when it cannot be loaded). It is decoded
    // at the form's scale when first asked for, which painting does: a form that stays hidden in the tray
    // never decodes its pictures. A change of scale lets it go, to be decoded again at the new one.
    void LoadPicture(std::u16string ResourceName);
    const std::u16string& PictureName() const noexcept { return FPictureName; }
    // The rendering for the present scale, and its resource name; decoded now if it is not yet.
    HPICTURE_T Picture();
    const std::u16string& RenderingName();
    bool WaitsUntilSeen() const noexcept override { return true; }
    // A graphic, named by its caption: say there what the picture shows.
    std::uint32_t AccessibleRole() const noexcept override;

protected:
    const char16_t* WindowClassName() const noexcept override { return ImageWindowClassName; }
    void Paint(TCanvas& Canvas) override;
    void ContentChanged() override;

private:
    void FreePicture() noexcept;
    void LoadRendering();
    // Decodes the rendering for the present scale unless it is decoded, or there is no window to scale by.
    void DecodeWhenDue();

    std::u16string FPictureName;
    std::u16string FRenderingName;
    HPICTURE_T FPicture = 0;
    bool FDecoded = false;
};

// An etched line along the top of its place: a rule between parts of a form.
class TBevel : public TControl {
public:
    using TControl::TControl;
    std::uint32_t AccessibleRole() const noexcept override;

protected:
    const char16_t* WindowClassName() const noexcept override { return BevelWindowClassName; }
    void Paint(TCanvas& Canvas) override;
};

} // namespace tarnwick
