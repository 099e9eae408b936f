#include "toolkit/ExtCtrls.h"

#include "core/PlatformConstants.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace tarnwick {

TImage::~TImage() {
    FreePicture();
}

void TImage::FreePicture() noexcept {
    if (FPicture) {
        Application().Gui().FreePicture(FPicture);
        FPicture = 0;
    }
    FRenderingName.clear();
    FDecoded = false;
}

void TImage::LoadPicture(std::u16string ResourceName) {
    FreePicture();
    FPictureName = std::move(ResourceName);
    Invalidate();
}

void TImage::ContentChanged() {
    // The scale may have changed: the next paint decodes the rendering that suits it.
    FreePicture();
    Invalidate();
}

void TImage::DecodeWhenDue() {
    if (!FDecoded && !FPictureName.empty() && Parent().HandleAllocated()) {
        LoadRendering();
    }
}

HPICTURE_T TImage::Picture() {
    DecodeWhenDue();
    return FPicture;
}

const std::u16string& TImage::RenderingName() {
    DecodeWhenDue();
    return FRenderingName;
}

void TImage::LoadRendering() {
    const struct {
        std::uint32_t Percent;
        const char16_t* Suffix;
    } renderings[] = {{200, u"_200"}, {150, u"_150"}, {100, u""}};
    const std::uint32_t percent = Parent().Dpi() * 100 / DesignDpi;
    FreePicture();
    FDecoded = true; // also when no rendering loads: a missing picture is not looked for at every paint
    for (const auto& rendering : renderings) {
        if (rendering.Percent > percent && rendering.Percent != 100) {
            continue; // larger than the scale has room for
        }
        std::u16string name = FPictureName + rendering.Suffix;
        if (const HPICTURE_T picture = Application().Gui().LoadPngResource(name.c_str())) {
            FPicture = picture;
            FRenderingName = std::move(name);
            break;
        }
    }
}

void TImage::Paint(TCanvas& Canvas) {
    Canvas.Draw(0, 0, Picture());
}

void TBevel::Paint(TCanvas& Canvas) {
    Canvas.DrawEdge({0, 0, Width(), Height()}, EDGE_ETCHED, BF_TOP);
}

std::uint32_t TImage::AccessibleRole() const noexcept {
    return ROLE_SYSTEM_GRAPHIC;
}

std::uint32_t TBevel::AccessibleRole() const noexcept {
    return ROLE_SYSTEM_SEPARATOR;
}

} // namespace tarnwick
