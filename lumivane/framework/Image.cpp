#include "lumivane/framework/Image.h"

#include <algorithm>

#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Pen.h"
#include "lumivane/framework/Brush.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/Graphic.h"
#include "lumivane/framework/Icon.h"
#include "lumivane/framework/PublishControlProps.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/raster/Geometry.h"
#include "lumivane/gfx/text/DrawText.h"
#include "lumivane/framework/CustomControl.h"
#include "lumivane/framework/GraphicControl.h"

namespace lumivane {

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>(this)) {
    FControlStyle.Include(csReplicatable);
    FPicture->OnChange = TNotifyEvent(this, &TImage::PictureChanged);
    SetBounds(Left(), Top(), 105, 105);
}

TImage::~TImage() { FPicture->OnChange.Clear(); }

void TImage::SetPicture(TPicture* Value) { FPicture->Assign(Value); }

void TImage::SetCenter(bool Value) {
    if (FCenter == Value) return;
    FCenter = Value;
    Invalidate();
}

void TImage::SetStretch(bool Value) {
    if (FStretch == Value) return;
    FStretch = Value;
    Invalidate();
}

void TImage::SetProportional(bool Value) {
    if (FProportional == Value) return;
    FProportional = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    PictureChanged(this);
}

void TImage::SetAutoSize(bool Value) {
    TGraphicControl::SetAutoSize(Value);
    AdjustToPicture();
}

void TImage::AdjustToPicture() {
    if (AutoSize() && FPicture->Width() > 0 && FPicture->Height() > 0)
        SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
}

void TImage::PictureChanged(TObject*) {
    AdjustToPicture();
    // A bitmap follows the control's Transparent; icons always keep their mask.
    TGraphic* g = FPicture->Graphic();
    if (g && !dynamic_cast<TIcon*>(g) && g->Transparent() != FTransparent) g->SetTransparent(FTransparent);
    Invalidate();
}

TRect TImage::DestRect() {
    int w = FPicture->Width(), h = FPicture->Height();
    int cw = ClientWidth(), ch = ClientHeight();
    if (FStretch || (FProportional && (w > cw || h > ch))) {
        if (FProportional && w > 0 && h > 0) {
            // Fit the longer side first, then make sure the other one fits too.
            if (w > h) {
                int nw = cw, nh = static_cast<int>(int64_t(cw) * h / w);
                if (nh > ch) {
                    nh = ch;
                    nw = static_cast<int>(int64_t(ch) * w / h);
                }
                w = nw;
                h = nh;
            } else {
                int nh = ch, nw = static_cast<int>(int64_t(ch) * w / h);
                if (nw > cw) {
                    nw = cw;
                    nh = static_cast<int>(int64_t(cw) * h / w);
                }
                w = nw;
                h = nh;
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    int x = 0, y = 0;
    if (FCenter) {
        x = (cw - w) / 2;
        y = (ch - h) / 2;
    }
    return {x, y, x + w, y + h};
}

void TImage::Paint() {
    TCanvas* c = Canvas();
    TGraphic* g = FPicture->Graphic();
    const bool empty = !g || g->Empty();
    // While designed, an image without a picture shows its place; one with a picture looks as
    // it does when the program runs.
    if (IsDesigning() && empty) {
        c->Pen()->SetStyle(psDash);
        c->Brush()->SetStyle(bsClear);
        c->Rectangle(0, 0, Width(), Height());
    }
    if (!empty) c->StretchDraw(DestRect(), g);
}

LUMI_DEFINE_CLASS(TImage) {
    PublishControlProps(p, {"Align", "Anchors", "AutoSize"});
    p.Prop("Center", &TImage::Center, &TImage::SetCenter, false);
    PublishControlProps(p, {"Constraints", "DragCursor", "DragKind", "DragMode", "Enabled"});
    p.Prop("IncrementalDisplay", &TImage::IncrementalDisplay, &TImage::SetIncrementalDisplay, false);
    PublishControlProps(p, {"ParentShowHint"});
    p.Object("Picture", &TImage::Picture);
    PublishControlProps(p, {"PopupMenu"});
    p.Prop("Proportional", &TImage::Proportional, &TImage::SetProportional, false);
    PublishControlProps(p, {"ShowHint"});
    p.Prop("Stretch", &TImage::Stretch, &TImage::SetStretch, false);
    p.Prop("Transparent", &TImage::Transparent, &TImage::SetTransparent, false);
    PublishControlProps(p, {"Visible", "OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDock",
                            "OnEndDrag", "OnMouseDown", "OnMouseMove", "OnMouseUp"});
    p.Event("OnProgress", &TImage::OnProgress);
    PublishControlProps(p, {"OnStartDock", "OnStartDrag"});
}

}  // namespace lumivane
