#include "lumivane/framework/Label.h"

#include <algorithm>
#include <cstring>

#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Brush.h"
#include "lumivane/framework/PopupMenu.h"
#include "lumivane/framework/PublishControlProps.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/Timer.h"
#include "lumivane/gfx/text/DrawText.h"
#include "lumivane/framework/CustomControl.h"
#include "lumivane/framework/GraphicControl.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TCustomLabel) {}

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle.Include(csOpaque).Include(csReplicatable);
    FWidth = 65;
    FHeight = 17;
    FAutoSize = true;
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    if (FLayout == Value) return;
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    if (FShowAccelChar == Value) return;
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

// An opaque label paints every pixel of its rectangle; a transparent one lets the parent
// paint first.
void TCustomLabel::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    if (Value)
        FControlStyle.Exclude(csOpaque);
    else
        FControlStyle.Include(csOpaque);
    InvalidateControl(true);
}

void TCustomLabel::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    AdjustBounds();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
    if (FFocusControl == Value) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        Invalidate();
        AdjustBounds();
        return;
    case CM_FONTCHANGED:
        inherited::Dispatch(Message);
        AdjustBounds();
        return;
    default:
        inherited::Dispatch(Message);
    }
}

void TCustomLabel::Loaded() {
    inherited::Loaded();
    AdjustBounds();
}

std::string TCustomLabel::GetLabelText() {
    std::string text = GetText();
    if (text.empty() && IsDesigning()) text = Name();
    return text;
}

UINT TCustomLabel::DrawTextFlags() const {
    UINT flags = DT_EXPANDTABS;
    if (FWordWrap) flags |= DT_WORDBREAK;
    if (FAlignment == taRightJustify) flags |= DT_RIGHT;
    if (FAlignment == taCenter) flags |= DT_CENTER;
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    return flags;
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
    std::string text = GetLabelText();
    // An empty line still has a height to measure.
    if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
    TCanvas* c = Canvas();
    c->Font()->Assign(FFont.get());
    if (FEnabled || (Flags & DT_CALCRECT)) {
        DrawTextA(c->Handle(), text.c_str(), -1, &Rect, Flags);
        return;
    }
    TRect r = Rect.Offset(1, 1);
    c->Font()->SetColor(clBtnHighlight);
    DrawTextA(c->Handle(), text.c_str(), -1, &r, Flags);
    c->Font()->SetColor(clBtnShadow);
    DrawTextA(c->Handle(), text.c_str(), -1, &Rect, Flags);
}

void TCustomLabel::Paint() {
    TCanvas* c = Canvas();
    const TRect client = GetClientRect();
    if (!FTransparent) {
        c->Brush()->SetColor(FColor);
        c->FillRect(client);
    }
    c->Brush()->SetStyle(bsClear);
    TRect r = client;
    const UINT flags = DrawTextFlags();
    if (FLayout != tlTop) {
        TRect calc = client;
        DoDrawText(calc, flags | DT_CALCRECT);
        const int spare = client.Height() - calc.Height();
        r.Top += FLayout == tlBottom ? spare : spare / 2;
    }
    DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
    if (IsLoading() || !FAutoSize) return;
    HDC dc = GetDC(nullptr);
    if (!dc) return;
    TRect r = GetClientRect();
    r.Bottom = r.Top;
    if (!FWordWrap) r.Right = r.Left;
    TCanvas* c = Canvas();
    const bool bound = c->HandleAllocated();
    if (!bound) c->SetHandle(dc);
    try {
        DoDrawText(r, DrawTextFlags() | DT_CALCRECT);
    } catch (...) {
        if (!bound) c->SetHandle(nullptr);
        ReleaseDC(nullptr, dc);
        throw;
    }
    if (!bound) c->SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
    // With WordWrap the width is the wrapping width and stays; otherwise the text decides.
    const int w = FWordWrap ? FWidth : r.Width();
    int x = FLeft;
    if (FAlignment == taRightJustify) x += FWidth - w;
    SetBounds(x, FTop, w, r.Height());
}

static const std::initializer_list<std::string_view> kLabelProps = {
    "Align", "Alignment", "Anchors", "AutoSize", "BiDiMode", "Caption", "Color", "Constraints", "DragCursor",
    "DragKind", "DragMode", "Enabled", "FocusControl", "Font", "ParentBiDiMode", "ParentColor", "ParentFont",
    "ParentShowHint", "PopupMenu", "ShowAccelChar", "ShowHint", "Transparent", "Layout", "Visible", "WordWrap",
    "OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag",
    "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnMouseEnter", "OnMouseLeave", "OnStartDock", "OnStartDrag"};

LUMI_DEFINE_CLASS(TLabel) {
    PublishControlProps(p, {"Cursor", "Hint"});
    for (std::string_view n : kLabelProps) {
        if (n == "Alignment")
            p.Enum("Alignment", &TLabel::Alignment, &TLabel::SetAlignment, AlignmentNames, taLeftJustify);
        else if (n == "AutoSize")
            p.Prop("AutoSize", &TLabel::AutoSize, [](TLabel* l, bool v) { l->SetAutoSize(v); }, true);
        else if (n == "FocusControl")
            p.Component<TWinControl>("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
        else if (n == "ShowAccelChar")
            p.Prop("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar, true);
        else if (n == "Transparent")
            p.Prop("Transparent", &TLabel::Transparent, &TLabel::SetTransparent, false);
        else if (n == "Layout")
            p.Enum("Layout", &TLabel::Layout, &TLabel::SetLayout, TextLayoutNames, tlTop);
        else if (n == "WordWrap")
            p.Prop("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap, false);
        else
            PublishControlProps(p, {n});
    }
}

}  // namespace lumivane
