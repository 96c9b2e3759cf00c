#include "controls/KdBackImage.h"

#include <algorithm>

#include "framework/ClassRegistry.h"
#include "framework/Published.h"

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

void TKdBackImage::fPaintTiled() {
    TGraphic* g = PreparedGraphic();
    const int stepX = std::max(1, FPicture->Width());
    const int stepY = std::max(1, FPicture->Height());
    const int w = Width(), h = Height();
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
