#pragma once
// Pictures and bevels, painted by the toolkit.

#include <string>

#include "toolkit/Control.h"

namespace tarnwick {

inline constexpr char16_t ImageWindowClassName[] = u"TarnwickImage";
inline constexpr char16_t BevelWindowClassName[] = u"TarnwickBevel";

// A PNG picture from the program's resources, drawn at its own size in the top-left corner.
class TImage : public TControl {
public:
    using TControl::TControl;
    ~TImage() override;

    // Names the picture kept under this resource name (nothing is shown when it cannot be loaded). It is
    // decoded when first painted or asked for: a program that starts into the tray shows none at first.
    void LoadPicture(std::u16string ResourceName);
    const std::u16string& PictureName() const noexcept { return FPictureName; }
    HPICTURE_T Picture() const;

protected:
    const char16_t* WindowClassName() const noexcept override { return ImageWindowClassName; }
    void Paint(TCanvas& Canvas) override;

private:
    void FreePicture() noexcept;

    std::u16string FPictureName;
    mutable HPICTURE_T FPicture = 0;
    mutable bool FDecoded = false;
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
