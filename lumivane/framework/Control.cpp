#include "lumivane/framework/Control.h"

#include "lumivane/framework/WinControl.h"

#include <algorithm>
#include <cstring>

#include "lumivane/framework/ControlsInternal.h"
#include "lumivane/framework/Font.h"
#include "lumivane/framework/PropInfo.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/text/TextEncoding.h"
#include "lumivane/windows/Input.h"
#include "lumivane/windows/Painting.h"
#include "lumivane/base/Exception.h"
#include "lumivane/gfx/raster/Color.h"

namespace lumivane {

// TControl publishes the bounds and the cursor; each control class publishes the rest of its
// list itself (PublishControlProps), in its own order.
LUMI_DEFINE_CLASS(TControl) {
    p.Prop("Left", &TControl::Left, &TControl::SetLeft)
        .Range(-MaxLayoutCoord, MaxLayoutCoord)
        .Prop("Top", &TControl::Top, &TControl::SetTop)
        .Range(-MaxLayoutCoord, MaxLayoutCoord)
        .Prop("Width", &TControl::Width, &TControl::SetWidth)
        .Range(-MaxLayoutCoord, MaxLayoutCoord)
        .Prop("Height", &TControl::Height, &TControl::SetHeight)
        .Range(-MaxLayoutCoord, MaxLayoutCoord);
}

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FColor(clWindow), FFont(std::make_unique<TFont>()),
      FConstraints(std::make_unique<TSizeConstraints>(this)) {
    FFont->OnChange = TNotifyEvent(this, &TControl::FontChanged);
}

void TControl::SetFont(TFont* Value) { FFont->Assign(Value); }

TControl::~TControl() {
    Destroying();
    FAlive.reset();
    // Only the pointer: the object is no longer whole enough to be asked anything.
    if (TAccessibleListener* l = AccessibleListener()) l->AccControlDestroyed(this);
    ControlsInternal::ForgetControl(this);
    if (FParent) FParent->RemoveControl(this);
    FFont->OnChange.Clear();
}

void TControl::SetParent(TWinControl* AParent) {
    if (FParent == AParent) return;
    if (AParent == this) throw Exception("A control cannot be its own parent");
    for (TControl* p = AParent; p; p = p->FParent)
        if (p == this) throw Exception("A control cannot be the parent of its own parent");
    if (FParent) FParent->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
    UpdateAnchorRules();
}

void TControl::SetParentComponent(TComponent* Value) {
    if (auto* w = dynamic_cast<TWinControl*>(Value))
        SetParent(w);
    else if (Value && Value != Owner())
        // Nowhere to be shown, and the writer would put it back at the root: refused, not lost.
        throw Exception("a control belongs in a form or another control that holds controls, not in " +
                        Value->ClassName());
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
void TControl::SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
void TControl::SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
void TControl::SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }

void TControl::ApplyConstraints(int& AWidth, int& AHeight) const {
    // Code may ask for anything; the bounds keep BoundsRect and everything derived from it
    // within int.
    AWidth = std::clamp(AWidth, -MaxLayoutCoord, MaxLayoutCoord);
    AHeight = std::clamp(AHeight, -MaxLayoutCoord, MaxLayoutCoord);
    const TSizeConstraints& c = *FConstraints;
    if (c.MaxWidth() > 0 && AWidth > c.MaxWidth()) AWidth = c.MaxWidth();
    if (c.MinWidth() > 0 && AWidth < c.MinWidth()) AWidth = c.MinWidth();
    if (c.MaxHeight() > 0 && AHeight > c.MaxHeight()) AHeight = c.MaxHeight();
    if (c.MinHeight() > 0 && AHeight < c.MinHeight()) AHeight = c.MinHeight();
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    ApplyConstraints(AWidth, AHeight);
    ALeft = std::clamp(ALeft, -MaxLayoutCoord, MaxLayoutCoord);
    ATop = std::clamp(ATop, -MaxLayoutCoord, MaxLayoutCoord);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    const bool sized = AWidth != FWidth || AHeight != FHeight;
    if (FVisible) InvalidateControl(true);
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FVisible) InvalidateControl(!FControlStyle.Contains(csOpaque));
    if (!FAnchoring) UpdateAnchorRules();
    TWatch w(this);
    if (sized && !IsLoading()) Resize();
    if (w.Alive()) RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
    FAnchors = Value;
    UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
    FAnchorBounds = BoundsRect();
    FAnchorParentSize = FParent ? TSize{FParent->ClientWidth(), FParent->ClientHeight()} : TSize{0, 0};
}

