#include "lumivane/framework/Icon.h"

#include "lumivane/framework/Canvas.h"
#include "lumivane/gfx/raster/DeviceContext.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/layout/PictureData.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/image/Bmp.h"
#include "lumivane/gfx/image/FileBytes.h"

namespace lumivane {

namespace {
// The window system draws a masked icon by xoring its colour where the mask is transparent; an
// icon file with colour there would tint what lies beneath. Our icons are meant to be
// transparent outside their shape, so the colour under the mask is cleared once.
void ClearUnderMask(Surface& colour, const Surface& mask, const uint8_t* alpha) {
    if (alpha || mask.Width() < colour.Width() || mask.Height() < colour.Height()) return;
    for (int y = 0; y < colour.Height(); ++y)
        for (int x = 0; x < colour.Width(); ++x)
            if ((mask.Get(x, y) & 0xFFFFFF) == 0xFFFFFF) colour.Set(x, y, 0);
}

}  // namespace

LUMI_DEFINE_CLASS(TIcon) {}

TIcon::TIcon() { FTransparent = true; }

TIcon::~TIcon() = default;

size_t TIcon::MaxFileSize() const { return kMaxIcoFileSize; }

void TIcon::Decode() {
    if (FImage.Width() == 0 || FImage.Height() == 0) {
        FColor = Surface();
        FMask = Surface();
        return;
    }
    FColor = FImage.ColorSurface();
    FMask = FImage.MaskSurface();
    ClearUnderMask(FColor, FMask, FImage.AlphaOrNull());
}

void TIcon::LoadFromStream(std::span<const uint8_t> data) {
    std::vector<IconImage> images = ReadIco(data);
    const int best = BestIconImage(images, 32);
    if (best < 0) throw Exception("ICO: the file holds no images");
    IconImage img = std::move(images[static_cast<size_t>(best)]);
    Surface colour = img.ColorSurface();
    Surface mask = img.MaskSurface();
    ClearUnderMask(colour, mask, img.AlphaOrNull());
    FBytes.assign(data.begin(), data.end());
    FImage = std::move(img);
    FColor = std::move(colour);
    FMask = std::move(mask);
    Changed();
}

void TIcon::SetImage(const IconImage& image) {
    TBytes bytes = WriteIco({image});
    FBytes = std::move(bytes);
    FImage = image;
    Decode();
    Changed();
}

std::vector<uint32_t> TIcon::ToArgb() const {
    const int w = Width(), h = Height();
    std::vector<uint32_t> out(static_cast<size_t>(w) * h);
    const uint8_t* alpha = FImage.AlphaOrNull();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>(y) * w + x;
            uint32_t a = alpha ? alpha[i] : ((FMask.Get(x, y) & 0xFFFFFF) == 0xFFFFFF ? 0 : 255);
            out[i] = (a << 24) | (FColor.Get(x, y) & 0xFFFFFF);
        }
    return out;
}

void TIcon::Draw(TCanvas* canvas, const TRect& r) {
    if (!canvas || Empty() || r.IsEmpty()) return;
    DrawImageScaled(*canvas->Handle(), r, FColor, &FMask, FImage.AlphaOrNull());
}

void TIcon::Assign(TPersistent* Source) {
    if (Source == this) return;
    if (auto* i = dynamic_cast<TIcon*>(Source)) {
        FBytes = i->FBytes;
        FImage = i->FImage;
        FColor = i->FColor;
        FMask = i->FMask;
        Changed();
        return;
    }
    if (!Source || (dynamic_cast<TGraphic*>(Source) && static_cast<TGraphic*>(Source)->Empty())) {
        FBytes.clear();
        FImage = IconImage();
        Decode();
        Changed();
        return;
    }
    inherited::Assign(Source);
}

}  // namespace lumivane
