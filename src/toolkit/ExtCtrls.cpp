#include "toolkit/ExtCtrls.h"

#include "core/PlatformConstants.h"
#include "toolkit/Application.h"

namespace tarnwick {

TImage::~TImage() {
    FreePicture();
}

void TImage::FreePicture() noexcept {
    if (FPicture) {
        Application().Gui().FreePicture(FPicture);
        FPicture = 0;
    }
}

void TImage::LoadPicture(std::u16string ResourceName) {
    FreePicture();
    FPictureName = std::move(ResourceName);
    FDecoded = false;
    Invalidate();
}

HPICTURE_T TImage::Picture() const {
    if (!FDecoded && !FPictureName.empty()) {
        FDecoded = true;
        FPicture = Application().Gui().LoadPngResource(FPictureName.c_str());
    }
    return FPicture;
}

void TImage::Paint(TCanvas& Canvas) {
    Canvas.Draw(0, 0, Picture());
}

void TBevel::Paint(TCanvas& Canvas) {
    Canvas.DrawEdge({0, 0, Width(), Height()}, EDGE_ETCHED, BF_TOP);
}

} // namespace tarnwick
