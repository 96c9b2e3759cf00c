#include "lumivane/controls/KdBackImage.h"

#include <algorithm>

#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Pen.h"
#include "lumivane/framework/Brush.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/Graphic.h"
#include "lumivane/framework/Bitmap.h"
#include "lumivane/framework/PublishControlProps.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/raster/Color.h"
#include "lumivane/gfx/raster/Surface.h"
#include "lumivane/framework/GraphicControl.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TKdBackImage) {
    PublishControlProps(p, {"Cursor", "Hint"});
    p.Object("Picture", &TKdBackImage::fGetPicture)
        .Prop("Transparent", &TKdBackImage::fGetTransparent, &TKdBackImage::fSetTransparent, false)
        .Enum("Style", &TKdBackImage::fGetStyle, &TKdBackImage::fSetStyle, KdBackImageStyleNames, kdbmsTiled);
    PublishControlProps(p, {"Align", "Anchors", "Constraints", "DragCursor", "DragKind", "DragMode", "Enabled",
                            "ParentShowHint", "PopupMenu", "ShowHint", "Visible", "OnClick", "OnContextPopup",
                            "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag", "OnMouseDown",
                            "OnMouseMove", "OnMouseUp", "OnStartDock", "OnStartDrag"});
}

TKdBackImage::TKdBackImage(TComponent* AOwner)
    : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>(this)) {
    SetBounds(Left(), Top(), 105, 105);
}

TKdBackImage::~TKdBackImage() = default;

void TKdBackImage::fSetPicture(TPicture* Value) {
    FPicture->Assign(Value);
    if (AutoSize() && Value && FPicture->HasGraphic())
        SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
    Invalidate();
}

void TKdBackImage::fSetTransparent(bool Value) {
    FTransparent = Value;
    Invalidate();
}

void TKdBackImage::fSetStyle(TKdBackImageStyle Value) {
    FStyle = Value;
    Invalidate();
}

void TKdBackImage::Paint() {
    if (!FPicture->HasGraphic()) return fPaintDefault();
    switch (FStyle) {
    case kdbmsCenter: return fPaintCenter();
    case kdbmsTiled: return fPaintTiled();
    case kdbmsStretch: return fPaintStrech();
    default: return fPaintNormal();
    }
}

TGraphic* TKdBackImage::PreparedGraphic() {
    TGraphic* g = FPicture->Graphic();
    g->SetTransparent(FTransparent);
    return g;
}

void TKdBackImage::fPaintNormal() { Canvas()->Draw(0, 0, PreparedGraphic()); }

void TKdBackImage::fPaintCenter() {
    TGraphic* g = PreparedGraphic();
    // C++ division truncates toward zero, so a larger picture is cut equally on both sides.
    Canvas()->Draw((Width() - FPicture->Width()) / 2, (Height() - FPicture->Height()) / 2, g);
}

namespace {

// Tiles narrower or lower than this are first repeated into a larger strip.
constexpr int kMinTileSide = 64;
constexpr int kStripSide = 256;

// A small opaque bitmap repeated into a strip of whole tiles about kStripSide square (no larger
// than the area), so tiling costs time for the pixels painted rather than a call for each tiny
// tile. Drawing the strip gives the same pixels: its tiles sit at the same places, and each
// pixel of the area still meets its one source pixel. Null when the picture is not such a bitmap
// (transparency, monochrome colouring and icons keep the plain way).
std::unique_ptr<TBitmap> TileStrip(TGraphic* g, int areaW, int areaH) {
    auto* bmp = dynamic_cast<TBitmap*>(g);
    if (!bmp || bmp->Empty() || bmp->Transparent() || bmp->Monochrome()) return nullptr;
    const int tw = bmp->Width(), th = bmp->Height();
    if (tw >= kMinTileSide && th >= kMinTileSide) return nullptr;
    auto wholeTiles = [](int tile, int area) {
        const int want = std::clamp(area, 1, kStripSide);
        return std::max(1, (want + tile - 1) / tile) * tile;
    };
    const int sw = wholeTiles(tw, areaW), sh = wholeTiles(th, areaH);
    if (sw == tw && sh == th) return nullptr;
    auto strip = std::make_unique<TBitmap>();
    strip->SetSize(sw, sh);
    const Surface& from = bmp->Pixels();
    Surface& to = strip->Pixels();
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x) to.Set(x, y, from.Get(x % tw, y % th));
    return strip;
}

}  // namespace

void TKdBackImage::fPaintTiled() {
    TGraphic* g = PreparedGraphic();
    int stepX = std::max(1, FPicture->Width());
    int stepY = std::max(1, FPicture->Height());
    const int w = Width(), h = Height();
    std::unique_ptr<TBitmap> strip = TileStrip(g, w, h);
    if (strip) {
        g = strip.get();
        stepX = strip->Width();
        stepY = strip->Height();
    }
    for (int y = 0; y < h; y += stepY)
        for (int x = 0; x < w; x += stepX) Canvas()->Draw(x, y, g);
}

void TKdBackImage::fPaintStrech() { Canvas()->StretchDraw(TRect{0, 0, Width(), Height()}, PreparedGraphic()); }

void TKdBackImage::fPaintDefault() {
    TCanvas* c = Canvas();
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetColor(clWhite);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(0, 0, Width(), Height());
}

namespace KdBackImage {
void Register() { RegisterComponents("Lumivane", {TKdBackImage::StaticClass()}); }
}  // namespace KdBackImage

}  // namespace lumivane
