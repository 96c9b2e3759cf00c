#include "lumivane/framework/Panel.h"

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

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
    TBrush* b = Canvas->Brush();
    for (; Width > 0; --Width) {
        const TRect& r = Rect;
        if (r.IsEmpty()) break;
        b->SetColor(TopColor);
        Canvas->FillRect({r.Left, r.Top, r.Left + 1, r.Bottom});
        Canvas->FillRect({r.Left, r.Top, r.Right - 1, r.Top + 1});
        b->SetColor(BottomColor);
        Canvas->FillRect({r.Right - 1, r.Top, r.Right, r.Bottom - 1});
        Canvas->FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom});
        Rect = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                  csDoubleClicks, csReplicatable};
    SetBounds(Left(), Top(), 185, 41);
    SetColor(clBtnFace);
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
    if (FPanelBevelInner == Value) return;
    FPanelBevelInner = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
    if (FPanelBevelOuter == Value) return;
    FPanelBevelOuter = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value) {
    Value = std::clamp(Value, 1, 1000);
    if (FPanelBevelWidth == Value) return;
    FPanelBevelWidth = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderWidth(int Value) {
    Value = std::clamp(Value, 0, 1000);
    if (FBorderWidth == Value) return;
    FBorderWidth = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
    if (Value != bsNone) Value = bsSingle;
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    Realign();
    Invalidate();
}

int TCustomPanel::FrameWidth() const {
    int w = FBorderStyle == bsSingle ? 1 : 0;
    if (FPanelBevelOuter != bvNone) w += FPanelBevelWidth;
    w += FBorderWidth;
    if (FPanelBevelInner != bvNone) w += FPanelBevelWidth;
    return w;
}

void TCustomPanel::AlignControls(TControl* AControl, TRect& Rect) {
    int f = FrameWidth();
    Rect = {Rect.Left + f, Rect.Top + f, std::max(Rect.Left + f, Rect.Right - f),
            std::max(Rect.Top + f, Rect.Bottom - f)};
    TCustomControl::AlignControls(AControl, Rect);
}

void TCustomPanel::Dispatch(TMessage& Message) {
    TCustomControl::Dispatch(Message);
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
}

void TCustomPanel::Paint() {
    static constexpr UINT Alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    auto bevelColors = [](TBevelCut cut, TColor& top, TColor& bottom) {
        top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
        bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
    };
    TColor top, bottom;
    if (FBorderStyle == bsSingle) Frame3D(c, r, clWindowFrame, clWindowFrame, 1);
    if (FPanelBevelOuter != bvNone) {
        bevelColors(FPanelBevelOuter, top, bottom);
        Frame3D(c, r, top, bottom, FPanelBevelWidth);
    }
    Frame3D(c, r, Color(), Color(), FBorderWidth);
    if (FPanelBevelInner != bvNone) {
        bevelColors(FPanelBevelInner, top, bottom);
        Frame3D(c, r, top, bottom, FPanelBevelWidth);
    }
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    c->Brush()->SetStyle(bsClear);
    c->SetFont(Font());
    int fh = c->TextHeight("W");
    r.Top = (r.Bottom + r.Top - fh) / 2;
    r.Bottom = r.Top + fh;
    std::string text = Caption();
    DrawTextA(c->Handle(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_EXPANDTABS | DT_VCENTER | Alignments[FAlignment]);
}

LUMI_DEFINE_CLASS(TCustomPanel) {}

LUMI_DEFINE_CLASS(TPanel) {
    PublishControlProps(p, {"Align"});
    p.Enum("Alignment", &TPanel::Alignment, &TPanel::SetAlignment, AlignmentNames, taCenter);
    PublishControlProps(p, {"Anchors", "AutoSize"});
    p.Enum("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner, BevelCutNames, bvNone)
        .Enum("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter, BevelCutNames, bvRaised)
        .Prop("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth, 1)
        .Range(-MaxLayoutCoord, MaxLayoutCoord);
    PublishControlProps(p, {"BiDiMode"});
    p.Prop("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth, 0)
        .Range(-MaxLayoutCoord, MaxLayoutCoord)
        .Enum("BorderStyle", &TPanel::BorderStyle, &TPanel::SetBorderStyle, BorderStyleNames, bsNone);
    PublishControlProps(p, {"Caption", "Color", "Constraints", "Ctl3D", "UseDockManager", "DockSite", "DragCursor",
                            "DragKind", "DragMode", "Enabled"});
    p.Prop("FullRepaint", &TPanel::FullRepaint, &TPanel::SetFullRepaint, true);
    PublishControlProps(p, {"Font"});
    p.Prop("Locked", &TPanel::Locked, &TPanel::SetLocked, false);
    PublishControlProps(p, {"ParentBiDiMode"});
    p.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false);
    PublishControlProps(p, {"ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder",
                            "TabStop", "Visible", "OnClick", "OnContextPopup", "OnDblClick", "OnDockDrop",
                            "OnDockOver", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag", "OnEnter", "OnExit",
                            "OnGetSiteInfo", "OnMouseDown", "OnMouseEnter", "OnMouseLeave", "OnMouseMove",
                            "OnMouseUp", "OnResize", "OnStartDock", "OnStartDrag", "OnUnDock"});
}

}  // namespace lumivane
