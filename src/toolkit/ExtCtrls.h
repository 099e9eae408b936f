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
    // when the form's window is made, at the form's scale, and again when the scale changes.
    void LoadPicture(std::u16string ResourceName);
    const std::u16string& PictureName() const noexcept { return FPictureName; }
    // The rendering decoded for the present scale, and its resource name.
    HPICTURE_T Picture() const noexcept { return FPicture; }
    const std::u16string& RenderingName() const noexcept { return FRenderingName; }

protected:
    const char16_t* WindowClassName() const noexcept override { return ImageWindowClassName; }
    void Paint(TCanvas& Canvas) override;
    void ContentChanged() override;

private:
    void FreePicture() noexcept;
    void LoadRendering();

    std::u16string FPictureName;
    std::u16string FRenderingName;
    HPICTURE_T FPicture = 0;
};

// An etched line along the top of its place: a rule between parts of a form.
class TBevel : public TControl {
public:
    using TControl::TControl;

protected:
    const char16_t* WindowClassName() const noexcept override { return BevelWindowClassName; }
    void Paint(TCanvas& Canvas) override;
};

} // namespace tarnwick
