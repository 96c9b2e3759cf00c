#include "lumivane/framework/Bitmap.h"

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
int DepthOf(TPixelFormat f) {
    switch (f) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf32bit: return 32;
    default: return 24;
    }
}

TPixelFormat FormatOfDepth(int bpp) {
    switch (bpp) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 32: return pf32bit;
    default: return pf24bit;
    }
}

}  // namespace

LUMI_DEFINE_CLASS(TBitmap) {}

namespace {
// A bitmap's canvas tells its bitmap of every drawing before its own OnChange, which users may set.
class TBitmapCanvas : public TCanvas {
public:
    TBitmapCanvas(HDC dc, std::function<void()> drawn) : TCanvas(dc), FDrawn(std::move(drawn)) {}

protected:
    void Changed() override {
        FDrawn();
        TCanvas::Changed();
    }

private:
    std::function<void()> FDrawn;
};
}  // namespace

TBitmap::TBitmap()
    : FDC(std::make_unique<DeviceContext>(&FSurface)),
      FCanvas(std::make_unique<TBitmapCanvas>(FDC.get(), [this] { Changed(); })) {}

TBitmap::~TBitmap() = default;

void TBitmap::ResetContext() { FDC->SetClip(Region(FSurface.Bounds())); }

void TBitmap::Changed() { inherited::Changed(); }

size_t TBitmap::MaxFileSize() const { return kMaxBmpFileSize; }

void TBitmap::SetSize(int w, int h) {
    if (w == Width() && h == Height()) return;
    Surface s(w, h);  // throws for a bad size before anything changes
    if (FSurface.Monochrome()) s.SetMonochrome(true);
    const int cw = std::min(w, Width()), ch = std::min(h, Height());
    for (int y = 0; y < ch; ++y) std::memcpy(s.Row(y), FSurface.Row(y), sizeof(Pixel) * cw);
    FSurface = std::move(s);
    ResetContext();
    Changed();
}

void TBitmap::SetMonochrome(bool Value) {
    if (Value == Monochrome()) return;
    FSurface.SetMonochrome(Value);
    FPixelFormat = Value ? pf1bit : pfDevice;
    FPalette = Value ? std::vector<Pixel>{0x000000, 0xFFFFFF} : std::vector<Pixel>{};
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
    if (Value == FPixelFormat) return;
    if (Value == pf1bit) {
        SetMonochrome(true);
        return;
    }
    FSurface.SetMonochrome(false);
    if (Value == pf4bit || Value == pf8bit) {
        // The pixels take the colours the format can hold.
        Dib d = Dib::FromSurface(FSurface, DepthOf(Value));
        Surface s = d.ToSurface(false);
        FSurface = std::move(s);
        FPalette = d.Palette();
    } else {
        FPalette.clear();
    }
    FPixelFormat = Value;
    ResetContext();
    Changed();
}

TColor TBitmap::TransparentColor() const {
    if (FTransparentMode == tmFixed) return FTransparentColor;
    if (Empty()) return clDefault;
    return PixelToColor(FSurface.Get(0, FSurface.Height() - 1));
}

void TBitmap::SetTransparentColor(TColor Value) {
    TTransparentMode mode = Value == clDefault ? tmAuto : tmFixed;
    if (Value == FTransparentColor && mode == FTransparentMode) return;
    FTransparentColor = Value;
    FTransparentMode = mode;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
    if (Value == FTransparentMode) return;
    // Fixing the colour keeps the one in use now.
    if (Value == tmFixed) FTransparentColor = TransparentColor();
    FTransparentMode = Value;
    Changed();
}

void TBitmap::Draw(TCanvas* canvas, const TRect& r) {
    if (!canvas || Empty() || r.IsEmpty()) return;
    DeviceContext& dst = *canvas->Handle();
    if (Transparent())
        TransparentBlt(dst, r.Left, r.Top, r.Width(), r.Height(), *FDC, 0, 0, Width(), Height(), TransparentColor());
    else
        StretchBlt(dst, r.Left, r.Top, r.Width(), r.Height(), *FDC, 0, 0, Width(), Height(), canvas->CopyMode());
}

void TBitmap::LoadFromDib(const Dib& d) { LoadFromDib(Dib(d)); }

void TBitmap::LoadFromDib(Dib&& d) {
    Surface s = d.ToSurface(true);
    FSurface = std::move(s);
    FPixelFormat = FormatOfDepth(d.BitsPerPixel());
    FPalette = d.Indexed() ? d.Palette() : std::vector<Pixel>{};
    FLoadedDib = std::make_shared<const Dib>(std::move(d));
    FLoadedBytes.reset();
    ResetContext();
    Changed();
}

void TBitmap::LoadFromStream(std::span<const uint8_t> data) {
    LoadFromDib(ReadBmp(data));
    FLoadedBytes = std::make_shared<const TBytes>(data.begin(), data.end());
}

Dib TBitmap::ToDib() const {
    const int bpp = DepthOf(FPixelFormat);
    Dib d = Dib::FromSurface(FSurface, bpp, bpp <= 8 ? FPalette : std::vector<Pixel>{});
    if (FLoadedDib) {
        d.SetResolution(FLoadedDib->XPelsPerMeter(), FLoadedDib->YPelsPerMeter());
        d.SetTopDown(FLoadedDib->TopDown());
        // Plain bitmaps carry their alpha bytes along untouched.
        if (bpp == 32 && FLoadedDib->BitsPerPixel() == 32 && FLoadedDib->Width() == d.Width() &&
            FLoadedDib->Height() == d.Height())
            for (int y = 0; y < d.Height(); ++y)
                std::memcpy(d.AlphaRow(y), FLoadedDib->AlphaRow(y), static_cast<size_t>(d.Width()));
    }
    return d;
}

TBytes TBitmap::SaveToStream() const {
    if (Empty()) return {};
    Dib d = ToDib();
    // Unchanged pixels give back the file they came from, whatever header it had.
    if (FLoadedBytes && FLoadedDib && d == *FLoadedDib) return *FLoadedBytes;
    return WriteBmp(d);
}

void TBitmap::Clear() {
    FSurface = Surface();
    FPixelFormat = pfDevice;
    FPalette.clear();
    FLoadedDib.reset();
    FLoadedBytes.reset();
    ResetContext();
}

void TBitmap::Assign(TPersistent* Source) {
    if (Source == this) return;
    if (!Source) {
        Clear();
        Changed();
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        FSurface = b->FSurface;
        FPixelFormat = b->FPixelFormat;
        FPalette = b->FPalette;
        FTransparent = b->FTransparent;
        FTransparentColor = b->FTransparentColor;
        FTransparentMode = b->FTransparentMode;
        // Immutable records of the loaded file; sharing them keeps the copies independent.
        FLoadedDib = b->FLoadedDib;
        FLoadedBytes = b->FLoadedBytes;
        ResetContext();
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source); g && g->Empty()) {
        Clear();
        Changed();
        return;
    }
    inherited::Assign(Source);
}

}  // namespace lumivane
