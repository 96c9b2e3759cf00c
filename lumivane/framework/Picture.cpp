#include "lumivane/framework/Picture.h"

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

// The window system draws a masked icon by xoring its colour where the mask is transparent; an
// icon file with colour there would tint what lies beneath. Our icons are meant to be
// transparent outside their shape, so the colour under the mask is cleared once.
void ClearUnderMask(Surface& colour, const Surface& mask, const uint8_t* alpha) {
    if (alpha || mask.Width() < colour.Width() || mask.Height() < colour.Height()) return;
    for (int y = 0; y < colour.Height(); ++y)
        for (int x = 0; x < colour.Width(); ++x)
            if ((mask.Get(x, y) & 0xFFFFFF) == 0xFFFFFF) colour.Set(x, y, 0);
}

std::string Printable(std::string_view s) {
    std::string out;
    for (char c : s) out += (c >= 0x20 && c < 0x7F) ? c : '?';
    return out;
}
}  // namespace

// ---- TGraphic ----

LUMI_DEFINE_CLASS(TGraphic) {}

void TGraphic::SetTransparent(bool Value) {
    if (Value == FTransparent) return;
    FTransparent = Value;
    Changed();
}

void TGraphic::SetModified(bool Value) {
    if (Value)
        Changed();
    else
        FModified = false;
}

void TGraphic::Changed() {
    FModified = true;
    OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& path) {
    TBytes bytes = ReadFileBytes(path, MaxFileSize());
    try {
        LoadFromStream(bytes);
    } catch (const Exception& e) {
        throw Exception(path + ": " + e.Message());
    }
}

void TGraphic::SaveToFile(const std::string& path) const { WriteFileBytes(path, SaveToStream()); }

// ---- TBitmap ----

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

void TBitmap::LoadFromDib(const Dib& d) {
    Surface s = d.ToSurface(true);
    FSurface = std::move(s);
    FPixelFormat = FormatOfDepth(d.BitsPerPixel());
    FPalette = d.Indexed() ? d.Palette() : std::vector<Pixel>{};
    FLoadedDib = std::make_shared<const Dib>(d);
    FLoadedBytes.reset();
    ResetContext();
    Changed();
}