namespace {
// One axis of the anchors: the control's start and size in a parent of `now` pixels, for a
// control that was at `start`, `size` in a parent of `then` pixels.
void AnchorAxis(bool nearSide, bool farSide, int then, int now, int& start, int& size) {
    const int grown = now - then;
    if (nearSide && farSide)
        size += grown;
    else if (farSide)
        start += grown;
    else if (!nearSide && then > 0)
        // The centre keeps its share of the parent.
        start = static_cast<int>((int64_t{start} * 2 + size) * now / then / 2) - size / 2;
}
}  // namespace

void TControl::AnchorToParent(int ParentWidth, int ParentHeight) {
    if (FAnchors == TAnchors{akLeft, akTop} || FAlign != alNone) return;
    // Distances not taken yet (placed while the parent had no size): taken now.
    if (FAnchorParentSize == TSize{0, 0}) {
        UpdateAnchorRules();
        return;
    }
    int left = FAnchorBounds.Left, top = FAnchorBounds.Top;
    int width = FAnchorBounds.Width(), height = FAnchorBounds.Height();
    AnchorAxis(FAnchors.Contains(akLeft), FAnchors.Contains(akRight), FAnchorParentSize.cx, ParentWidth, left, width);
    AnchorAxis(FAnchors.Contains(akTop), FAnchors.Contains(akBottom), FAnchorParentSize.cy, ParentHeight, top, height);
    FAnchoring = true;
    try {
        SetBounds(left, top, std::max(width, 0), std::max(height, 0));
    } catch (...) {
        FAnchoring = false;
        throw;
    }
    FAnchoring = false;
}

TRect TControl::GetClientRect() const { return {0, 0, FWidth, FHeight}; }

void TControl::SetClientSize(int AWidth, int AHeight) {
    const TRect c = GetClientRect();
    SetBounds(FLeft, FTop, FWidth - c.Width() + AWidth, FHeight - c.Height() + AHeight);
}

TPoint TControl::ClientOrigin() const {
    if (!FParent) return {FLeft, FTop};
    TPoint p = FParent->ClientOrigin();
    return {p.x + FLeft, p.y + FTop};
}

TPoint TControl::ClientToScreen(TPoint P) const {
    TPoint o = ClientOrigin();
    return {P.x + o.x, P.y + o.y};
}

TPoint TControl::ScreenToClient(TPoint P) const {
    TPoint o = ClientOrigin();
    return {P.x - o.x, P.y - o.y};
}

void TControl::SetAlign(TAlign Value) {
    if (FAlign == Value) return;
    FAlign = Value;
    RequestAlign();
}

void TControl::SetAutoSize(bool Value) { FAutoSize = Value; }

void TControl::RequestAlign() {
    if (FParent && (FAlign != alNone || FParent->FAlignLevel > 0)) FParent->Realign();
}

void TControl::InvalidateControl(bool Erase) {
    if (!FParent || !FParent->HandleAllocated()) return;
    const TRect r = BoundsRect();
    InvalidateRect(FParent->FHandle, &r, Erase);
}

