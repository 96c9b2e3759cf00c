#include "lumivane/framework/PngImage.h"

#include "lumivane/base/Exception.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/image/Png.h"
#include "lumivane/gfx/raster/DeviceContext.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TPngImage) {}

TPngImage::TPngImage() = default;
TPngImage::~TPngImage() = default;

size_t TPngImage::MaxFileSize() const { return kMaxPngFileSize; }

void TPngImage::Draw(TCanvas* canvas, const TRect& r) {
    if (!canvas || Empty()) return;
    DrawImageScaled(*canvas->Handle(), r, FColor, nullptr, Transparent() ? FAlpha.data() : nullptr);
}

void TPngImage::DrawPart(TCanvas* canvas, int x, int y, const TRect& source) {
    const TRect part = source.Intersect(FColor.Bounds());
    if (!canvas || part.IsEmpty()) return;
    Surface colour(part.Width(), part.Height());
    std::vector<uint8_t> alpha(static_cast<size_t>(part.Width()) * part.Height());
    for (int row = 0; row < part.Height(); ++row)
        for (int col = 0; col < part.Width(); ++col) {
            colour.Set(col, row, FColor.Get(part.Left + col, part.Top + row));
            alpha[static_cast<size_t>(row) * part.Width() + col] =
                FAlpha[static_cast<size_t>(part.Top + row) * FColor.Width() + part.Left + col];
        }
    DrawIconImage(*canvas->Handle(), x + part.Left - source.Left, y + part.Top - source.Top, colour, nullptr,
                  Transparent() ? alpha.data() : nullptr);
}

void TPngImage::LoadFromStream(std::span<const uint8_t> data) {
    PngImage image = ReadPng(data);
    FBytes.assign(data.begin(), data.end());
    FColor = std::move(image.colour);
    FAlpha = std::move(image.alpha);
    Changed();
}

void TPngImage::Assign(TPersistent* Source) {
    if (Source == this) return;
    if (auto* p = dynamic_cast<TPngImage*>(Source)) {
        FBytes = p->FBytes;
        FColor = p->FColor;
        FAlpha = p->FAlpha;
        FTransparent = p->FTransparent;
        Changed();
        return;
    }
    if (!Source || (dynamic_cast<TGraphic*>(Source) && static_cast<TGraphic*>(Source)->Empty())) {
        FBytes.clear();
        FColor = Surface();
        FAlpha.clear();
        Changed();
        return;
    }
    inherited::Assign(Source);
}

}  // namespace lumivane