void TBitmap::LoadFromStream(std::span<const uint8_t> data) {
    Dib d = ReadBmp(data);
    LoadFromDib(d);
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

// ---- TIcon ----

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
    DeviceContext& dst = *canvas->Handle();
    const uint8_t* alpha = FImage.AlphaOrNull();
    const int w = Width(), h = Height();
    if (r.Width() == w && r.Height() == h) {
        DrawIconImage(dst, r.Left, r.Top, FColor, &FMask, alpha);
        return;
    }
    // Scaled: only the visible part is built, nearest neighbour, then drawn as an icon.
    TRect clip = dst.DeviceClip().Bounds().Offset(-dst.Origin().x, -dst.Origin().y);
    TRect vis = r.Intersect(clip);
    if (vis.IsEmpty()) return;
    Surface colour(vis.Width(), vis.Height()), mask(vis.Width(), vis.Height());
    mask.SetMonochrome(true);
    std::vector<uint8_t> a(alpha ? static_cast<size_t>(vis.Width()) * vis.Height() : 0);
    const int64_t rw = r.Width(), rh = r.Height();
    for (int y = 0; y < vis.Height(); ++y) {
        const int sy = static_cast<int>((2 * int64_t{vis.Top - r.Top + y} + 1) * h / (2 * rh));
        for (int x = 0; x < vis.Width(); ++x) {
            const int sx = static_cast<int>((2 * int64_t{vis.Left - r.Left + x} + 1) * w / (2 * rw));
            colour.Set(x, y, FColor.Get(sx, sy));
            mask.Set(x, y, FMask.Get(sx, sy));
            if (alpha) a[static_cast<size_t>(y) * vis.Width() + x] = alpha[static_cast<size_t>(sy) * w + sx];
        }
    }
    DrawIconImage(dst, vis.Left, vis.Top, colour, &mask, alpha ? a.data() : nullptr);
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

// ---- Picture data ----

namespace {
std::unique_ptr<TGraphic> NewGraphic(std::string_view className) {
    if (SameText(className, "TBitmap")) return std::make_unique<TBitmap>();
    if (SameText(className, "TIcon")) return std::make_unique<TIcon>();
    return nullptr;
}
}  // namespace

std::unique_ptr<TGraphic> ReadPictureData(std::span<const uint8_t> data) {
    if (data.empty()) return nullptr;
    TPictureData pd = ParsePictureData(std::vector<uint8_t>(data.begin(), data.end()));
    std::unique_ptr<TGraphic> g = NewGraphic(pd.ClassName);
    if (!g)
        throw Exception("Picture data: unknown graphic class '" + Printable(pd.ClassName) +
                        "' (expected TBitmap or TIcon)");
    try {
        g->LoadFromStream(pd.File);
    } catch (const Exception& e) {
        throw Exception("Picture data: " + e.Message());
    }
    return g;
}

TBytes WritePictureData(const TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return {};
    const std::string& cls = graphic->ClassName();
    if (!NewGraphic(cls)) throw Exception("Cannot store a graphic of class " + cls);
    return ComposePictureData(cls, graphic->SaveToStream());
}

// ---- TPicture ----

LUMI_DEFINE_CLASS(TPicture) { p.Binary("Data", &TPicture::Data, &TPicture::SetData); }

TPicture::TPicture(TPersistent* owner) : FOwner(owner) {}

TPicture::~TPicture() = default;

void TPicture::Changed() { OnChange(this); }

void TPicture::Adopt(std::unique_ptr<TGraphic> g) {
    FGraphic = std::move(g);
    if (FGraphic) FGraphic->OnChange = [this](TObject*) { Changed(); };
}

void TPicture::SetGraphic(TGraphic* Value) {
    if (Value == FGraphic.get()) return;
    std::unique_ptr<TGraphic> g;
    if (Value) {
        g = Value->CreateNew();
        if (!g) throw Exception("Cannot copy a graphic of class " + Value->ClassName() + " into a picture");
        g->Assign(Value);
    }
    Adopt(std::move(g));
    Changed();
}

TBitmap* TPicture::Bitmap() {
    if (!dynamic_cast<TBitmap*>(FGraphic.get())) {
        Adopt(std::make_unique<TBitmap>());
        Changed();
    }
    return static_cast<TBitmap*>(FGraphic.get());
}

TIcon* TPicture::Icon() {
    if (!dynamic_cast<TIcon*>(FGraphic.get())) {
        Adopt(std::make_unique<TIcon>());
        Changed();
    }
    return static_cast<TIcon*>(FGraphic.get());
}

void TPicture::Assign(TPersistent* Source) {
    if (!Source) return SetGraphic(nullptr);
    if (auto* p = dynamic_cast<TPicture*>(Source)) return SetGraphic(p->Graphic());
    if (auto* g = dynamic_cast<TGraphic*>(Source)) return SetGraphic(g);
    inherited::Assign(Source);
}

void TPicture::AssignTo(TPersistent* Dest) {
    if (auto* g = dynamic_cast<TGraphic*>(Dest)) return g->Assign(FGraphic.get());
    inherited::AssignTo(Dest);
}

void TPicture::LoadFromFile(const std::string& path) {
    std::string ext;
    if (size_t dot = path.find_last_of('.'); dot != std::string::npos && path.find('/', dot) == std::string::npos)
        ext = path.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    std::unique_ptr<TGraphic> g;
    if (ext == ".bmp")
        g = std::make_unique<TBitmap>();
    else if (ext == ".ico")
        g = std::make_unique<TIcon>();
    else
        throw Exception("Cannot load picture '" + path + "': unknown file extension '" + ext +
                        "' (pictures are .bmp or .ico files)");
    g->LoadFromFile(path);
    Adopt(std::move(g));
    Changed();
}

void TPicture::SaveToFile(const std::string& path) const {
    if (FGraphic) FGraphic->SaveToFile(path);
}

TBytes TPicture::Data() const { return WritePictureData(FGraphic.get()); }

void TPicture::SetData(const TBytes& data) {
    std::unique_ptr<TGraphic> g = ReadPictureData(data);
    Adopt(std::move(g));
    Changed();
}

}  // namespace lumivane