void TControl::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    TWatch w(this);
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
    if (!w.Alive()) return;
    if (FParent) FParent->Realign();
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value) {
    if (FColor == Value) {
        FParentColor = false;
        return;
    }
    FColor = Value;
    FParentColor = false;
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
    if (FParentColor == Value) return;
    FParentColor = Value;
    if (Value && FParent && !IsLoading()) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
    if (FParentFont == Value) return;
    FParentFont = Value;
    if (Value && FParent && !IsLoading()) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetShowHint(bool Value) {
    FParentShowHint = false;
    if (FShowHint == Value) return;
    FShowHint = Value;
    Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
    if (FParentShowHint == Value) return;
    FParentShowHint = Value;
    if (Value && FParent) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetHint(const std::string& Value) { FHint = ValidUtf8(Value); }

std::string TControl::GetText() {
    const LRESULT len = Perform(WM_GETTEXTLENGTH, 0, 0);
    // A length from a misbehaving handler must not drive the allocation.
    if (len <= 0 || len > (1 << 24)) return {};
    std::string buf(static_cast<size_t>(len) + 1, '\0');
    const LRESULT got = Perform(WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
    const size_t n = std::min<size_t>(got > 0 ? static_cast<size_t>(got) : 0, static_cast<size_t>(len));
    buf.resize(std::min(n, std::strlen(buf.c_str())));
    return buf;
}

void TControl::SetText(const std::string& Value) {
    if (GetText() == Value) return;
    TWatch w(this);
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str()));
    if (w.Alive()) Perform(CM_TEXTCHANGED, 0, 0);
    if (w.Alive()) AccNotifyName(this);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& Message) {
    // Without csDoubleClicks a double click is just another press.
    if (!FControlStyle.Contains(csDoubleClicks)) {
        switch (Message.Msg) {
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
            break;
        default:
            break;
        }
    }
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: WMMouseDown(Message, mbLeft, {}); return;
    case WM_RBUTTONDOWN: WMMouseDown(Message, mbRight, {}); return;
    case WM_MBUTTONDOWN: WMMouseDown(Message, mbMiddle, {}); return;
    case WM_LBUTTONDBLCLK: WMMouseDown(Message, mbLeft, {ssDouble}); return;
    case WM_RBUTTONDBLCLK: WMMouseDown(Message, mbRight, {ssDouble}); return;
    case WM_MBUTTONDBLCLK: WMMouseDown(Message, mbMiddle, {ssDouble}); return;
    case WM_LBUTTONUP: WMMouseUp(Message, mbLeft); return;
    case WM_RBUTTONUP: WMMouseUp(Message, mbRight); return;
    case WM_MBUTTONUP: WMMouseUp(Message, mbMiddle); return;
    case WM_MOUSEMOVE: WMMouseMove(Message); return;
    case WM_CONTEXTMENU: WMContextMenu(Message); return;
    case CM_MOUSEENTER: CMMouseEnter(Message); return;
    case CM_MOUSELEAVE: CMMouseLeave(Message); return;
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
        Invalidate();
        return;
    case CM_VISIBLECHANGED:
        InvalidateControl(true);
        return;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(Message); return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(Message); return;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(Message); return;
    default:
        inherited::Dispatch(Message);
    }
}

void TControl::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SETTEXT: {
        const char* s = reinterpret_cast<const char*>(Message.LParam);
        FText = ValidUtf8(s ? s : "");
        Message.Result = 1;
        return;
    }
    case WM_GETTEXT: {
        char* buf = reinterpret_cast<char*>(Message.LParam);
        const size_t cap = Message.WParam;
        if (!buf || cap == 0) {
            Message.Result = 0;
            return;
        }
        const size_t n = FitUtf8(FText, cap - 1);
        std::memcpy(buf, FText.data(), n);
        buf[n] = '\0';
        Message.Result = static_cast<LRESULT>(n);
        return;
    }
    case WM_GETTEXTLENGTH:
        Message.Result = static_cast<LRESULT>(FText.size());
        return;
    default:
        Message.Result = 0;
    }
}

void TControl::Invalidate() {
    if (FVisible) InvalidateControl(!FControlStyle.Contains(csOpaque));
}

void TControl::Update() {
    if (FParent) FParent->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::SetZOrder(bool TopMost) {
    if (!FParent) return;
    auto& list = FParent->FControls;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    if (TopMost)
        list.push_back(this);
    else
        list.insert(list.begin(), this);
    InvalidateControl(!FControlStyle.Contains(csOpaque));
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
    if (Value)
        SetCaptureControl(this);
    else if (MouseCapture())
        SetCaptureControl(nullptr);
}

void TControl::Loaded() {
    inherited::Loaded();
    // Placed by the layout: the distances are those of the loaded layout.
    UpdateAnchorRules();
    if (!FParent) return;
    if (FParentColor) Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (FParentFont) Perform(CM_PARENTFONTCHANGED, 0, 0);
    if (FParentShowHint) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    if (FAlign != alNone) FParent->Realign();
}

void TControl::Click() { OnClick(this); }
void TControl::DblClick() { OnDblClick(this); }

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) { OnMouseDown(this, Button, Shift, X, Y); }
void TControl::MouseMove(TShiftState Shift, int X, int Y) { OnMouseMove(this, Shift, X, Y); }
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) { OnMouseUp(this, Button, Shift, X, Y); }
void TControl::Resize() { OnResize(this); }

void TControl::ApplyParentFont() {
    if (!FParent) return;
    FApplyingParentFont = true;
    try {
        FFont->Assign(FParent->Font());
    } catch (...) {
        FApplyingParentFont = false;
        throw;
    }
    FApplyingParentFont = false;
    FParentFont = true;
}

void TControl::ApplyParentColor() {
    if (!FParent) return;
    if (FColor != FParent->FColor) {
        FColor = FParent->FColor;
        Perform(CM_COLORCHANGED, 0, 0);
    }
    FParentColor = true;
}

void TControl::FontChanged(TObject*) {
    if (!FApplyingParentFont) FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

}  // namespace lumivane
